#include "runtime/runtime.h"

#include <algorithm>
#include <limits>
#include <string>

#include "runtime/codec/gif.h"
#include "runtime/errors.h"
#include "runtime/operations.h"
#include "runtime/running_view.h"
#include "runtime/window_api.h"

namespace runtime {
namespace {
Runtime* currentRuntime = nullptr;
}

Runtime::Runtime(Platform& platform) : platform_(platform), previous_(currentRuntime) {
    currentRuntime = this;
}

Runtime::~Runtime() { currentRuntime = previous_; }

Runtime& Runtime::current() { return *currentRuntime; }

view::View& runningView() { return Runtime::current().view(); }

void Runtime::raise(const std::string& control, const char* event, Handler handler) {
    platform_.traceEvent(control, event);
    if (handler) handler();
}

void Runtime::loadStartWindow(const Form& form) {
    form_ = &form;
    const WindowForm& w = form.window;
    // Events the back-end reports while the controls are being made are
    // discarded: loaded_ stays false until the sequence below is done.
    makeControls();

    raise(w.name, "created", w.created);
    raise(w.name, "position changed", w.positionChanged);
    raise(w.name, "size changed", w.sizeChanged);
    const Size screen = platform_.screenSize();
    platform_.moveMainWindow({0, 0, screen.width, screen.height});
    raise(w.name, "size changed", w.sizeChanged);
    platform_.showMainWindow();
    if (!everActivated_) {
        everActivated_ = true;
        raise(w.name, "first activated", w.firstActivated);
    }
    raise(w.name, "activated", w.activated);
    loaded_ = true;
    scheduleWake();
}

void Runtime::makeControls() {
    const Form& form = *form_;
    for (const SpriteTemplateForm& t : form.templates) {
        auto picture = codec::decodeGif(t.picture);
        if (!picture) runtimeErrorStop(0, errors::kFormData);
        view::SpriteProps props = t.props;
        props.picture = std::make_shared<const codec::Picture>(std::move(picture).value());
        templates_.push_back(std::move(props));
    }
    const WindowSpec& spec = form.window.spec;
    if (!platform_.createMainWindow(spec)) runtimeErrorStop(0, errors::kCreateWindow);
    standInWindow.exStyle = spec.topmost ? windowApi::WS_EX_TOPMOST : 0;

    for (const MenuItemForm& m : form.menu) menu_.push_back({&m, m.checked});
    rebuildWindowMenu();
    timers_.assign(form.timers.size(), TimerModel{});
    for (std::size_t i = 0; i < form.timers.size(); ++i) timers_[i].setPeriod(form.timers[i].period, now());

    view_ = std::make_unique<view::View>(static_cast<view::ViewOutput&>(*this), form.view.BackColor);
    const ViewForm& v = form.view;
    view_->setCollisionHandler([handler = v.collided, name = v.name, this](int32_t mover, int32_t left,
                                                                          int32_t top, int32_t other) {
        platform_.traceEvent(name, "碰撞到物体 " + std::to_string(mover) + "," + std::to_string(left) + "," +
                                       std::to_string(top) + "," + std::to_string(other));
        if (handler) handler(mover, left, top, other);
    });
    viewRunning_ = true;
    moveView(v.design);
}

void Runtime::moveView(const Rect& rect) {
    if (rect == viewRect_) return;
    viewRect_ = rect;
    platform_.setViewRect(rect);
    view_->resize({rect.width, rect.height}, now());
}

void Runtime::rebuildWindowMenu() {
    std::vector<int> topLevel;
    for (std::size_t i = 0; i < menu_.size(); ++i)
        if (menu_[i].form->level == 0) topLevel.push_back(static_cast<int>(i));
    platform_.setWindowMenu(menuEntries(topLevel));
}

std::vector<int> Runtime::children(int index, bool visibleOnly) const {
    // Form order nests by level: an item's subtree runs until the level
    // drops back to its own.
    std::vector<int> found;
    const int level = menu_.at(index).form->level;
    for (std::size_t i = index + 1; i < menu_.size() && menu_[i].form->level > level; ++i)
        if (menu_[i].form->level == level + 1 && !(visibleOnly && menu_[i].form->hidden))
            found.push_back(static_cast<int>(i));
    return found;
}

std::vector<MenuEntry> Runtime::menuEntries(const std::vector<int>& items) const {
    std::vector<MenuEntry> entries;
    for (int i : items) {
        const MenuItemForm& f = *menu_[i].form;
        entries.push_back({f.text, menu_[i].checked, f.disabled, f.hidden, menuEntries(children(i, false))});
    }
    return entries;
}

void Runtime::postSelected(int index) {
    postedSelections_.push_back(index);
    scheduleWake();
}

void Runtime::raisePosted() {
    while (!postedSelections_.empty()) {
        const MenuItemForm& picked = *menu_.at(postedSelections_.front()).form;
        postedSelections_.erase(postedSelections_.begin());
        // The handler may open a box: its loop must have the next wake.
        scheduleWake();
        raise(picked.name, "selected", picked.selected);
    }
}

void Runtime::scheduleWake() {
    int64_t due = std::numeric_limits<int64_t>::max();
    for (const TimerModel& t : timers_)
        if (t.due()) due = std::min(due, *t.due());
    if (viewRunning_) due = std::min(due, view_->nextWakeUs());
    if (!postedSelections_.empty()) due = now();
    if (due != std::numeric_limits<int64_t>::max()) platform_.requestWake(due);
}

void Runtime::fireDueTimers(int64_t nowUs) {
    // Each due timer fires once per wake, earliest first. A handler may open
    // a modal box whose loop wakes us again; the models stay consistent
    // because each expiry is recorded before its handler runs.
    std::vector<bool> fired(timers_.size(), false);
    for (;;) {
        int next = -1;
        for (std::size_t i = 0; i < timers_.size(); ++i) {
            const auto due = timers_[i].due();
            if (fired[i] || !due || *due > nowUs) continue;
            if (next < 0 || *due < *timers_[next].due()) next = static_cast<int>(i);
        }
        if (next < 0) return;
        fired[next] = true;
        timers_[next].expired(now());
        raise(form_->timers[next].name, "periodic", form_->timers[next].periodic);
    }
}

void Runtime::onWake() {
    const int64_t nowUs = now();
    if (loaded_) raisePosted();
    if (loaded_) fireDueTimers(nowUs);
    if (viewRunning_ && now() >= view_->nextWakeUs()) view_->tick(now());
    scheduleWake();
}

void Runtime::onSizeChanged() {
    if (loaded_) raise(form_->window.name, "size changed", form_->window.sizeChanged);
}

void Runtime::onActivated() {
    if (loaded_) raise(form_->window.name, "activated", form_->window.activated);
}

void Runtime::onTrayEvent(int action) {
    if (!loaded_) return;
    platform_.traceEvent(form_->window.name, "tray event");
    if (form_->window.trayEvent) form_->window.trayEvent(action);
}

void Runtime::onWindowDestroyed() {
    viewRunning_ = false;   // the view's tick ends with its window
    loaded_ = false;
    postedSelections_.clear();   // nothing is delivered to a destroyed window
    for (TimerModel& t : timers_) t.setPeriod(0, now());
}

}  // namespace runtime
