#include <algorithm>
#include <cmath>

#include "tools/assetgen/canvas.h"
#include "tools/assetgen/generators.h"
#include "tools/assetgen/snowflake_shape.h"

namespace assetgen {
namespace {

constexpr int kSize = 64;
constexpr std::size_t kHeaderSize = 40;
constexpr std::size_t kPixelBytes = kSize * kSize * 4;
constexpr std::size_t kMaskBytes = kSize * kSize / 8;
constexpr std::size_t kImageBytes = kHeaderSize + kPixelBytes + kMaskBytes;
constexpr std::size_t kImageOffset = 6 + 16;

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

uint8_t toByte(double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); }

// Silver, lit from the top left with a bright streak across it, and a
// darker band along the outer edge so that the flake reads on light and
// dark task bars alike. The holes through the centre are left plain.
Canvas drawIcon() {
    FlakeStyle style{.armWidth = 0.16, .branchWidth = 0.13, .hexagonRadius = 0.34, .holes = false};
    const Mask whole = snowflakeMask(kSize, 0, style);
    style.holes = true;
    const Mask pierced = snowflakeMask(kSize, 0, style);
    Mask inner = whole.shrunk(0.9);
    inner.intersect(pierced);

    Canvas canvas(kSize, kSize);
    canvas.paint(pierced, Colour{118, 118, 118});
    const Paint silver = [](Point p) {
        const double t = std::clamp((p.x + p.y) / (2.0 * kSize), 0.0, 1.0);
        const double streak = std::exp(-std::pow((p.x - p.y + 6) / 12.0, 2)) * 22;
        const double v = 244 - 90 * t + streak;
        return Colour{v, v, v};
    };
    canvas.paint(inner, silver);
    return canvas;
}

}  // namespace

std::vector<uint8_t> makeSnowflakeIcon() {
    const Canvas canvas = drawIcon();
    std::vector<uint8_t> out;
    put16(out, 0);  // reserved
    put16(out, 1);  // icon
    put16(out, 1);  // one image
    out.insert(out.end(), {kSize, kSize, 0, 0});
    put16(out, 0);  // planes
    put16(out, 32);
    put32(out, kImageBytes);
    put32(out, kImageOffset);

    put32(out, kHeaderSize);
    put32(out, kSize);
    put32(out, 2 * kSize);  // colour rows and mask rows
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);  // no compression
    put32(out, kPixelBytes + kMaskBytes);
    for (int i = 0; i < 4; ++i) put32(out, 0);

    std::vector<uint8_t> mask;
    for (int y = kSize - 1; y >= 0; --y) {  // bottom row first
        uint8_t bits = 0;
        for (int x = 0; x < kSize; ++x) {
            const Canvas::Pixel& p = canvas.at(x, y);
            const uint8_t alpha = toByte(p.alpha * 255);
            const uint8_t grey = alpha ? toByte(p.colour.r / p.alpha) : 0;
            out.insert(out.end(), {grey, grey, grey, alpha});
            bits = static_cast<uint8_t>(bits << 1 | (alpha == 0 ? 1 : 0));
            if (x % 8 == 7) {
                mask.push_back(bits);
                bits = 0;
            }
        }
    }
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

}  // namespace assetgen
