#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace runtime::codec {

// One fully composed frame of a picture, the size of its logical screen.
// Pixels are 0xAARRGGBB; alpha is either 0 (the picture marks the pixel
// transparent) or 255.
struct Frame {
    std::vector<uint32_t> pixels;
    int delayMs = 0;  // the picture's own delay; 0 when it gives none
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Frame> frames;
    // Colour (0xRRGGBB) of the transparent entry, when the picture has one:
    // every pixel of that colour is marked transparent, whatever its index.
    std::optional<uint32_t> transparentColor;
};

}  // namespace runtime::codec
