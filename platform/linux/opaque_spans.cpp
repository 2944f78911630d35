#include "platform/linux/opaque_spans.h"

#include <cstddef>

#include "runtime/view/rect_ops.h"

namespace platform::linux_x11 {

void appendOpaqueRects(const runtime::Surface& surface, const runtime::Rect& area,
                       std::optional<uint32_t> key, int dx, int dy, std::vector<runtime::Rect>& out) {
    // Rectangles still growing downward: indices into `out`, ordered by x.
    std::vector<std::size_t> open, next;
    for (int y = area.top; y < area.bottom(); ++y) {
        const uint32_t* row = surface.pixels + static_cast<std::ptrdiff_t>(y) * surface.stride;
        next.clear();
        std::size_t o = 0;
        for (int x = area.left; x < area.right();) {
            if (key && row[x] == *key) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < area.right() && !(key && row[x] == *key)) ++x;
            const int left = start + dx, width = x - start;
            // Open rectangles left of this run can no longer grow.
            while (o < open.size() && out[open[o]].left < left) ++o;
            if (o < open.size() && out[open[o]].left == left && out[open[o]].width == width &&
                out[open[o]].bottom() == y + dy) {
                ++out[open[o]].height;
                next.push_back(open[o++]);
            } else {
                out.push_back({left, y + dy, width, 1});
                next.push_back(out.size() - 1);
            }
        }
        open.swap(next);
    }
}

void mergeOverlapping(std::vector<runtime::Rect>& rects) {
    using runtime::view::overlaps;
    using runtime::view::unite;
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i < rects.size(); ++i)
            for (std::size_t j = i + 1; j < rects.size(); ++j) {
                if (!overlaps(rects[i], rects[j])) continue;
                rects[i] = unite(rects[i], rects[j]);
                rects.erase(rects.begin() + std::ptrdiff_t(j));
                merged = true;
                --j;
            }
    }
}

}  // namespace platform::linux_x11
