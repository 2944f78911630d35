#include <gtest/gtest.h>

#include <cmath>

#include "runtime/codec/ico.h"
#include "tests/assets/asset_bytes.h"
#include "tests/assets/flake_geometry.h"

namespace {

using namespace asset_test;
using runtime::codec::decodeIcoImage;
using runtime::codec::IconBitmap;
using runtime::codec::readIco;

uint32_t le(const Bytes& b, std::size_t at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | b.at(at + i);
    return v;
}

TEST(SnowflakeIcon, DirectoryAndBitmapHeader) {
    const Bytes b = committed("snowflake.ico");
    ASSERT_EQ(b.size(), 16958u);
    struct Field { const char* name; std::size_t at; int size; uint32_t value; };
    const Field fields[] = {
        {"reserved", 0, 2, 0},        {"type", 2, 2, 1},           {"count", 4, 2, 1},
        {"width", 6, 1, 64},          {"height", 7, 1, 64},        {"colours", 8, 1, 0},
        {"entry reserved", 9, 1, 0},  {"planes", 10, 2, 0},        {"bit count", 12, 2, 32},
        {"bytes", 14, 4, 16936},      {"offset", 18, 4, 22},       {"header size", 22, 4, 40},
        {"bitmap width", 26, 4, 64},  {"bitmap height", 30, 4, 128}, {"bitmap planes", 34, 2, 1},
        {"bitmap bits", 36, 2, 32},   {"compression", 38, 4, 0},
    };
    for (const Field& f : fields) EXPECT_EQ(le(b, f.at, f.size), f.value) << f.name;
}

class SnowflakeIconImage : public testing::Test {
protected:
    void SetUp() override {
        file = committed("snowflake.ico");
        auto images = readIco(file);
        ASSERT_TRUE(images) << images.reason();
        ASSERT_EQ(images.value().size(), 1u);
        const auto& image = images.value()[0];
        EXPECT_EQ(image.width, 64);
        EXPECT_EQ(image.height, 64);
        EXPECT_EQ(image.bitCount, 32);
        EXPECT_EQ(image.bytes.size(), 16936u);
        auto decoded = decodeIcoImage(image);
        ASSERT_TRUE(decoded) << decoded.reason();
        bitmap = std::move(decoded).value();
        ASSERT_EQ(bitmap.pixels.size(), 64u * 64u);
    }
    int alpha(int x, int y) const { return static_cast<int>(bitmap.pixels[y * 64 + x] >> 24); }
    Bytes file;
    IconBitmap bitmap;
};

TEST_F(SnowflakeIconImage, MaskIsSetExactlyWhereAlphaIsZero) {
    for (std::size_t i = 0; i < bitmap.pixels.size(); ++i)
        ASSERT_EQ(bitmap.mask[i] != 0, (bitmap.pixels[i] >> 24) == 0) << i;
}

TEST_F(SnowflakeIconImage, GreyscaleWithSoftEdges) {
    int soft = 0, solid = 0, clear = 0;
    for (uint32_t p : bitmap.pixels) {
        const uint32_t r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF, a = p >> 24;
        ASSERT_TRUE(r == g && g == b) << std::hex << p;
        if (a == 0) {
            ASSERT_EQ(p, 0u) << "transparent pixels carry no colour";
        }
        soft += a > 0 && a < 255;
        solid += a == 255;
        clear += a == 0;
    }
    EXPECT_GT(soft, 150);
    EXPECT_GT(solid, 600);
    EXPECT_GT(clear, 1500);
    // Silver: light, yet with a darker edge that shows on a light task bar.
    int light = 0, dark = 0;
    for (uint32_t p : bitmap.pixels) {
        if ((p >> 24) < 128) continue;
        light += (p & 0xFF) >= 190;
        dark += (p & 0xFF) <= 140;
    }
    EXPECT_GT(light, 300);
    EXPECT_GT(dark, 100);
}

TEST_F(SnowflakeIconImage, FillsTheSquareWithSixArmsAndAPiercedCentre) {
    EXPECT_GT(std::max(alpha(31, 0), alpha(32, 0)), 100) << "top tip";
    EXPECT_GT(std::max(alpha(31, 63), alpha(32, 63)), 100) << "bottom tip";
    for (int i : {0, 63}) {
        EXPECT_EQ(alpha(i, 0), 0);
        EXPECT_EQ(alpha(i, 63), 0);
    }
    // Holes through the hexagon: the very centre, around it solid metal.
    EXPECT_LT(std::max({alpha(31, 31), alpha(32, 31), alpha(31, 32), alpha(32, 32)}), 128);
    int solidRing = 0, ring = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const double r = std::hypot(x + 0.5 - 32, y + 0.5 - 32);
            if (r > 7.5 && r < 9.5) {
                ++ring;
                solidRing += alpha(x, y) == 255;
            }
        }
    EXPECT_GT(solidRing, ring * 3 / 4);

    Shape shape;
    for (uint32_t p : bitmap.pixels) shape.push_back((p >> 24) >= 128);
    EXPECT_GT(overlap(shape, turned(shape, 64, 60)), 0.85);
    EXPECT_LT(overlap(shape, turned(shape, 64, 30)), 0.6);
}

}  // namespace
