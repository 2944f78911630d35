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
    // Clip columns in image coordinates.
    const int from = clip.left - left;
    const int to = clip.right() - left;
    for (int y = part.top; y < part.bottom(); ++y) {
        const int r = y - top;
        const uint32_t* src = image.pixels.data() + size_t(r) * image.width;
        uint32_t* dst = surface.pixels + size_t(y) * surface.stride + left;
        int filledTo = from;  // everything left of this is written
        const FrameImage::Run* run = image.runs.data() + image.rowRuns[r];
        const FrameImage::Run* end = image.runs.data() + image.rowRuns[r + 1];
        for (; run != end && run->start < to; ++run) {
            const int a = std::max(run->start, from);
            const int b = std::min(run->start + run->length, to);
            if (a >= b) continue;
            copyPixels(dst + filledTo, row, a - filledTo);
            copyPixels(dst + a, src + a, b - a);
            filledTo = b;
        }
        copyPixels(dst + filledTo, row, to - filledTo);
    }
}

}  // namespace runtime::view
