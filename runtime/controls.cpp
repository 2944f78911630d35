#include "runtime/controls.h"

#include "runtime/runtime.h"

namespace runtime {
namespace {
Runtime& rt() { return Runtime::current(); }
}

int MainWindow::width() const { return rt().platform().windowSize().width; }
int MainWindow::height() const { return rt().platform().windowSize().height; }
int MainWindow::clientWidth() const { return rt().platform().clientSize().width; }
int MainWindow::clientHeight() const { return rt().platform().clientSize().height; }
intptr_t MainWindow::handle() const { return rt().platform().windowHandle(); }

int Timer::period() const { return rt().timer(index_).period(); }

void Timer::setPeriod(int ms) const {
    Runtime& r = rt();
    r.timer(index_).setPeriod(ms, r.now());
    r.scheduleWake();
}

bool MenuItem::checked() const { return rt().menuItem(index_).checked; }

void MenuItem::setChecked(bool checked) const {
    rt().menuItem(index_).checked = checked;
    rt().rebuildWindowMenu();
}

int SpriteTemplate::zoom() const { return rt().spriteTemplate(index_).zoom; }
void SpriteTemplate::setZoom(int zoom) const { rt().spriteTemplate(index_).zoom = zoom; }

void AnimationView::move(int left, int top, int width, int height) const {
    rt().moveView({left, top, width, height});
}

int32_t AnimationView::createObject(const SpriteTemplate& from, double x, double y) const {
    Runtime& r = rt();
    return r.view().createObject(r.spriteTemplate(from.index()), x, y, r.now());
}

void AnimationView::destroyObject(int32_t id) const { rt().view().destroyObject(id); }
bool AnimationView::objectExists(int32_t id) const { return rt().view().objectExists(id); }

void AnimationView::startForwardMotion(int32_t id, double step, int intervalMs, double distance,
                                       bool destroyAtEnd) const {
    Runtime& r = rt();
    r.view().startForwardMotion(id, step, intervalMs, distance, destroyAtEnd, r.now());
}

void AnimationView::stopForwardMotion(int32_t id) const { rt().view().stopForwardMotion(id); }
void AnimationView::setDirection(int32_t id, int angle) const { rt().view().setDirection(id, angle); }

}  // namespace runtime
