#include "runtime/view/compose.h"

#include <algorithm>
#include <cstring>

#include "runtime/view/rect_ops.h"

namespace runtime::view {

namespace {

// Runs are short and the gaps beside them shorter still: a plain loop beats
// a call for a few pixels.
void copyPixels(uint32_t* to, const uint32_t* from, int count) {
    if (count <= 4) {
        for (int i = 0; i < count; ++i) to[i] = from[i];
    } else {
        std::memcpy(to, from, size_t(count) * sizeof(uint32_t));
    }
}

}  // namespace

void fillArea(const Surface& surface, const Rect& area, const uint32_t* row) {
    for (int y = area.top; y < area.bottom(); ++y)
        copyPixels(surface.pixels + size_t(y) * surface.stride + area.left, row, area.width);
}

// Row pointers and run lists are walked with locals: the compiler must
// otherwise reload them after every copy, which may write anywhere.
void drawImage(const Surface& surface, const Rect& clip, const FrameImage& image, int left,
               int top) {
    const Rect part = intersect(clip, {left, top, image.width, image.height});
    if (part.empty()) return;
    // Column range of the part in image coordinates.
    const int from = part.left - left;
    const int to = part.right() - left;
    const size_t stride = size_t(surface.stride), width = size_t(image.width);
    const FrameImage::Run* runs = image.runs.data();
    const uint32_t* rowRuns = image.rowRuns.data() + (part.top - top);
    const uint32_t* src = image.pixels.data() + size_t(part.top - top) * width;
    uint32_t* dst = surface.pixels + size_t(part.top) * stride + left;
    for (int y = part.top; y < part.bottom(); ++y, ++rowRuns, src += width, dst += stride) {
        const FrameImage::Run* end = runs + rowRuns[1];
        for (const FrameImage::Run* run = runs + rowRuns[0]; run != end && run->start < to; ++run) {
            const int a = std::max(run->start, from);
            const int b = std::min(run->start + run->length, to);
            if (a < b) copyPixels(dst + a, src + a, b - a);
        }
    }
}

void drawImageOnFill(const Surface& surface, const Rect& clip, const FrameImage& image, int left,
                     int top, const uint32_t* row) {
    const Rect part = intersect(clip, {left, top, image.width, image.height});
    if (part.empty()) {
        fillArea(surface, clip, row);
        return;
    }
    fillArea(surface, {clip.left, clip.top, clip.width, part.top - clip.top}, row);
    fillArea(surface, {clip.left, part.bottom(), clip.width, clip.bottom() - part.bottom()}, row);
    // Beside the image, the background; across it, the image's own rows, whose
    // transparent pixels already hold the background.
    const int before = part.left - clip.left, after = clip.right() - part.right();
    const size_t stride = size_t(surface.stride), width = size_t(image.width);
    const uint32_t* src = image.pixels.data() + size_t(part.top - top) * width + (part.left - left);
    uint32_t* dst = surface.pixels + size_t(part.top) * stride + part.left;
    for (int y = part.top; y < part.bottom(); ++y, src += width, dst += stride) {
        copyPixels(dst - before, row, before);
        copyPixels(dst, src, part.width);
        copyPixels(dst + part.width, row, after);
    }
}

}  // namespace runtime::view
