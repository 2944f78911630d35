#include "runtime/view/view.h"

#include <algorithm>
#include <cmath>

#include "runtime/view/collision_mask.h"
#include "runtime/view/direction.h"
#include "runtime/view/rect_ops.h"
#include "runtime/view/view_impl.h"

namespace runtime::view {

// ---- objects ---------------------------------------------------------------

ViewObject* View::Impl::find(int32_t id) const {
    auto it = std::lower_bound(objects.begin(), objects.end(), id,
                               [](const auto& o, int32_t v) { return o->id < v; });
    if (it == objects.end() || (*it)->id != id || (*it)->dead) return nullptr;
    return it->get();
}

void View::Impl::add(std::unique_ptr<ViewObject> object) {
    ViewObject* o = object.get();
    objects.push_back(std::move(object));
    // Newest last among its layer: drawn on top of its equals.
    auto at = std::upper_bound(drawOrder.begin(), drawOrder.end(), o->props.layer,
                               [](int layer, const ViewObject* d) { return layer < d->props.layer; });
    drawOrder.insert(at, o);
    if (!o->props.CollideAllowed) return;
    for (CollisionGroup& g : groups) {
        if (g.layer == o->props.layer && g.type == o->props.type) {
            g.members.push_back(o);
            return;
        }
    }
    groups.push_back({o->props.layer, o->props.type, {o}});
}

void View::Impl::destroy(ViewObject& object) {
    if (object.dead) return;
    object.dead = true;
    object.motion.active = false;
    if (!object.drawnBounds.empty()) vacated.push_back(object.drawnBounds);
    if (!inStep) removeDead();
}

void View::Impl::removeDead() {
    auto dead = [](const ViewObject* o) { return o->dead; };
    std::erase_if(drawOrder, dead);
    for (CollisionGroup& g : groups) std::erase_if(g.members, dead);
    std::erase_if(groups, [](const CollisionGroup& g) { return g.members.empty(); });
    std::erase_if(objects, [](const auto& o) { return o->dead; });
}

const FrameImage& View::Impl::imageOf(const ViewObject& object) {
    if (!object.frames->built()) ++stats.frameSetsBuilt;
    return object.frames->frame(object.frame);
}

// ---- time ------------------------------------------------------------------

int64_t View::Impl::frameDelayUs(const ViewObject& object, int frame) const {
    const int ms = object.frames->source().frames[size_t(frame)].delayMs;
    return int64_t(ms > 0 ? ms : kDefaultFrameDelayMs) * 1000;
}

void View::Impl::advanceFrame(ViewObject& o, int64_t atUs) {
    if (!o.props.PlayGIF || !o.frames || o.frames->frameCount() < 2 || atUs < o.frameDueUs)
        return;
    const int count = o.frames->frameCount();
    int64_t cycleUs = 0;
    for (int i = 0; i < count; ++i) cycleUs += frameDelayUs(o, i);
    // After a long pause whole cycles change nothing; skip them.
    o.frameDueUs += (atUs - o.frameDueUs) / cycleUs * cycleUs;
    while (atUs >= o.frameDueUs) {
        o.frame = (o.frame + 1) % count;
        o.frameDueUs += frameDelayUs(o, o.frame);
    }
    o.repaint = true;
}

void View::Impl::step(int64_t atUs) {
    ++stats.steps;
    steppedSinceFlush = true;
    inStep = true;
    movers.clear();
    for (const auto& o : objects) {
        advanceFrame(*o, atUs);
        if (o->motion.active) movers.push_back(o.get());
    }
    // The handler of a collision may destroy, create or restart anything;
    // each mover is looked at afresh when its turn comes.
    for (ViewObject* m : movers) {
        if (m->dead || !m->motion.active) continue;
        Motion& motion = m->motion;
        if (motion.finishing) {
            if (atUs >= motion.endUs) {
                motion.active = false;
                if (motion.destroyAtEnd) destroy(*m);
            }
            continue;
        }
        if (motion.stepped && atUs - motion.lastStepUs < motion.intervalUs) continue;
        moveOnce(*m, atUs);
    }
    movers.clear();
    inStep = false;
    removeDead();
}

void View::Impl::moveOnce(ViewObject& m, int64_t atUs) {
    Motion& motion = m.motion;
    const Point before = m.position();
    // The last step is cut to what is left of the distance.
    const double length = std::min(std::fabs(motion.step), motion.remaining);
    const double signedLength = motion.step < 0 ? -length : length;
    m.x += signedLength * m.heading.sin;
    m.y -= signedLength * m.heading.cos;
    motion.remaining -= length;
    motion.stepped = true;
    motion.lastStepUs = atUs;
    if (motion.remaining <= 0) {
        motion.finishing = true;
        motion.endUs = atUs + kEndDelayUs;
    }
    testCollision(m, before);
}

void View::Impl::testCollision(ViewObject& m, Point before) {
    if (!m.props.CollideAllowed || !m.hasImage()) {
        m.lastCollided = 0;
        return;
    }
    const Rect box = m.bounds();
    bool touchesLast = false;
    ViewObject* hit = nullptr;
    for (const CollisionGroup& g : groups) {
        if (g.layer != m.props.layer || g.type == m.props.type) continue;
        for (ViewObject* o : g.members) {
            if (o->dead || !o->hasImage()) continue;
            const Rect otherBox = o->bounds();
            if (intersect(box, otherBox).empty()) continue;
            if (!imagesOverlap(imageOf(m), {box.left, box.top}, imageOf(*o),
                               {otherBox.left, otherBox.top}))
                continue;
            if (o->id == m.lastCollided) touchesLast = true;
            else if (!hit || o->id < hit->id) hit = o;
        }
    }
    if (touchesLast) return;  // still the same contact
    m.lastCollided = hit ? hit->id : 0;
    if (!hit || !onCollision) return;
    // A copy, in case the handler replaces the handler.
    const CollisionHandler handler = onCollision;
    handler(m.id, before.x, before.y, hit->id);
}

// ---- the contract ------------------------------------------------------------

View::View(ViewOutput& output, uint32_t backColor)
    : impl_(std::make_unique<Impl>(output, backColor)) {}

View::~View() = default;

void View::setCollisionHandler(CollisionHandler handler) {
    impl_->onCollision = std::move(handler);
}

void View::resize(Size size, int64_t nowUs) {
    impl_->size = size;
    impl_->redrawAll = true;
    impl_->flush(nowUs);
}

int32_t View::createObject(const SpriteProps& from, double x, double y, int64_t nowUs) {
    Impl& v = *impl_;
    auto o = std::make_unique<ViewObject>();
    o->id = ++v.lastId;
    o->props = from;
    o->x = x;
    o->y = y;
    o->angle = normalizeAngle(from.angle);
    o->heading = sinCosOf(o->angle);
    o->frameKey = frameKeyFor(from.picture.get(), from.zoom, from.RotateFollow, o->angle,
                              from.TransparentColor);
    o->frames = v.cache.get(from.picture, o->frameKey);
    if (o->hasImage()) o->frameDueUs = nowUs + v.frameDelayUs(*o, 0);
    const int32_t id = o->id;
    v.add(std::move(o));
    return id;
}

void View::destroyObject(int32_t id) {
    if (ViewObject* o = impl_->find(id)) impl_->destroy(*o);
}

bool View::objectExists(int32_t id) const {
    return impl_->find(id) != nullptr;
}

void View::startForwardMotion(int32_t id, double step, int intervalMs, double distance,
                              bool destroyAtEnd, int64_t nowUs) {
    ViewObject* o = impl_->find(id);
    if (!o) return;
    Motion& m = o->motion;
    m = {};
    m.active = true;
    m.step = step;
    m.intervalUs = int64_t(std::max(intervalMs, 0)) * 1000;
    m.remaining = distance;
    m.destroyAtEnd = destroyAtEnd;
    if (!(distance > 0)) {
        m.finishing = true;
        m.endUs = nowUs + Impl::kEndDelayUs;
    }
    o->lastCollided = 0;
}

void View::stopForwardMotion(int32_t id) {
    ViewObject* o = impl_->find(id);
    if (!o || !o->motion.active) return;
    o->motion.active = false;
    if (o->motion.destroyAtEnd) impl_->destroy(*o);
}

void View::setDirection(int32_t id, int angle) {
    ViewObject* o = impl_->find(id);
    const int a = normalizeAngle(angle);
    if (!o || o->angle == a) return;
    o->angle = a;
    o->heading = sinCosOf(a);
    const FrameKey key = frameKeyFor(o->props.picture.get(), o->props.zoom,
                                     o->props.RotateFollow, a, o->props.TransparentColor);
    if (key == o->frameKey) return;
    const int oldWidth = o->frames->width(), oldHeight = o->frames->height();
    o->frameKey = key;
    o->frames = impl_->cache.get(o->props.picture, key);
    // Turned about its centre: the centre stays where it was.
    o->x += (oldWidth - o->frames->width()) / 2.0;
    o->y += (oldHeight - o->frames->height()) / 2.0;
    ++o->pictureBuilds;
    o->repaint = true;
}

void View::tick(int64_t nowUs) {
    Impl& v = *impl_;
    if (v.inStep) return;  // from inside a collision handler
    if (!v.started) {
        v.started = true;
        v.nextStepUs = nowUs + kStepUs;
    } else if (nowUs >= v.nextStepUs) {
        int64_t due = (nowUs - v.nextStepUs) / kStepUs + 1;
        if (due > kMaxStepsPerWake) {
            // A longer stall is dropped: only the latest steps run.
            v.nextStepUs += (due - kMaxStepsPerWake) * kStepUs;
            due = kMaxStepsPerWake;
        }
        for (int64_t i = 0; i < due; ++i) {
            v.step(v.nextStepUs);
            v.nextStepUs += kStepUs;
        }
    }
    v.lastTickUs = nowUs;
    v.flush(nowUs);
}

int64_t View::nextWakeUs() const {
    return impl_->started ? impl_->lastTickUs + kWakeUs : 0;
}

bool View::inspect(int32_t id, ObjectState& out) const {
    const ViewObject* o = impl_->find(id);
    if (!o) return false;
    out.x = o->x;
    out.y = o->y;
    out.angle = o->angle;
    out.bounds = o->bounds();
    out.frame = o->frame;
    out.moving = o->motion.active;
    out.pictureBuilds = o->pictureBuilds;
    return true;
}

int View::objectCount() const {
    return int(std::count_if(impl_->objects.begin(), impl_->objects.end(),
                             [](const auto& o) { return !o->dead; }));
}

View::Stats View::stats() const {
    return impl_->stats;
}

std::size_t View::heldBytes() const {
    const Impl& v = *impl_;
    std::size_t bytes = v.cache.heldBytes() + v.objects.size() * sizeof(ViewObject) +
                        v.objects.capacity() * sizeof v.objects[0] + v.drawOrder.capacity() * sizeof(ViewObject*) +
                        v.movers.capacity() * sizeof(ViewObject*) + v.groups.capacity() * sizeof v.groups[0] +
                        (v.vacated.capacity() + v.dirty.capacity()) * sizeof(Rect) +
                        v.drawList.capacity() * sizeof v.drawList[0] + v.backRow.capacity() * sizeof v.backRow[0];
    for (const auto& g : v.groups) bytes += g.members.capacity() * sizeof(ViewObject*);
    return bytes;
}

void View::setFullRedraw(bool on) {
    impl_->fullRedraw = on;
}

}  // namespace runtime::view
