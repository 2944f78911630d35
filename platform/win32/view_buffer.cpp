#include "platform/win32/view_buffer.h"

#include <algorithm>

namespace platform::win32 {

ViewBuffer::~ViewBuffer() { clear(); }

void ViewBuffer::resize(int width, int height, uint32_t fill) {
    if (width == width_ && height == height_ && pixels_) return;
    clear();
    if (width <= 0 || height <= 0) return;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    if (!bitmap_ || !dc_) {
        clear();
        return;
    }
    previous_ = SelectObject(dc_, bitmap_);
    pixels_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    // A fresh buffer would show black until the view has composed it.
    std::fill_n(pixels_, static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
}

runtime::Surface ViewBuffer::surface() const {
    return {pixels_, width_, height_, width_};
}

void ViewBuffer::clear() {
    if (dc_ && previous_) SelectObject(dc_, previous_);
    if (dc_) DeleteDC(dc_);
    if (bitmap_) DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    previous_ = nullptr;
    pixels_ = nullptr;
    width_ = height_ = 0;
}

}  // namespace platform::win32
