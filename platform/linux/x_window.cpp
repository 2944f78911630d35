#include "platform/linux/x_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <ctime>

namespace platform::linux_x11 {
namespace {

std::vector<XRectangle> toX(const std::vector<runtime::Rect>& rects) {
    std::vector<XRectangle> out;
    out.reserve(rects.size());
    for (const runtime::Rect& r : rects)
        out.push_back({short(r.left), short(r.top), static_cast<unsigned short>(r.width),
                       static_cast<unsigned short>(r.height)});
    return out;
}

void setAtoms(XDisplay& d, Window w, const char* property, const std::vector<const char*>& names) {
    std::vector<Atom> atoms;
    for (const char* name : names) atoms.push_back(d.atom(name));
    XChangeProperty(d.get(), w, d.atom(property), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(atoms.data()), int(atoms.size()));
}

}  // namespace

XWindow::XWindow(XDisplay& display, const runtime::WindowSpec& spec, const runtime::Rect& rect, bool argb)
    : display_(display), argb_(argb) {
    Display* d = display.get();
    Visual* visual = DefaultVisual(d, display.screen());
    int depth = DefaultDepth(d, display.screen());
    XSetWindowAttributes attributes{};
    unsigned long mask = CWEventMask | CWBorderPixel;
    XVisualInfo info{};
    if (argb_ && XMatchVisualInfo(d, display.screen(), 32, TrueColor, &info)) {
        visual = info.visual;
        depth = 32;
        colormap_ = XCreateColormap(d, display.root(), visual, AllocNone);
        attributes.colormap = colormap_;
        attributes.background_pixel = 0;   // fully transparent until drawn
        mask |= CWColormap | CWBackPixel;
    } else {
        argb_ = false;
        attributes.background_pixmap = None;
        mask |= CWBackPixmap;
    }
    attributes.border_pixel = 0;
    attributes.event_mask = KeyPressMask | StructureNotifyMask | FocusChangeMask | ExposureMask;
    window_ = XCreateWindow(d, display.root(), rect.left, rect.top, unsigned(std::max(1, rect.width)),
                            unsigned(std::max(1, rect.height)), 0, depth, InputOutput, visual, mask, &attributes);
    if (!window_) return;

    XClassHint classHint{const_cast<char*>("christmas-card"), const_cast<char*>("christmas-card")};
    XSetClassHint(d, window_, &classHint);
    XStoreName(d, window_, spec.caption.c_str());
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = True;
    XSetWMHints(d, window_, &hints);
    Atom deleteWindow = display.atom("WM_DELETE_WINDOW");
    XSetWMProtocols(d, window_, &deleteWindow, 1);
    // No decorations (Motif hints: flags = decorations, decorations = 0).
    const long motif[5] = {2, 0, 0, 0, 0};
    XChangeProperty(d, window_, display.atom("_MOTIF_WM_HINTS"), display.atom("_MOTIF_WM_HINTS"), 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(motif), 5);
    setAtoms(display, window_, "_NET_WM_WINDOW_TYPE", {"_NET_WM_WINDOW_TYPE_NORMAL"});
    std::vector<const char*> states = {"_NET_WM_STATE_STICKY"};
    if (spec.topmost) states.push_back("_NET_WM_STATE_ABOVE");
    if (spec.noTaskbarButton) states.insert(states.end(), {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"});
    setAtoms(display, window_, "_NET_WM_STATE", states);
    const long everyDesktop = 0xFFFFFFFF;
    XChangeProperty(d, window_, display.atom("_NET_WM_DESKTOP"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&everyDesktop), 1);
    // Placed where asked, even by a window manager that places by itself.
    XSizeHints size{};
    size.flags = PPosition | USPosition | PSize;
    size.x = rect.left;
    size.y = rect.top;
    size.width = rect.width;
    size.height = rect.height;
    XSetWMNormalHints(d, window_, &size);

    // Nothing is drawn yet: nothing is shown and nothing takes a click.
    XShapeCombineRectangles(d, window_, shapeKind(), 0, 0, nullptr, 0, ShapeSet, Unsorted);

    gc_ = XCreateGC(d, window_, 0, nullptr);
    image_ = std::make_unique<WindowImage>(d, visual, depth);
    image_->resize(rect.width, rect.height);
}

XWindow::~XWindow() {
    Display* d = display_.get();
    image_.reset();
    if (gc_) XFreeGC(d, gc_);
    if (window_) XDestroyWindow(d, window_);
    if (colormap_) XFreeColormap(d, colormap_);
    XFlush(d);
}

void XWindow::move(const runtime::Rect& rect) {
    XMoveResizeWindow(display_.get(), window_, rect.left, rect.top, unsigned(std::max(1, rect.width)),
                      unsigned(std::max(1, rect.height)));
}

void XWindow::show(bool windowManagerRuns) {
    XMapRaised(display_.get(), window_);
    focus(windowManagerRuns);
}

void XWindow::focus(bool windowManagerRuns) {
    Display* d = display_.get();
    if (windowManagerRuns) {
        // Ask the window manager, as a pager would (source 2).
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = window_;
        e.xclient.message_type = display_.atom("_NET_ACTIVE_WINDOW");
        e.xclient.format = 32;
        e.xclient.data.l[0] = 2;
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, display_.root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    } else {
        // No one else gives the focus: wait until the window is viewable.
        XWindowAttributes a{};
        for (int i = 0; i < 200 && XGetWindowAttributes(d, window_, &a) && a.map_state != IsViewable; ++i) {
            XSync(d, False);
            struct timespec pause{0, 5'000'000};
            nanosleep(&pause, nullptr);
        }
        XSetInputFocus(d, window_, RevertToParent, CurrentTime);
    }
    XFlush(d);
}

void XWindow::put(const std::vector<runtime::Rect>& rects) { image_->put(window_, gc_, rects); }

int XWindow::shapeKind() const {
    // Under a compositor alpha decides what shows and the input shape only
    // where clicks go; without one the bounding shape decides both, since
    // an input shape never set follows it.
    return argb_ ? ShapeInput : ShapeBounding;
}

void XWindow::reshape(const std::vector<runtime::Rect>& changed, const std::vector<runtime::Rect>& opaque) {
    Display* d = display_.get();
    std::vector<XRectangle> out = toX(changed), in = toX(opaque);
    XShapeCombineRectangles(d, window_, shapeKind(), 0, 0, out.data(), int(out.size()), ShapeSubtract, Unsorted);
    if (!in.empty())
        XShapeCombineRectangles(d, window_, shapeKind(), 0, 0, in.data(), int(in.size()), ShapeUnion, Unsorted);
}

}  // namespace platform::linux_x11
