#include "runtime/view/dirty_rects.h"

#include <algorithm>

#include "runtime/view/rect_ops.h"

namespace runtime::view {

void mergeDirtyRects(std::vector<Rect>& rects) {
    std::erase_if(rects, [](const Rect& r) { return r.empty(); });
    bool merged = true;
    while (merged) {
        merged = false;
        // Sorted by left edge, a rectangle only meets those starting before
        // its right edge, so most pairs are never looked at.
        std::sort(rects.begin(), rects.end(),
                  [](const Rect& a, const Rect& b) { return a.left < b.left; });
        for (size_t i = 0; i < rects.size(); ++i) {
            for (size_t j = i + 1; j < rects.size() && rects[j].left <= rects[i].right();) {
                const Rect both = unite(rects[i], rects[j]);
                if (area(both) <= area(rects[i]) + area(rects[j])) {
                    rects[i] = both;  // keeps its left edge, so the order holds
                    rects.erase(rects.begin() + j);
                    merged = true;
                } else {
                    ++j;
                }
            }
        }
    }
}

}  // namespace runtime::view
