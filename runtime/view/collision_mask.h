#pragma once
#include "runtime/geometry.h"
#include "runtime/view/frame_set.h"

namespace runtime::view {

// True when some pixel is opaque in both images, placed at their top-left
// corners. Bounding boxes first, then the masks ANDed row by row.
bool imagesOverlap(const FrameImage& a, Point atA, const FrameImage& b, Point atB);

}  // namespace runtime::view
