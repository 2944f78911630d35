#include "platform/linux/x_display.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/Xrandr.h>

#include <string>

namespace platform::linux_x11 {

XDisplay::XDisplay() : display_(XOpenDisplay(nullptr)) {
    if (!display_) return;
    screen_ = DefaultScreen(display_);
    compositorSelection_ = atom(("_NET_WM_CM_S" + std::to_string(screen_)).c_str());
}

XDisplay::~XDisplay() {
    if (display_) XCloseDisplay(display_);
}

runtime::Rect XDisplay::primaryMonitor() const {
    const runtime::Rect whole{0, 0, DisplayWidth(display_, screen_), DisplayHeight(display_, screen_)};
    int eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(display_, &eventBase, &errorBase)) return whole;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display_, root());
    if (!resources) return whole;
    runtime::Rect found = whole;
    bool have = false;
    const RROutput primary = XRRGetOutputPrimary(display_, root());
    for (int i = 0; i < resources->noutput && !have; ++i) {
        const RROutput output = primary ? primary : resources->outputs[i];
        XRROutputInfo* info = XRRGetOutputInfo(display_, resources, output);
        if (info && info->connection == RR_Connected && info->crtc) {
            if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(display_, resources, info->crtc)) {
                if (crtc->width > 0 && crtc->height > 0) {
                    found = {crtc->x, crtc->y, int(crtc->width), int(crtc->height)};
                    have = true;
                }
                XRRFreeCrtcInfo(crtc);
            }
        }
        if (info) XRRFreeOutputInfo(info);
        if (primary && !have) break;   // a primary without a picture: the screen
    }
    XRRFreeScreenResources(resources);
    return found;
}

bool XDisplay::compositing() const { return XGetSelectionOwner(display_, compositorSelection_) != None; }

void XDisplay::watchScreen() {
    int errorBase = 0;
    if (XFixesQueryExtension(display_, &fixesEvent_, &errorBase))
        XFixesSelectSelectionInput(display_, root(), compositorSelection_,
                                   XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
                                       XFixesSelectionClientCloseNotifyMask);
    else
        fixesEvent_ = -1;
    if (XRRQueryExtension(display_, &randrEvent_, &errorBase))
        XRRSelectInput(display_, root(), RRScreenChangeNotifyMask);
    else
        randrEvent_ = -1;
}

bool XDisplay::isCompositorChange(const XEvent& event) const {
    return fixesEvent_ >= 0 && event.type == fixesEvent_ + XFixesSelectionNotify;
}

bool XDisplay::isScreenChange(XEvent& event) const {
    if (randrEvent_ < 0 || event.type != randrEvent_ + RRScreenChangeNotify) return false;
    XRRUpdateConfiguration(&event);
    return true;
}

bool XDisplay::windowManagerRuns() const {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool runs = false;
    if (XGetWindowProperty(display_, root(), atom("_NET_SUPPORTING_WM_CHECK"), 0, 1, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success &&
        data && count == 1)
        runs = *reinterpret_cast<Window*>(data) != None;
    if (data) XFree(data);
    return runs;
}

}  // namespace platform::linux_x11
