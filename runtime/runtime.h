#pragma once
// The running run time: the live form, its timers and view, and the
// back-end it sits on. Internal to runtime/; the program uses
// operations.h and controls.h.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/form.h"
#include "runtime/platform.h"
#include "runtime/random.h"
#include "runtime/timer_model.h"
#include "runtime/view/view.h"
#include "runtime/window_stand_in.h"

namespace runtime {

struct MenuItemState {
    const MenuItemForm* form = nullptr;
    bool checked = false;
};

class Runtime final : public Host, private view::ViewOutput {
public:
    explicit Runtime(Platform& platform);
    ~Runtime() override;
    static Runtime& current();

    Platform& platform() { return platform_; }
    int64_t now() { return platform_.nowMicros(); }

    void loadStartWindow(const Form& form);
    void raise(const std::string& control, const char* event, Handler handler);

    // Live controls.
    TimerModel& timer(int index) { return timers_.at(index); }
    const TimerForm& timerForm(int index) const { return form_->timers.at(index); }
    MenuItemState& menuItem(int index) { return menu_.at(index); }
    view::SpriteProps& spriteTemplate(int index) { return templates_.at(index); }
    view::View& view() { return *view_; }
    void moveView(const Rect& rect);
    void rebuildWindowMenu();
    // The direct children of a menu item, as form indices; only the
    // visible ones on request.
    std::vector<int> children(int index, bool visibleOnly) const;
    std::vector<MenuEntry> menuEntries(const std::vector<int>& items) const;
    // Raises a menu item's selected event once the current event is done.
    void postSelected(int index);
    void scheduleWake();
    // Tells the back-end of an operation; its text is made only for a
    // back-end that records operations.
    template <class MakeText>
    void traceCall(MakeText&& text) {
        if (platform_.recordsCalls()) platform_.traceCall(text());
    }
    // The form names of the program's controls, for traceCall.
    const std::string& viewName() const { return form_->view.name; }
    const std::string& templateName(int index) const { return form_->templates.at(index).name; }

    Random random;
    uint32_t seedings = 0;
    void (*atExit)() = nullptr;
    std::map<std::string, void*> libraries;
    std::map<std::string, void*> functions;
    standIn::Window standInWindow;

private:
    // Host
    void onWake() override;
    void onSizeChanged() override;
    void onActivated() override;
    void onTrayEvent(int action) override;
    void onWindowDestroyed() override;
    // ViewOutput
    Surface surface() override { return platform_.viewSurface(); }
    void invalidate(const Rect& area) override { platform_.invalidateView(area); }
    void presentNow() override { platform_.presentNow(); }

    void makeControls();
    void fireDueTimers(int64_t nowUs);
    void raisePosted();

    Platform& platform_;
    Runtime* previous_;
    const Form* form_ = nullptr;
    bool loaded_ = false;        // events from the back-end count only after loading
    bool everActivated_ = false;
    bool viewRunning_ = false;
    std::vector<TimerModel> timers_;
    std::vector<MenuItemState> menu_;
    std::vector<view::SpriteProps> templates_;
    std::unique_ptr<view::View> view_;
    Rect viewRect_;
    std::vector<int> postedSelections_;   // menu items, in the order chosen
};

}  // namespace runtime
