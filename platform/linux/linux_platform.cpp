#include "platform/linux/linux_platform.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/linux/message_box.h"
#include "platform/linux/opaque_spans.h"
#include "runtime/view/rect_ops.h"

namespace platform::linux_x11 {
namespace {

using runtime::view::intersect;

// The server is gone: nothing more can be shown, so say so and end.
int onDisplayLost(Display*) {
    std::fputs("christmas-card: the X display has gone away\n", stderr);
    std::_Exit(-1);
}

// A refused request (a window manager that ignores hints, a window gone in
// a switch) is not worth ending the card for.
int onRequestRefused(Display* display, XErrorEvent* error) {
    char text[256] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "christmas-card: X request %d refused: %s\n", error->request_code, text);
    return 0;
}

}  // namespace

LinuxPlatform::LinuxPlatform() = default;
LinuxPlatform::~LinuxPlatform() = default;

bool LinuxPlatform::startUp(runtime::Host& host) {
    host_ = &host;
    wake_ = std::make_unique<WakeSource>([this] {
        host_->onWake();
        present();   // the queue is idle after each wake
    });
    display_ = std::make_unique<XDisplay>();
    if (display_->ok()) {
        startBoxes();
        // Xlib's handlers are the process's, GTK's connection included, and
        // GTK sets its own as it starts: ours come after.
        XSetIOErrorHandler(onDisplayLost);
        XSetErrorHandler(onRequestRefused);
        events_ = std::make_unique<XEventSource>(
            ConnectionNumber(display_->get()), [this] { return XPending(display_->get()) > 0; },
            [this] { onXEvents(); });
    }
    // Without a display the window cannot be made, and that is where the
    // card stops, with its message on standard error.
    return true;
}

int64_t LinuxPlatform::nowMicros() { return g_get_monotonic_time(); }

uint32_t LinuxPlatform::tickCountMillis() { return static_cast<uint32_t>(g_get_monotonic_time() / 1000); }

void* LinuxPlatform::allocate(std::size_t bytes) { return std::malloc(bytes); }

void LinuxPlatform::release(void* block) { std::free(block); }

runtime::Size LinuxPlatform::screenSize() { return {monitor_.width, monitor_.height}; }

bool LinuxPlatform::createMainWindow(const runtime::WindowSpec& spec) {
    if (!display_->ok()) return false;
    spec_ = spec;
    rect_ = spec.design;
    monitor_ = display_->primaryMonitor();
    windowManager_ = display_->windowManagerRuns();
    display_->watchScreen();
    makeWindow(display_->compositing());
    return window_->ok();
}

void LinuxPlatform::makeWindow(bool argb) {
    const runtime::Rect onScreen{monitor_.left + rect_.left, monitor_.top + rect_.top, rect_.width, rect_.height};
    window_.reset();
    window_ = std::make_unique<XWindow>(*display_, spec_, onScreen, argb);
    unshaped_.clear();
    invalid_.push_back({0, 0, viewRect_.width, viewRect_.height});
    if (shown_ && window_->ok()) window_->show(windowManager_);
}

void LinuxPlatform::moveMainWindow(const runtime::Rect& rect) {
    rect_ = rect;
    window_->move({monitor_.left + rect.left, monitor_.top + rect.top, rect.width, rect.height});
    window_->image().resize(rect.width, rect.height);
    invalid_.push_back({0, 0, viewRect_.width, viewRect_.height});
}

void LinuxPlatform::showMainWindow() {
    shown_ = true;
    present();
    window_->show(windowManager_);
}

runtime::Size LinuxPlatform::windowSize() { return {rect_.width, rect_.height}; }

runtime::Size LinuxPlatform::clientSize() { return windowSize(); }   // no border, no menu strip

intptr_t LinuxPlatform::windowHandle() {
    return window_ && !destroyed_ ? static_cast<intptr_t>(window_->id()) : 0;
}

void LinuxPlatform::setSeeThrough(std::optional<uint32_t> colourKey) {
    key_ = colourKey;
    invalid_.push_back({0, 0, viewRect_.width, viewRect_.height});
}

void LinuxPlatform::setViewRect(const runtime::Rect& rect) {
    viewRect_ = rect;
    view_.assign(static_cast<std::size_t>(std::max(0, rect.width)) * std::max(0, rect.height), 0);
    invalid_.clear();
    unshaped_.clear();
}

runtime::Surface LinuxPlatform::viewSurface() {
    return {view_.data(), viewRect_.width, viewRect_.height, viewRect_.width};
}

void LinuxPlatform::invalidateView(const runtime::Rect& area) { invalid_.push_back(area); }

void LinuxPlatform::presentNow() { present(); }

