// Compositing: only what changed since the last flush is drawn again, straight
// into the presented surface, and only those areas are invalidated.
#include "runtime/view/compose.h"
#include "runtime/view/dirty_rects.h"
#include "runtime/view/rect_ops.h"
#include "runtime/view/view_impl.h"

namespace runtime::view {

Rect View::Impl::visibleArea() const {
    return {0, 0, size.width, size.height};
}

void View::Impl::flush(int64_t nowUs) {
    const Surface surface = output.surface();
    // The view's size, but never beyond the buffer actually there.
    const Rect shown = intersect(visibleArea(), {0, 0, surface.width, surface.height});

    for (ViewObject* o : drawOrder) {
        const Rect now = o->bounds();
        if (!o->repaint && now == o->drawnBounds) continue;
        const Rect was = intersect(o->drawnBounds, shown);
        const Rect is = intersect(now, shown);
        stats.pixelsChanged += area(was) + area(is) - area(intersect(was, is));
        dirty.push_back(unite(was, is));
        o->drawnBounds = now;
        o->repaint = false;
    }
    if (redrawAll || fullRedraw) {
        dirty.assign(1, shown);
        redrawAll = false;
    } else {
        for (Rect& r : dirty) r = intersect(r, shown);
        mergeDirtyRects(dirty);
    }
    if (dirty.empty() || shown.empty()) {
        dirty.clear();
        return;
    }

    drawList.clear();
    for (const ViewObject* o : drawOrder)
        if (const FrameImage* image = o->image()) drawList.push_back({o->bounds(), image});
    for (const Rect& r : dirty) {
        compose(surface, r);
        output.invalidate(r);
        stats.pixelsComposited += area(r);
        ++stats.rectsInvalidated;
    }
    dirty.clear();

    if (!presentedOnce || nowUs - lastForcedPresentUs > kForcedPresentUs) {
        presentedOnce = true;
        lastForcedPresentUs = nowUs;
        ++stats.forcedPresents;
        output.presentNow();
    }
}

void View::Impl::compose(const Surface& surface, const Rect& r) {
    fillArea(surface, r, backColor);
    for (const DrawItem& item : drawList)
        if (!intersect(item.bounds, r).empty())
            drawImage(surface, r, *item.image, item.bounds.left, item.bounds.top);
}

}  // namespace runtime::view
