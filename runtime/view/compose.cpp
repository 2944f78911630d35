#include "runtime/view/compose.h"

#include <algorithm>
#include <cstring>

#include "runtime/view/rect_ops.h"

namespace runtime::view {

void fillArea(const Surface& surface, const Rect& area, uint32_t color) {
    for (int y = area.top; y < area.bottom(); ++y)
        std::fill_n(surface.pixels + size_t(y) * surface.stride + area.left, area.width, color);
}

void drawImage(const Surface& surface, const Rect& clip, const FrameImage& image, int left,
               int top) {
    const Rect part = intersect(clip, {left, top, image.width, image.height});
    if (part.empty()) return;
    // Column range of the part in image coordinates.
    const int from = part.left - left;
    const int to = part.right() - left;
    for (int y = part.top; y < part.bottom(); ++y) {
        const int row = y - top;
        const uint32_t* src = image.pixels.data() + size_t(row) * image.width;
        uint32_t* dst = surface.pixels + size_t(y) * surface.stride + left;
        const FrameImage::Run* run = image.runs.data() + image.rowRuns[row];
        const FrameImage::Run* end = image.runs.data() + image.rowRuns[row + 1];
        for (; run != end && run->start < to; ++run) {
            const int a = std::max(run->start, from);
            const int b = std::min(run->start + run->length, to);
            if (a < b) std::memcpy(dst + a, src + a, size_t(b - a) * sizeof(uint32_t));
        }
    }
}

}  // namespace runtime::view
