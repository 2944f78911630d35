#pragma once
// The X connection and what the card asks of the screen: the primary
// monitor, whether a compositor runs, whether a window manager does.
#include <X11/Xlib.h>

#include <string>

#include "runtime/geometry.h"

namespace platform::linux_x11 {

class XDisplay {
public:
    // nullptr-like (ok() false) when no display can be opened.
    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool ok() const { return display_ != nullptr; }
    Display* get() const { return display_; }
    int screen() const { return screen_; }
    Window root() const { return RootWindow(display_, screen_); }
    Atom atom(const char* name) const { return XInternAtom(display_, name, False); }

    // RandR's primary output, else the first active one, else the screen.
    runtime::Rect primaryMonitor() const;
    // The owner of _NET_WM_CM_S<screen>: a compositor draws the desktop.
    bool compositing() const;
    // Asks for the events that tell when a compositor comes or goes and
    // when the screen's outputs change; the event bases to match them by.
    void watchScreen();
    bool isCompositorChange(const XEvent& event) const;
    bool isScreenChange(XEvent& event) const;
    bool windowManagerRuns() const;

private:
    Display* display_ = nullptr;
    int screen_ = 0;
    Atom compositorSelection_ = None;
    int fixesEvent_ = -1;
    int randrEvent_ = -1;
};

}  // namespace platform::linux_x11
