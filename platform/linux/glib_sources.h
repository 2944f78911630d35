#pragma once
// The back-end's loop is GLib's, so that GTK's modal dialogs keep running
// our wakes and our X events: both sources may recurse into a nested loop.
#include <glib.h>

#include <cstdint>
#include <functional>

namespace platform::linux_x11 {

// One wake at a time, at a time on GLib's monotonic clock (microseconds),
// never early.
class WakeSource {
public:
    explicit WakeSource(std::function<void()> onWake);
    ~WakeSource();
    WakeSource(const WakeSource&) = delete;
    WakeSource& operator=(const WakeSource&) = delete;
    void wakeAt(int64_t monotonicUs);

private:
    GSource* source_;
};

// Dispatches whenever the connection has input or Xlib holds queued events.
class XEventSource {
public:
    XEventSource(int fd, std::function<bool()> pending, std::function<void()> dispatch);
    ~XEventSource();
    XEventSource(const XEventSource&) = delete;
    XEventSource& operator=(const XEventSource&) = delete;

private:
    GSource* source_;
};

}  // namespace platform::linux_x11
