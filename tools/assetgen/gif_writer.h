#pragma once
#include <cstdint>
#include <vector>

namespace assetgen {

struct GifFrame {
    std::vector<uint8_t> indices;  // full logical screen, row by row
    int delayCs = 0;
    int disposal = 0;              // 1 keep, 2 restore to background
    int transparentIndex = -1;     // -1: no transparency
};

// A GIF89a file: global table (2..256 entries, a power of two), the
// NETSCAPE loop-forever block, then each frame full-size at (0, 0) with its
// graphic control block.
std::vector<uint8_t> writeGif(int width, int height, const std::vector<uint32_t>& table,
                              int backgroundIndex, const std::vector<GifFrame>& frames);

}  // namespace assetgen
