#pragma once
// The card's X window: top-most, undecorated, on every workspace, without a
// taskbar entry. With a compositor it has 32-bit ARGB pixels; without one,
// 24-bit pixels and an X Shape bounding region. Either way its input shape
// takes clicks only where it is opaque.
#include <X11/Xlib.h>

#include <memory>
#include <vector>

#include "platform/linux/window_image.h"
#include "platform/linux/x_display.h"
#include "runtime/geometry.h"
#include "runtime/window_spec.h"

namespace platform::linux_x11 {

class XWindow {
public:
    XWindow(XDisplay& display, const runtime::WindowSpec& spec, const runtime::Rect& rect, bool argb);
    ~XWindow();
    XWindow(const XWindow&) = delete;
    XWindow& operator=(const XWindow&) = delete;

    bool ok() const { return window_ != None; }
    Window id() const { return window_; }
    bool argb() const { return argb_; }
    WindowImage& image() { return *image_; }

    void move(const runtime::Rect& rect);
    void show(bool windowManagerRuns);
    void focus(bool windowManagerRuns);
    // Puts image parts on the window (window coordinates).
    void put(const std::vector<runtime::Rect>& rects);
    // Within `changed`, the window is now opaque exactly on `opaque`.
    void reshape(const std::vector<runtime::Rect>& changed, const std::vector<runtime::Rect>& opaque);

private:
    int shapeKind() const;

    XDisplay& display_;
    bool argb_;
    Window window_ = None;
    Colormap colormap_ = None;
    GC gc_ = nullptr;
    std::unique_ptr<WindowImage> image_;
};

}  // namespace platform::linux_x11
