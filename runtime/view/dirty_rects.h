#pragma once
#include <vector>

#include "runtime/geometry.h"

namespace runtime::view {

// Merges rectangles wherever one rectangle round both costs no more pixels
// than the two apart (overlapping ones would be drawn twice), until no pair
// is left to merge. Empty rectangles are dropped.
void mergeDirtyRects(std::vector<Rect>& rects);

}  // namespace runtime::view
