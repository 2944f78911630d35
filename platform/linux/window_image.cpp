#include "platform/linux/window_image.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>

namespace platform::linux_x11 {
namespace {

bool attachFailed = false;
int noteAttachFailure(Display*, XErrorEvent*) {
    attachFailed = true;
    return 0;
}

}  // namespace

WindowImage::WindowImage(Display* display, Visual* visual, int depth)
    : display_(display), visual_(visual), depth_(depth) {
    // A remote server cannot see our memory: ask first, and trust the
    // attach only once it has been seen to work.
    if (XShmQueryExtension(display_))
        shmCompletion_ = XShmGetEventBase(display_) + ShmCompletion;
}

WindowImage::~WindowImage() { release(); }

void WindowImage::release() {
    if (!image_) return;
    if (segment_.shmaddr) {
        XShmDetach(display_, &segment_);
        XSync(display_, False);
        shmdt(segment_.shmaddr);
        segment_ = {};
    } else {
        std::free(image_->data);
    }
    image_->data = nullptr;
    XDestroyImage(image_);
    image_ = nullptr;
    pixels_ = nullptr;
    busy_ = false;
}

void WindowImage::resize(int width, int height) {
    release();
    width_ = std::max(1, width);
    height_ = std::max(1, height);
    const std::size_t bytes = static_cast<std::size_t>(width_) * height_ * 4;
    if (shmCompletion_ >= 0) {
        image_ = XShmCreateImage(display_, visual_, depth_, ZPixmap, nullptr, &segment_, width_, height_);
        const int id = image_ ? shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600) : -1;
        if (id >= 0) {
            segment_.shmid = id;
            segment_.shmaddr = image_->data = static_cast<char*>(shmat(id, nullptr, 0));
            segment_.readOnly = False;
            attachFailed = false;
            auto previous = XSetErrorHandler(noteAttachFailure);
            XShmAttach(display_, &segment_);
            XSync(display_, False);
            XSetErrorHandler(previous);
            shmctl(id, IPC_RMID, nullptr);   // freed once both sides detach
            if (!attachFailed) {
                pixels_ = reinterpret_cast<uint32_t*>(image_->data);
                return;
            }
            shmdt(segment_.shmaddr);
            segment_ = {};
        }
        if (image_) {
            image_->data = nullptr;
            XDestroyImage(image_);
            image_ = nullptr;
        }
        shmCompletion_ = -1;   // plain requests from now on
    }
    auto* data = static_cast<char*>(std::calloc(bytes, 1));
    image_ = XCreateImage(display_, visual_, depth_, ZPixmap, 0, data, width_, height_, 32, width_ * 4);
    pixels_ = reinterpret_cast<uint32_t*>(data);
}

void WindowImage::put(Drawable target, GC gc, const std::vector<runtime::Rect>& rects) {
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const runtime::Rect& r = rects[i];
        if (segment_.shmaddr) {
            const bool last = i + 1 == rects.size();
            XShmPutImage(display_, target, gc, image_, r.left, r.top, r.left, r.top, r.width, r.height, last);
            busy_ = busy_ || last;
        } else {
            XPutImage(display_, target, gc, image_, r.left, r.top, r.left, r.top, r.width, r.height);
        }
    }
}

bool WindowImage::handleEvent(const XEvent& event) {
    if (shmCompletion_ < 0 || event.type != shmCompletion_) return false;
    busy_ = false;
    return true;
}

}  // namespace platform::linux_x11
