#pragma once
// The picture the window shows, in the X server's pixel format, and the
// requests that put changed parts of it on the window: through shared
// memory where the server offers it, plain PutImage where it does not.
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <vector>

#include "runtime/geometry.h"

namespace platform::linux_x11 {

class WindowImage {
public:
    WindowImage(Display* display, Visual* visual, int depth);
    ~WindowImage();
    WindowImage(const WindowImage&) = delete;
    WindowImage& operator=(const WindowImage&) = delete;

    // Contents undefined afterwards.
    void resize(int width, int height);
    uint32_t* row(int y) { return pixels_ + static_cast<std::ptrdiff_t>(y) * width_; }
    // The server may still be reading a shared image: writing into it now
    // would show torn flakes.
    bool busy() const { return busy_; }
    // Puts the rectangles (image coordinates) at the same place on the window.
    void put(Drawable target, GC gc, const std::vector<runtime::Rect>& rects);
    // True if the event was the server's word that it is done with the image.
    bool handleEvent(const XEvent& event);

private:
    void release();

    Display* display_;
    Visual* visual_;
    int depth_;
    int shmCompletion_ = -1;   // event type, or -1 without shared memory
    XImage* image_ = nullptr;
    XShmSegmentInfo segment_{};
    uint32_t* pixels_ = nullptr;
    int width_ = 0, height_ = 0;
    bool busy_ = false;
};

}  // namespace platform::linux_x11
