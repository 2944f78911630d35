#pragma once
#include <cstdint>

namespace runtime {

// The view's back buffer: 32-bit 0x00RRGGBB pixels, rows of `stride`
// pixels, top row first. The back-end owns it; the view composes into it.
struct Surface {
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

}  // namespace runtime
