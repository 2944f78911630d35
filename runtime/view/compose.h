#pragma once
#include <cstdint>

#include "runtime/geometry.h"
#include "runtime/surface.h"
#include "runtime/view/frame_set.h"

namespace runtime::view {

// Copies `row` (at least area.width pixels of one colour) into each row of
// `area`, which must lie inside the surface. Copying a ready row runs at
// memcpy speed, where a store loop does not.
void fillArea(const Surface& surface, const Rect& area, const uint32_t* row);

// Draws the opaque pixels of `image` placed at (left, top), only inside
// `clip`, which must lie inside the surface.
void drawImage(const Surface& surface, const Rect& clip, const FrameImage& image, int left,
               int top);

// Fills `clip` with the colour of `row`, except where `image` is opaque,
// and draws `image` there: every pixel is written once, not twice. `image`
// must be built on the colour of `row`: its rows are copied whole.
void drawImageOnFill(const Surface& surface, const Rect& clip, const FrameImage& image, int left,
                     int top, const uint32_t* row);

}  // namespace runtime::view
