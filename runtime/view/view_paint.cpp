// Compositing: only what changed since the last flush is drawn again, straight
// into the presented surface, and only those areas are invalidated.
#include "runtime/view/compose.h"
#include "runtime/view/dirty_rects.h"
#include "runtime/view/rect_ops.h"
#include "runtime/view/view_impl.h"

namespace runtime::view {

Rect View::Impl::visibleArea(const Surface& surface) const {
    // The view's size, but never beyond the buffer actually there.
    const Rect buffer{0, 0, surface.width, surface.height};
    return size ? intersect(buffer, {0, 0, size->width, size->height}) : buffer;
}

void View::Impl::flush(int64_t nowUs) {
    const Surface surface = output.surface();
    const Rect shown = visibleArea(surface);

    dirty.clear();
    for (const Rect& r : vacated) {
        dirty.push_back(intersect(r, shown));
        stats.pixelsChanged += area(dirty.back());
    }
    vacated.clear();
    // Objects destroyed in a collision handler are still listed, marked dead,
    // when a handler resizes the view.
    for (ViewObject* o : drawOrder) {
        const Rect now = o->bounds();
        if (o->dead || (!o->repaint && now == o->drawnBounds)) continue;
        const Rect was = intersect(o->drawnBounds, shown);
        const Rect is = intersect(now, shown);
        stats.pixelsChanged += area(was) + area(is) - area(intersect(was, is));
        dirty.push_back(unite(was, is));
        o->drawnBounds = now;
        o->repaint = false;
    }
    if (redrawAll || (fullRedraw && (steppedSinceFlush || !dirty.empty()))) {
        dirty.assign(1, shown);
        redrawAll = false;
    } else if (!fullRedraw) {
        mergeDirtyRects(dirty);
    }
    steppedSinceFlush = false;
    if (dirty.empty() || shown.empty()) return;

    if (backRow.size() < size_t(shown.width)) backRow.assign(size_t(shown.width), backColor);
    drawList.clear();
    // Only what can show: the frames of objects outside are left unbuilt.
    for (const ViewObject* o : drawOrder) {
        if (o->dead || !o->hasImage()) continue;
        const Rect box = o->bounds();
        if (!box.empty() && overlaps(box, shown)) drawList.push_back({box, &imageOf(*o)});
    }
    for (const Rect& r : dirty) {
        compose(surface, r);
        output.invalidate(r);
        stats.pixelsComposited += area(r);
        ++stats.rectsInvalidated;
    }

    if (!presentedOnce || nowUs - lastForcedPresentUs > kForcedPresentUs) {
        presentedOnce = true;
        lastForcedPresentUs = nowUs;
        ++stats.forcedPresents;
        output.presentNow();
    }
}

void View::Impl::compose(const Surface& surface, const Rect& r) {
    bool filled = false;
    for (const DrawItem& item : drawList) {
        if (!overlaps(item.bounds, r)) continue;
        // The lowest object is drawn together with the background.
        if (filled) {
            drawImage(surface, r, *item.image, item.bounds.left, item.bounds.top);
        } else {
            drawImageOnFill(surface, r, *item.image, item.bounds.left, item.bounds.top,
                            backRow.data());
            filled = true;
        }
    }
    if (!filled) fillArea(surface, r, backRow.data());
}

}  // namespace runtime::view
