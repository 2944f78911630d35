#pragma once
// One object of the view, as the view keeps it.
#include <cstdint>
#include <memory>

#include "runtime/geometry.h"
#include "runtime/view/direction.h"
#include "runtime/view/frame_set.h"
#include "runtime/view/sprite.h"

namespace runtime::view {

struct Motion {
    bool active = false;
    double step = 0;
    int64_t intervalUs = 0;
    double remaining = 0;   // distance still to go
    bool destroyAtEnd = false;
    bool stepped = false;
    int64_t lastStepUs = 0;
    bool finishing = false; // distance used up, waiting out the end delay
    int64_t endUs = 0;
};

// Positions are reals; drawing and testing use them truncated toward zero.
// The clamp keeps far-away objects' edges inside int.
inline int toPixel(double v) {
    if (!(v > -1e9)) return -1000000000;
    return v < 1e9 ? int(v) : 1000000000;
}

struct ViewObject {
    int32_t id = 0;
    SpriteProps props;
    double x = 0, y = 0;
    int angle = 0;
    SinCos heading;
    FrameKey frameKey;
    std::shared_ptr<const FrameSet> frames;
    int frame = 0;
    int64_t frameDueUs = 0;   // when the next frame is due
    Motion motion;
    int32_t lastCollided = 0;
    int pictureBuilds = 0;
    bool dead = false;

    // What the surface shows of it, and whether that is out of date.
    Rect drawnBounds;
    bool repaint = true;

    // Whether it has frames to show; the bounds never need them built.
    bool hasImage() const { return frames && frames->frameCount() > 0; }
    Point position() const { return {toPixel(x), toPixel(y)}; }
    Rect bounds() const {
        if (!hasImage()) return {};
        return {toPixel(x), toPixel(y), frames->width(), frames->height()};
    }
};

}  // namespace runtime::view
