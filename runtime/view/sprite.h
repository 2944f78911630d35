#pragma once
#include <cstdint>
#include <memory>
#include <optional>

#include "runtime/codec/picture.h"

namespace runtime::view {

// The values a sprite template carries and copies into every object made
// from it. Names follow the view's own property names. The view's other
// properties keep their defaults in every form it shows (no translucency,
// light, flip or time limit; frame delays from the picture; GIFs loop for
// ever), so they are not modelled.
struct SpriteProps {
    std::shared_ptr<const codec::Picture> picture;
    std::optional<uint32_t> TransparentColor;  // 0xRRGGBB; none by default
    bool PlayGIF = false;
    int zoom = 1000;          // thousandths; 0 and 1000 mean no scaling
    int layer = 0;
    int angle = 0;            // degrees clockwise from up
    bool RotateFollow = false;
    bool CollideAllowed = false;
    int type = 0;
};

}  // namespace runtime::view
