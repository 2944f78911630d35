#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "runtime/codec/gif.h"
#include "tests/assets/asset_bytes.h"
#include "tools/assetgen/card_layout.h"

namespace {

using namespace asset_test;
using runtime::codec::decodeGif;
using runtime::codec::Picture;
namespace card = assetgen::card;

constexpr int kWidth = 300, kHeight = 80;

class CardGif : public testing::Test {
protected:
    void SetUp() override {
        bytes = committed("card.gif");
        ASSERT_FALSE(bytes.empty());
        auto decoded = decodeGif(bytes);
        ASSERT_TRUE(decoded) << decoded.reason();
        picture = std::move(decoded).value();
        ASSERT_EQ(picture.frames.size(), 3u);
    }
    Bytes bytes;
    Picture picture;
};

bool inLights(int x, int y) {
    const auto& a = card::kLightsArea;
    return x >= a.left && x < a.left + a.width && y >= a.top && y < a.top + a.height;
}

TEST_F(CardGif, FileLayout) {
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
    const GifLayout g = gifLayout(bytes);
    EXPECT_TRUE(g.complete);
    EXPECT_EQ(g.width, kWidth);
    EXPECT_EQ(g.height, kHeight);
    EXPECT_EQ(g.globalTableEntries, 256);
    ASSERT_EQ(g.images.size(), 3u);
    ASSERT_EQ(g.controls.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(g.controls[i].delayCs, 50);
        EXPECT_EQ(g.controls[i].packed & 1, 1) << "transparency on";
        EXPECT_EQ(g.controls[i].transparentIndex, 254);
        EXPECT_EQ(g.images[i].left, 0);
        EXPECT_EQ(g.images[i].top, 0);
        EXPECT_EQ(g.images[i].width, kWidth);
        EXPECT_EQ(g.images[i].height, kHeight);
        EXPECT_EQ(g.images[i].packed & 0x80, 0) << "no local table";
    }
    EXPECT_EQ(tableEntry(bytes, 254), 0x000000u);
}

// The transparent entry is the only black one, and no entry is the
// window's colour key: either would make part of the card vanish.
TEST_F(CardGif, OnlyTheTransparentEntryIsBlackAndNoneIsTheColourKey) {
    for (int i = 0; i < 256; ++i) {
        if (i == 254) continue;
        EXPECT_NE(tableEntry(bytes, i), 0x000000u) << i;
        EXPECT_NE(tableEntry(bytes, i), card::kColourKey) << i;
    }
    ASSERT_TRUE(picture.transparentColor);
    EXPECT_EQ(*picture.transparentColor, 0x000000u);
    for (const auto& frame : picture.frames) {
        EXPECT_EQ(frame.delayMs, 500);
        for (uint32_t p : frame.pixels) {
            if ((p >> 24) == 0) continue;
            ASSERT_NE(p & 0xFFFFFF, 0x000000u);
            ASSERT_NE(p & 0xFFFFFF, card::kColourKey);
        }
    }
}

TEST_F(CardGif, FramesDifferOnlyInTheLights) {
    for (int f = 1; f < 3; ++f) {
        int changed = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const bool same = picture.frames[f].pixels[y * kWidth + x] == picture.frames[0].pixels[y * kWidth + x];
                if (!inLights(x, y)) {
                    ASSERT_TRUE(same) << "frame " << f << " at " << x << "," << y;
                }
                changed += !same;
            }
        EXPECT_GT(changed, 20) << "frame " << f << " twinkles";
    }
    for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b) EXPECT_NE(picture.frames[a].pixels, picture.frames[b].pixels);
}

// What the card shows, roughly counted by colour: the pale-blue lettering,
// its white rim, the red and orange baubles, the greens of the tree, bauble
// and holly, the gold of bell and star, and the dark bird.
TEST_F(CardGif, ShowsTheLetteringAndItsDecorations) {
    struct Kind {
        const char* name;
        std::function<bool(int r, int g, int b)> is;
        int atLeast;
    };
    const Kind kinds[] = {
        {"pale blue", [](int r, int g, int b) { return b > 200 && b > r + 15 && g > 160; }, 2000},
        {"white rim", [](int r, int g, int b) { return r > 245 && g > 245 && b > 245; }, 1500},
        {"red", [](int r, int g, int b) { return r > 170 && g < 80 && b < 90; }, 40},
        {"orange", [](int r, int g, int b) { return r > 200 && g > 90 && g < 170 && b < 60; }, 10},
        {"green", [](int r, int g, int b) { return g > r + 40 && g > b + 20; }, 100},
        {"gold", [](int r, int g, int b) { return r > 200 && g > 150 && b < 120; }, 60},
        {"dark", [](int r, int g, int b) { return r < 80 && g < 80 && b < 90; }, 30},
    };
    int visible = 0;
    for (uint32_t p : picture.frames[0].pixels) visible += (p >> 24) != 0;
    EXPECT_GT(visible, kWidth * kHeight / 6);
    EXPECT_LT(visible, kWidth * kHeight / 2);
    for (const Kind& k : kinds) {
        int count = 0;
        for (uint32_t p : picture.frames[0].pixels)
            if (p >> 24) count += k.is(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
        EXPECT_GE(count, k.atLeast) << k.name;
    }
}

// Every corner of the picture is see-through: the card is a cut-out.
TEST_F(CardGif, CornersAreSeeThrough) {
    for (const auto& frame : picture.frames)
        for (int i : {0, kWidth - 1, (kHeight - 1) * kWidth, kHeight * kWidth - 1}) EXPECT_EQ(frame.pixels[i] >> 24, 0u);
}

}  // namespace
