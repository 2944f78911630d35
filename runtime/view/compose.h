#pragma once
#include <cstdint>

#include "runtime/geometry.h"
#include "runtime/platform.h"
#include "runtime/view/frame_set.h"

namespace runtime::view {

// `area` must lie inside the surface.
void fillArea(const Surface& surface, const Rect& area, uint32_t color);

// Draws the opaque pixels of `image` placed at (left, top), only inside
// `clip`, which must lie inside the surface.
void drawImage(const Surface& surface, const Rect& clip, const FrameImage& image, int left,
               int top);

}  // namespace runtime::view
