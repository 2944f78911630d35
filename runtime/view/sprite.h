#pragma once
#include <cstdint>
#include <memory>
#include <optional>

#include "runtime/codec/picture.h"

namespace runtime::view {

// The values a sprite template carries and copies into every object made
// from it. Names follow the view's own property names.
struct SpriteProps {
    std::shared_ptr<const codec::Picture> picture;
    std::optional<uint32_t> TransparentColor;  // 0xRRGGBB; none by default
    bool AutoGetTransColor = false;
    bool PlayGIF = false;
    int GIFDelay = 0;
    int GIFAutoDestroy = 0;
    int alpha = 0;
    int light = 0;
    int TrendDepth = 0;
    int zoom = 1000;          // thousandths; 0 and 1000 mean no scaling
    int layer = 0;
    int angle = 0;            // degrees clockwise from up
    bool RotateFollow = false;
    int TurnType = 0;
    int ExistTime = 0;
    bool CollideAllowed = false;
    int type = 0;
};

}  // namespace runtime::view
