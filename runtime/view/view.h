#pragma once
// The animation view: objects made from sprite templates, forward motion,
// turned and scaled pictures, pixel-exact collisions, and compositing into
// the back buffer with dirty rectangles. Portable and deterministic: time
// comes in as an argument.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "runtime/geometry.h"
#include "runtime/surface.h"
#include "runtime/view/sprite.h"

namespace runtime::view {

// Where the view draws: the back-end's back buffer and its invalidation.
class ViewOutput {
public:
    virtual ~ViewOutput() = default;
    virtual Surface surface() = 0;
    virtual void invalidate(const Rect& area) = 0;
    virtual void presentNow() = 0;
};

// 碰撞到物体(mover, left before the step, top before the step, other)
using CollisionHandler = std::function<void(int32_t, int32_t, int32_t, int32_t)>;

class View {
public:
    static constexpr int64_t kStepUs = 15625;   // 64 steps a second
    static constexpr int64_t kWakeUs = 5000;    // the tick the view asks for
    static constexpr int kMaxStepsPerWake = 4;

    View(ViewOutput& output, uint32_t backColor);
    ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    void setCollisionHandler(CollisionHandler handler);
    // Resizing changes the visible area only; objects keep their places.
    void resize(Size size, int64_t nowUs);

    int32_t createObject(const SpriteProps& from, double x, double y, int64_t nowUs);
    void destroyObject(int32_t id);
    bool objectExists(int32_t id) const;
    void startForwardMotion(int32_t id, double step, int intervalMs, double distance,
                            bool destroyAtEnd, int64_t nowUs);
    void stopForwardMotion(int32_t id);
    void setDirection(int32_t id, int angle);

    // Runs the steps and frame changes due by nowUs, then presents.
    void tick(int64_t nowUs);
    // When the view next wants tick(); it asks every kWakeUs.
    int64_t nextWakeUs() const;

    // For tests and tools.
    struct ObjectState {
        double x = 0, y = 0;   // top-left of the drawn picture
        int angle = 0;
        Rect bounds;           // drawn picture, view coordinates
        int frame = 0;
        bool moving = false;   // has a forward motion (its final 200 ms included)
        int pictureBuilds = 0; // how often its frames changed after creation
    };
    bool inspect(int32_t id, ObjectState& out) const;
    int objectCount() const;

    // Running totals, for benchmarks and tools.
    struct Stats {
        int64_t steps = 0;
        int64_t pixelsComposited = 0;  // pixels written into the surface
        // The least that had to change: per changed object, the area of its
        // old and new pictures (clipped), plus destroyed objects' old ones.
        int64_t pixelsChanged = 0;
        int64_t rectsInvalidated = 0;
        int64_t forcedPresents = 0;
        int64_t frameSetsBuilt = 0;    // scaled/turned frame sets built, on first use
    };
    Stats stats() const;
    // What the view holds now: built frames, objects and its working lists
    // (the back buffer is the back-end's). For checking that it stays flat.
    std::size_t heldBytes() const;
    // Redraws and invalidates the whole view after every step and every
    // other change: the naive baseline the dirty rectangles are measured
    // against.
    void setFullRedraw(bool on);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace runtime::view
