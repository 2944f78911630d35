#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "runtime/codec/gif.h"
#include "tests/assets/asset_bytes.h"
#include "tests/assets/flake_geometry.h"

namespace {

using namespace asset_test;
using runtime::codec::decodeGif;
using runtime::codec::Picture;

constexpr int kSize = 100;
constexpr uint32_t kBackground = 0xFFF0F0F0;  // the window's colour key, opaque
constexpr uint32_t kWhite = 0xFFFEFEFE;

class SnowflakeGif : public testing::Test {
protected:
    void SetUp() override {
        bytes = committed("snowflake.gif");
        ASSERT_FALSE(bytes.empty());
        auto decoded = decodeGif(bytes);
        ASSERT_TRUE(decoded) << decoded.reason();
        picture = std::move(decoded).value();
        ASSERT_EQ(picture.frames.size(), 6u);
    }
    Shape flake(int frame) const {
        Shape s;
        for (uint32_t p : picture.frames[frame].pixels) s.push_back(p != kBackground);
        return s;
    }
    Bytes bytes;
    Picture picture;
};

TEST_F(SnowflakeGif, FileLayout) {
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
    const GifLayout g = gifLayout(bytes);
    EXPECT_TRUE(g.complete);
    EXPECT_EQ(g.width, kSize);
    EXPECT_EQ(g.height, kSize);
    EXPECT_EQ(g.globalTableEntries, 4);
    EXPECT_EQ(g.backgroundIndex, 0);
    const uint32_t table[] = {0xF0F0F0, 0xF5F5F5, 0xF9F9F9, 0xFEFEFE};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(tableEntry(bytes, i), table[i]) << i;
    ASSERT_EQ(g.images.size(), 6u);
    ASSERT_EQ(g.controls.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(g.controls[i].delayCs, 10);
        EXPECT_EQ(g.controls[i].packed & 1, 0) << "no transparency flag";
        EXPECT_EQ(g.images[i].left, 0);
        EXPECT_EQ(g.images[i].top, 0);
        EXPECT_EQ(g.images[i].width, kSize);
        EXPECT_EQ(g.images[i].height, kSize);
        EXPECT_EQ(g.images[i].packed & 0x80, 0) << "no local table";
    }
}

TEST_F(SnowflakeGif, DecodesToSixOpaqueFramesOfTheFourColours) {
    EXPECT_EQ(picture.width, kSize);
    EXPECT_EQ(picture.height, kSize);
    EXPECT_FALSE(picture.transparentColor);
    for (const auto& frame : picture.frames) {
        EXPECT_EQ(frame.delayMs, 100);
        for (uint32_t p : frame.pixels)
            ASSERT_TRUE(p == kBackground || p == 0xFFF5F5F5 || p == 0xFFF9F9F9 || p == kWhite) << std::hex << p;
    }
}

// Everything outside the flake's circle is background, exactly the colour
// key; a background one step off would show as a pale square on screen.
TEST_F(SnowflakeGif, BackgroundIsExactlyTheColourKey) {
    for (int f = 0; f < 6; ++f)
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (std::hypot(x + 0.5 - 50, y + 0.5 - 50) > 50.5) {
                    ASSERT_EQ(picture.frames[f].pixels[y * kSize + x], kBackground) << f << ": " << x << "," << y;
                }
}

// White flake, its edges in the two middle greys: a grey pixel lies between
// the flake and the background.
TEST_F(SnowflakeGif, GreysOnlyAtTheEdges) {
    for (int f = 0; f < 6; ++f) {
        const auto& px = picture.frames[f].pixels;
        int white = 0;
        for (int y = 1; y < kSize - 1; ++y)
            for (int x = 1; x < kSize - 1; ++x) {
                const uint32_t p = px[y * kSize + x];
                white += p == kWhite;
                if (p == kBackground || p == kWhite) continue;
                bool brighter = false, darker = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const uint32_t n = px[(y + dy) * kSize + x + dx];
                        brighter = brighter || n > p;
                        darker = darker || n < p;
                    }
                EXPECT_TRUE(brighter && darker) << f << ": " << x << "," << y;
            }
        EXPECT_GT(white, 1200) << f;
    }
}

TEST_F(SnowflakeGif, SolidCentreAndArmTipsOnTheEdges) {
    for (int f = 0; f < 6; ++f) {
        const auto& px = picture.frames[f].pixels;
        for (int y = 41; y < 59; ++y)
            for (int x = 41; x < 59; ++x)
                if (std::hypot(x + 0.5 - 50, y + 0.5 - 50) < 9) {
                    EXPECT_EQ(px[y * kSize + x], kWhite) << f;
                }
        // Six tips, each reaching the circle the edges touch.
        for (int arm = 0; arm < 6; ++arm) {
            const double a = (arm * 60 + f * 18) * 3.14159265358979323846 / 180;
            const int x = static_cast<int>(50 + 48.5 * std::sin(a)), y = static_cast<int>(50 - 48.5 * std::cos(a));
            EXPECT_NE(px[y * kSize + x], kBackground) << "frame " << f << " arm " << arm;
        }
    }
    const auto& first = picture.frames[0].pixels;
    EXPECT_TRUE(first[49] != kBackground || first[50] != kBackground) << "top row";
    EXPECT_TRUE(first[99 * kSize + 49] != kBackground || first[99 * kSize + 50] != kBackground) << "bottom row";
}

TEST_F(SnowflakeGif, SixFoldFlake) {
    for (int f = 0; f < 6; ++f) EXPECT_GT(overlap(flake(f), turned(flake(f), kSize, 60)), 0.9) << f;
    // Not just a disc: half-way between arms it looks different.
    EXPECT_LT(overlap(flake(0), turned(flake(0), kSize, 30)), 0.6);
}

// Frame k is frame 0 turned 18·k degrees clockwise, not anticlockwise and
// not by another step.
TEST_F(SnowflakeGif, EachFrameTurnsEighteenDegreesClockwise) {
    const Shape first = flake(0);
    for (int k = 1; k < 6; ++k) {
        SCOPED_TRACE(k);
        const double right = overlap(flake(k), turned(first, kSize, 18.0 * k));
        EXPECT_GT(right, 0.9);
        EXPECT_GT(right, overlap(flake(k), turned(first, kSize, 18.0 * k - 9)) + 0.1);
        EXPECT_GT(right, overlap(flake(k), turned(first, kSize, 18.0 * k + 9)) + 0.1);
        if (k % 5 != 0) {
            EXPECT_GT(right, overlap(flake(k), turned(first, kSize, -18.0 * k)) + 0.1);
        }
    }
}

}  // namespace
