#pragma once
// The view's back buffer: a top-down 32-bit DIB section selected into a
// memory DC, so the view composes straight into it and WM_PAINT blits from it.
#include <cstdint>

#include <windows.h>

#include "runtime/platform.h"

namespace platform::win32 {

class ViewBuffer {
public:
    ViewBuffer() = default;
    ViewBuffer(const ViewBuffer&) = delete;
    ViewBuffer& operator=(const ViewBuffer&) = delete;
    ~ViewBuffer();

    // Makes the buffer width x height, filled with `fill` (0xRRGGBB) when it
    // is new; an unchanged size keeps it. On failure the buffer is empty.
    void resize(int width, int height, uint32_t fill);

    runtime::Surface surface() const;
    HDC dc() const { return dc_; }

private:
    void clear();

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace platform::win32
