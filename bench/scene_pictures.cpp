#include "bench/scene_pictures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bench {
namespace {

using runtime::codec::Frame;
using runtime::codec::Picture;

constexpr uint32_t kOpaque = 0xFF000000;

// Distance from (x, y) to the segment from the centre to (ex, ey).
double toArm(double x, double y, double cx, double cy, double ex, double ey) {
    const double dx = ex - cx, dy = ey - cy;
    const double t = std::clamp(((x - cx) * dx + (y - cy) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(x - (cx + t * dx), y - (cy + t * dy));
}

}  // namespace

std::shared_ptr<const Picture> flakePicture() {
    constexpr int kSize = 100, kFrames = 6;
    auto p = std::make_shared<Picture>();
    p->width = p->height = kSize;
    const double c = kSize / 2.0;
    for (int f = 0; f < kFrames; ++f) {
        Frame frame{std::vector<uint32_t>(size_t(kSize) * kSize, kOpaque | kColourKey), 100};
        for (int arm = 0; arm < 6; ++arm) {
            const double a = (arm * 60 + f * 18) * std::numbers::pi / 180;
            const double ex = c + 45 * std::sin(a), ey = c - 45 * std::cos(a);
            for (int y = 0; y < kSize; ++y)
                for (int x = 0; x < kSize; ++x) {
                    const double d = toArm(x + 0.5, y + 0.5, c, c, ex, ey);
                    if (d < 5) frame.pixels[size_t(y) * kSize + x] = kOpaque | (d < 3.5 ? 0xFEFEFE : 0xF5F5F5);
                }
        }
        p->frames.push_back(std::move(frame));
    }
    return p;
}

std::shared_ptr<const Picture> cardPicture() {
    constexpr int kWidth = 300, kHeight = 80, kFrames = 3, kRadius = 12;
    auto p = std::make_shared<Picture>();
    p->width = kWidth;
    p->height = kHeight;
    for (int f = 0; f < kFrames; ++f) {
        Frame frame{std::vector<uint32_t>(size_t(kWidth) * kHeight, 0), 500};
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                // Rounded corners stay see-through (alpha 0).
                const int dx = std::max({kRadius - x, x - (kWidth - 1 - kRadius), 0});
                const int dy = std::max({kRadius - y, y - (kHeight - 1 - kRadius), 0});
                if (dx * dx + dy * dy > kRadius * kRadius) continue;
                uint32_t rgb = (x / 6 + y / 6) % 2 ? 0xB01020 : 0x208040;
                // Every tenth stripe is the colour key: see-through as well.
                if (x % 30 == 0) rgb = kColourKey;
                // The lights: a strip whose lit bulb moves from frame to frame.
                if (y >= 38 && y < 58 && x >= 184 && x < 228)
                    rgb = (x - 184) / 4 % kFrames == f ? 0xFFE040 : 0x402000;
                frame.pixels[size_t(y) * kWidth + x] = kOpaque | rgb;
            }
        p->frames.push_back(std::move(frame));
    }
    return p;
}

}  // namespace bench
