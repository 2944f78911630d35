#include <cmath>

#include "tools/assetgen/generators.h"
#include "tools/assetgen/gif_writer.h"
#include "tools/assetgen/snowflake_shape.h"

namespace assetgen {
namespace {

constexpr int kSize = 100;
constexpr int kFrames = 6;
constexpr double kDegreesPerFrame = 18;
constexpr int kDelayCs = 10;

// Background (the window's colour key), two greys for the edges, white.
const std::vector<uint32_t> kTable = {0xF0F0F0, 0xF5F5F5, 0xF9F9F9, 0xFEFEFE};

// The entry whose brightness, between background and white, is nearest
// to the coverage; an empty pixel is exactly the background.
uint8_t entryFor(double coverage) {
    constexpr double kLevels[] = {0, 5.0 / 14, 9.0 / 14, 1};
    uint8_t best = 0;
    for (uint8_t i = 1; i < 4; ++i)
        if (std::abs(coverage - kLevels[i]) < std::abs(coverage - kLevels[best])) best = i;
    return best;
}

}  // namespace

std::vector<uint8_t> makeSnowflakeGif() {
    const FlakeStyle style{.armWidth = 0.11, .branchWidth = 0.085, .hexagonRadius = 0.25, .holes = false};
    std::vector<GifFrame> frames;
    for (int k = 0; k < kFrames; ++k) {
        const Mask flake = snowflakeMask(kSize, k * kDegreesPerFrame, style);
        GifFrame frame{.indices = {}, .delayCs = kDelayCs, .disposal = 1};
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) frame.indices.push_back(entryFor(flake.coverage(x, y)));
        frames.push_back(std::move(frame));
    }
    return writeGif(kSize, kSize, kTable, 0, frames);
}

}  // namespace assetgen
