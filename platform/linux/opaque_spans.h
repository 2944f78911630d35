#pragma once
// The parts of an area that are not the colour key, as few rectangles as
// rows allow: a run of pixels on one row, grown down over the rows below
// while they have exactly the same run. Feeds the window's X shape.
#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/geometry.h"
#include "runtime/surface.h"

namespace platform::linux_x11 {

// Appends the opaque rectangles of `area` (surface coordinates, inside the
// surface) to `out`, moved by (dx, dy). With no key every pixel is opaque.
void appendOpaqueRects(const runtime::Surface& surface, const runtime::Rect& area,
                       std::optional<uint32_t> key, int dx, int dy, std::vector<runtime::Rect>& out);

// Replaces rectangles that overlap by their bounding box, until none do, so
// that an area changed in several steps is looked at once.
void mergeOverlapping(std::vector<runtime::Rect>& rects);

}  // namespace platform::linux_x11
