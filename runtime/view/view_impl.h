#pragma once
// The view's inner state, shared by view.cpp (objects, motion, steps) and
// view_paint.cpp (compositing and presenting).
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "runtime/view/frame_cache.h"
#include "runtime/view/view.h"
#include "runtime/view/view_object.h"

namespace runtime::view {

struct View::Impl {
    static constexpr int64_t kEndDelayUs = 200000;     // after the distance is used up
    static constexpr int64_t kForcedPresentUs = 100000;
    static constexpr int kDefaultFrameDelayMs = 50;

    Impl(ViewOutput& out, uint32_t back) : output(out), backColor(back & 0xFFFFFF), cache(backColor) {}

    ViewOutput& output;
    uint32_t backColor;
    std::optional<Size> size;        // until resized: the surface's own
    CollisionHandler onCollision;
    FrameCache cache;
    Stats stats;

    // Objects by id (creation order); drawing order; collision candidates.
    // Destroyed objects are only marked dead during a step and removed after
    // it, so a collision handler can destroy anything safely.
    std::vector<std::unique_ptr<ViewObject>> objects;
    std::vector<ViewObject*> drawOrder;
    struct CollisionGroup {
        int layer = 0;
        int type = 0;
        std::vector<ViewObject*> members;
    };
    std::vector<CollisionGroup> groups;
    int32_t lastId = 0;
    bool inStep = false;
    std::vector<ViewObject*> movers;   // reused by every step

    bool started = false;
    int64_t lastTickUs = 0;
    int64_t nextStepUs = 0;

    // Painting.
    bool fullRedraw = false;
    bool steppedSinceFlush = false;
    bool redrawAll = true;           // the surface's contents are undefined
    std::vector<Rect> vacated;       // where destroyed objects were drawn
    std::vector<Rect> dirty;         // reused by every flush
    struct DrawItem {
        Rect bounds;
        const FrameImage* image;
    };
    std::vector<DrawItem> drawList;  // reused by every flush
    std::vector<uint32_t> backRow;   // a row of BackColor to fill from
    bool presentedOnce = false;
    int64_t lastForcedPresentUs = 0;

    ViewObject* find(int32_t id) const;
    void add(std::unique_ptr<ViewObject> object);
    void destroy(ViewObject& object);
    void removeDead();
    // The frame it shows, built on first use (and counted then). Only for
    // an object that hasImage().
    const FrameImage& imageOf(const ViewObject& object);
    int64_t frameDelayUs(const ViewObject& object, int frame) const;
    void advanceFrame(ViewObject& object, int64_t atUs);
    void step(int64_t atUs);
    void moveOnce(ViewObject& mover, int64_t atUs);
    void testCollision(ViewObject& mover, Point before);

    // view_paint.cpp
    Rect visibleArea(const Surface& surface) const;
    void flush(int64_t nowUs);
    void compose(const Surface& surface, const Rect& area);
};

}  // namespace runtime::view