// Copies the invalid parts of the view into the window's image, sets the
// shape over them, and puts them on the window: once per view step.
void LinuxPlatform::present() {
    if (!window_ || destroyed_ || invalid_.empty() || window_->image().busy()) return;
    const runtime::Surface view = viewSurface();
    const runtime::Rect viewArea{0, 0, viewRect_.width, viewRect_.height};
    const runtime::Rect windowArea{0, 0, rect_.width, rect_.height};
    const bool argb = window_->argb();
    std::vector<runtime::Rect> changed;
    for (const runtime::Rect& area : invalid_) {
        const runtime::Rect onWindow = intersect(
            {area.left + viewRect_.left, area.top + viewRect_.top, area.width, area.height}, windowArea);
        const runtime::Rect inView = intersect(
            {onWindow.left - viewRect_.left, onWindow.top - viewRect_.top, onWindow.width, onWindow.height}, viewArea);
        if (inView.empty()) continue;
        for (int y = 0; y < inView.height; ++y) {
            const uint32_t* from = view.pixels + static_cast<std::ptrdiff_t>(inView.top + y) * view.stride + inView.left;
            uint32_t* to = window_->image().row(onWindow.top + y) + onWindow.left;
            if (!argb) {
                std::copy_n(from, inView.width, to);
                continue;
            }
            for (int x = 0; x < inView.width; ++x)
                to[x] = from[x] == key_ ? 0u : 0xFF000000u | from[x];
        }
        changed.push_back({onWindow.left, onWindow.top, inView.width, inView.height});
        unshaped_.push_back(inView);
    }
    invalid_.clear();
    if (changed.empty()) return;
    // Every shape change makes the X server revalidate the window stack.
    // Without a compositor the shape is what shows, so it follows every
    // step; under one it only says where clicks go, and a click may land
    // where a flake was up to kClickShapeSteps steps ago.
    if (!argb || ++stepsUnshaped_ >= kClickShapeSteps) reshape();
    window_->put(changed);
    XFlush(display_->get());
}

void LinuxPlatform::reshape() {
    mergeOverlapping(unshaped_);
    std::vector<runtime::Rect> onWindow, opaque;
    const runtime::Surface view = viewSurface();
    for (const runtime::Rect& r : unshaped_) {
        onWindow.push_back({r.left + viewRect_.left, r.top + viewRect_.top, r.width, r.height});
        appendOpaqueRects(view, r, key_, viewRect_.left, viewRect_.top, opaque);
    }
    window_->reshape(onWindow, opaque);
    unshaped_.clear();
    stepsUnshaped_ = 0;
}

void LinuxPlatform::requestWake(int64_t atMicros) {
    // Wakes land on a 15.625 ms grid, as a stock Windows timer's do: the
    // view asks every 5 ms but steps 64 times a second, so finer wakes
    // would only cost CPU.
    constexpr int64_t kGrid = 15625;
    wake_->wakeAt((atMicros + kGrid - 1) / kGrid * kGrid);
}

void LinuxPlatform::messageBox(const runtime::MessageBoxSpec& box) {
    // A task-modal box keeps keys from the card's window, as on Windows.
    const int modal = box.taskModal ? 1 : 0;
    modalBoxes_ += modal;
    showMessageBox(box);
    modalBoxes_ -= modal;
}

int LinuxPlatform::popupMenu(const std::vector<runtime::MenuEntry>&) {
    // Without a tray icon there is no tray event, so no menu is ever asked for.
    return -1;
}

void LinuxPlatform::playMidi(const runtime::codec::MidiSong& song, int count) { music_.play(song, count); }

void LinuxPlatform::stopMidi() { music_.stop(); }

void LinuxPlatform::runMessageLoop() {
    if (destroyed_) return;
    loop_ = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop_);
    g_main_loop_unref(loop_);
    loop_ = nullptr;
}

void LinuxPlatform::exitProcess(int code) {
    if (display_->ok()) XFlush(display_->get());
    std::fflush(nullptr);
    std::_Exit(code);
}

void LinuxPlatform::onXEvents() {
    Display* d = display_->get();
    while (XPending(d) > 0) {
        XEvent event;
        XNextEvent(d, &event);
        handle(event);
    }
}

void LinuxPlatform::handle(XEvent& event) {
    if (!window_) return;
    if (window_->image().handleEvent(event)) {
        present();   // what waited for the server
        return;
    }
    if (display_->isCompositorChange(event)) {
        if (!destroyed_ && display_->compositing() != window_->argb()) makeWindow(display_->compositing());
        return;
    }
    if (display_->isScreenChange(event)) {
        monitor_ = display_->primaryMonitor();
        if (shown_ && !destroyed_) {
            moveMainWindow({0, 0, monitor_.width, monitor_.height});
            host_->onSizeChanged();
        }
        return;
    }
    if (destroyed_ || event.xany.window != window_->id()) return;
    switch (event.type) {
    case KeyPress:
        if (XkbKeycodeToKeysym(display_->get(), event.xkey.keycode, 0, 0) == XK_Escape && spec_.escapeCloses &&
            modalBoxes_ == 0)
            closeWindow();
        break;
    case ClientMessage:
        if (static_cast<Atom>(event.xclient.data.l[0]) == display_->atom("WM_DELETE_WINDOW") && modalBoxes_ == 0)
            closeWindow();
        break;
    case FocusIn:
        host_->onActivated();
        break;
    case Expose:
        window_->put({{event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height}});
        break;
    default:
        break;
    }
}

void LinuxPlatform::closeWindow() {
    destroyed_ = true;
    window_.reset();
    host_->onWindowDestroyed();
    if (loop_) g_main_loop_quit(loop_);
}

}  // namespace platform::linux_x11
