#pragma once
#include <algorithm>
#include <cstdint>

#include "runtime/geometry.h"

namespace runtime::view {

inline int64_t area(const Rect& r) {
    return r.empty() ? 0 : int64_t(r.width) * r.height;
}

inline Rect intersect(const Rect& a, const Rect& b) {
    const int left = std::max(a.left, b.left);
    const int top = std::max(a.top, b.top);
    const int right = std::min(a.right(), b.right());
    const int bottom = std::min(a.bottom(), b.bottom());
    if (right <= left || bottom <= top) return {};
    return {left, top, right - left, bottom - top};
}

// Whether two non-empty rectangles share a pixel: cheaper than intersect()
// where most pairs are far apart.
inline bool overlaps(const Rect& a, const Rect& b) {
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

// The smallest rectangle holding both; an empty one adds nothing.
inline Rect unite(const Rect& a, const Rect& b) {
    if (a.empty()) return b.empty() ? Rect{} : b;
    if (b.empty()) return a;
    const int left = std::min(a.left, b.left);
    const int top = std::min(a.top, b.top);
    return {left, top, std::max(a.right(), b.right()) - left,
            std::max(a.bottom(), b.bottom()) - top};
}

}  // namespace runtime::view
