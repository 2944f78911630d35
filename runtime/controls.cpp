#include "runtime/controls.h"

#include "runtime/runtime.h"
#include "runtime/trace_text.h"

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
    r.traceCall([&] { return r.timerForm(index_).name + "." + callText("setPeriod", ms); });
    r.timer(index_).setPeriod(ms, r.now());
    r.scheduleWake();
}

bool MenuItem::checked() const { return rt().menuItem(index_).checked; }

void MenuItem::setChecked(bool checked) const {
    Runtime& r = rt();
    r.traceCall([&] { return r.menuItem(index_).form->name + "." + callText("setChecked", checked); });
    r.menuItem(index_).checked = checked;
    r.rebuildWindowMenu();
}

int SpriteTemplate::zoom() const { return rt().spriteTemplate(index_).zoom; }

void SpriteTemplate::setZoom(int zoom) const {
    Runtime& r = rt();
    r.traceCall([&] { return r.templateName(index_) + "." + callText("setZoom", zoom); });
    r.spriteTemplate(index_).zoom = zoom;
}

namespace {
// Writes a view operation, with its result when it has one.
struct NoResult {};
std::string resultText(NoResult) { return {}; }
std::string resultText(auto value) { return std::string("=").append(textOf(value)); }

template <class Result, class... Args>
void traceView(Runtime& r, Result result, std::string_view operation, const Args&... args) {
    r.traceCall([&] { return r.viewName() + "." + callText(operation, args...) + resultText(result); });
}
}  // namespace

void AnimationView::move(int left, int top, int width, int height) const {
    Runtime& r = rt();
    traceView(r, NoResult{}, "move", left, top, width, height);
    r.moveView({left, top, width, height});
}

int32_t AnimationView::createObject(const SpriteTemplate& from, double x, double y) const {
    Runtime& r = rt();
    const int32_t id = r.view().createObject(r.spriteTemplate(from.index()), x, y, r.now());
    traceView(r, id, "createObject", r.templateName(from.index()), x, y);
    return id;
}

void AnimationView::destroyObject(int32_t id) const {
    traceView(rt(), NoResult{}, "destroyObject", id);
    rt().view().destroyObject(id);
}

bool AnimationView::objectExists(int32_t id) const {
    const bool exists = rt().view().objectExists(id);
    traceView(rt(), exists, "objectExists", id);
    return exists;
}

void AnimationView::startForwardMotion(int32_t id, double step, int intervalMs, double distance,
                                       bool destroyAtEnd) const {
    Runtime& r = rt();
    traceView(r, NoResult{}, "startForwardMotion", id, step, intervalMs, distance, destroyAtEnd);
    r.view().startForwardMotion(id, step, intervalMs, distance, destroyAtEnd, r.now());
}

void AnimationView::stopForwardMotion(int32_t id) const {
    traceView(rt(), NoResult{}, "stopForwardMotion", id);
    rt().view().stopForwardMotion(id);
}

void AnimationView::setDirection(int32_t id, int angle) const {
    traceView(rt(), NoResult{}, "setDirection", id, angle);
    rt().view().setDirection(id, angle);
}

}  // namespace runtime
