#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <vector>

#include "runtime/codec/gif.h"
#include "tests/codec/gif_builder.h"
#include "tests/codec/test_files.h"

namespace {

using codec_test::GifBuilder;
using codec_test::readFixture;
using runtime::codec::decodeGif;
using runtime::codec::Picture;

constexpr uint32_t kOpaque = 0xFF000000u;

uint32_t at(const Picture& p, int frame, int x, int y) {
    return p.frames.at(static_cast<std::size_t>(frame)).pixels.at(static_cast<std::size_t>(y * p.width + x));
}

// The fixtures were made with ImageMagick from these patterns.
uint32_t interlacedColour(int x, int y) {
    const int i = (y * 7 + x / 4) % 16;
    return uint32_t((i * 53) % 256) << 16 | uint32_t((i * 97 + 40) % 256) << 8 | uint32_t((255 - i * 16) % 256);
}

std::vector<uint32_t> noisePattern() {
    std::vector<uint32_t> pixels;
    uint32_t state = 1;
    for (int i = 0; i < 64 * 64; ++i) {
        state = state * 1103515245u + 12345u;
        const uint32_t k = (state >> 16) & 0xFF;
        pixels.push_back(kOpaque | k << 16 | ((k * 37) & 0xFF) << 8 | (255 - k));
    }
    return pixels;
}

TEST(GifFixtures, InterlacedRowsLandInPlace) {
    const auto bytes = readFixture("interlaced.gif");
    ASSERT_TRUE(bytes.size() > 11 && (bytes[10] & 0x80));  // sanity: the fixture is there
    auto picture = decodeGif(bytes);
    ASSERT_TRUE(picture) << picture.reason();
    const Picture& p = picture.value();
    ASSERT_EQ(p.width, 16);
    ASSERT_EQ(p.height, 19);  // not a multiple of 8: every pass ends early
    ASSERT_EQ(p.frames.size(), 1u);
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(at(p, 0, x, y), kOpaque | interlacedColour(x, y)) << x << "," << y;
}

// 4096 noise pixels in 256 colours: codes grow from 9 to 12 bits, and the
// table fills up. One encoder sends a clear code then, the other goes on
// with the full table.
TEST(GifFixtures, CodesGrowToTwelveBitsAndTheTableFills) {
    const auto expected = noisePattern();
    for (const char* name : {"code_growth.gif", "full_table.gif"}) {
        auto picture = decodeGif(readFixture(name));
        ASSERT_TRUE(picture) << name << ": " << picture.reason();
        ASSERT_EQ(picture.value().frames.size(), 1u) << name;
        EXPECT_EQ(picture.value().frames[0].pixels, expected) << name;
    }
}

// Four frames: a full one (keep), a small one with a local table (restore
// previous), one with a local table (restore background), then a 2x2 one.
TEST(GifFixtures, LocalTablesOffsetsAndDisposal) {
    auto picture = decodeGif(readFixture("local_tables.gif"));
    ASSERT_TRUE(picture) << picture.reason();
    const Picture& p = picture.value();
    ASSERT_EQ(p.width, 20);
    ASSERT_EQ(p.height, 12);
    ASSERT_EQ(p.frames.size(), 4u);
    EXPECT_EQ(p.frames[0].delayMs, 200);
    EXPECT_EQ(p.frames[1].delayMs, 300);
    EXPECT_EQ(p.frames[2].delayMs, 0);
    EXPECT_EQ(p.frames[3].delayMs, 50);
    EXPECT_FALSE(p.transparentColor);

    const auto first = [](int x, int y) { return kOpaque | ((x + y) % 2 ? 0xC81E1Eu : 0x1E1EC8u); };
    const auto second = [](int x, int) { return kOpaque | (x < 4 ? 0x14B414u : 0xF0DC0Au); };
    const auto third = [](int, int y) { return kOpaque | (y % 2 ? 0xFAFAFAu : 0x5A3C1Eu); };
    const auto inside = [](int x, int y, int l, int t, int w, int h) {
        return x >= l && x < l + w && y >= t && y < t + h;
    };
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 20; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            EXPECT_EQ(at(p, 0, x, y), first(x, y));
            EXPECT_EQ(at(p, 1, x, y), inside(x, y, 5, 3, 8, 6) ? second(x - 5, y - 3) : first(x, y));
            // The second frame is undone: the third sits on the first.
            EXPECT_EQ(at(p, 2, x, y), inside(x, y, 12, 1, 6, 5) ? third(x - 12, y - 1) : first(x, y));
            // The third frame's area is cleared to transparent.
            uint32_t fourth = first(x, y);
            if (inside(x, y, 12, 1, 6, 5)) fourth = 0;
            if (inside(x, y, 0, 0, 2, 2)) fourth = kOpaque | 0x0AC8DC;
            EXPECT_EQ(at(p, 3, x, y), fourth);
        }
    }
}

// Entries 0 and 3 are both black; 3 is the transparent one. Pixels of
// entry 0 vanish too, because they have the transparent entry's colour.
TEST(GifDecoder, EveryPixelOfTheTransparentColourIsTransparent) {
    const std::vector<uint32_t> table = {0x000000, 0xFF0000, 0x00FF00, 0x000000};
    const auto bytes = GifBuilder(4, 1, table).control(7, 0, 3).image(0, 0, 4, 1, {0, 1, 2, 3}).bytes();
    auto picture = decodeGif(bytes);
    ASSERT_TRUE(picture) << picture.reason();
    const Picture& p = picture.value();
    ASSERT_TRUE(p.transparentColor);
    EXPECT_EQ(*p.transparentColor, 0x000000u);
    EXPECT_EQ(p.frames[0].delayMs, 70);
    EXPECT_EQ(p.frames[0].pixels, (std::vector<uint32_t>{0x000000, kOpaque | 0xFF0000, kOpaque | 0x00FF00, 0x000000}));
}

TEST(GifDecoder, TransparentIndexOfAColouredEntryLeavesTheCanvasShowing) {
    const std::vector<uint32_t> table = {0x102030, 0xFF0000, 0x00FF00, 0x0000FF};
    const auto bytes = GifBuilder(3, 1, table)
                           .image(0, 0, 3, 1, {1, 1, 1})
                           .control(0, 1, 2)
                           .image(0, 0, 3, 1, {3, 2, 0})
                           .bytes();
    auto picture = decodeGif(bytes);
    ASSERT_TRUE(picture) << picture.reason();
    const Picture& p = picture.value();
    ASSERT_TRUE(p.transparentColor);
    EXPECT_EQ(*p.transparentColor, 0x00FF00u);
    EXPECT_EQ(p.frames[1].pixels, (std::vector<uint32_t>{kOpaque | 0x0000FF, kOpaque | 0xFF0000, kOpaque | 0x102030}));
}

TEST(GifDecoder, ControlBlockAppliesToTheNextImageOnly) {
    const std::vector<uint32_t> table = {0x000000, 0xFFFFFF};
    const auto bytes = GifBuilder(2, 1, table)
                           .loopForever()
                           .comment("made by hand")
                           .control(25, 0, -1)
                           .image(0, 0, 2, 1, {0, 1})
                           .comment("between frames")
                           .image(0, 0, 2, 1, {1, 0})
                           .bytes();
    auto picture = decodeGif(bytes);
    ASSERT_TRUE(picture) << picture.reason();
    const Picture& p = picture.value();
    ASSERT_EQ(p.frames.size(), 2u);
    EXPECT_EQ(p.frames[0].delayMs, 250);
    EXPECT_EQ(p.frames[1].delayMs, 0);
    EXPECT_FALSE(p.transparentColor);
    EXPECT_EQ(p.frames[1].pixels, (std::vector<uint32_t>{kOpaque | 0xFFFFFF, kOpaque}));
}

TEST(GifDecoder, UncoveredPixelsAreTransparentAndImagesAreClippedToTheScreen) {
    const std::vector<uint32_t> table = {0x112233, 0x445566};
    const auto bytes = GifBuilder(3, 2, table).image(2, 1, 2, 2, {0, 1, 1, 1}).bytes();
    auto picture = decodeGif(bytes);
    ASSERT_TRUE(picture) << picture.reason();
    EXPECT_EQ(picture.value().frames[0].pixels,
              (std::vector<uint32_t>{0, 0, 0, 0, 0, kOpaque | 0x112233}));
}

void expectSameFrames(const Picture& seen, const Picture& expected) {
    ASSERT_EQ(seen.frames.size(), expected.frames.size());
    for (std::size_t i = 0; i < seen.frames.size(); ++i) {
        EXPECT_EQ(seen.frames[i].pixels, expected.frames[i].pixels) << "frame " << i;
        EXPECT_EQ(seen.frames[i].delayMs, expected.frames[i].delayMs) << "frame " << i;
    }
    EXPECT_EQ(seen.transparentColor, expected.transparentColor);
}

// Cut anywhere, a file is refused, except right after an image's data
// sub-blocks: old encoders ended files there, and the images are whole.
TEST(GifDecoder, EveryTruncationIsRefusedButRightAfterAnImagesData) {
    GifBuilder builder(3, 2, {0x000000, 0xFFFFFF, 0xFF0000});
    builder.loopForever().control(10, 2, 0).image(0, 0, 3, 2, {0, 1, 2, 2, 1, 0});
    const auto oneImage = builder.bytes();
    builder.control(10, 1, -1).image(1, 1, 1, 1, {2}, {0x00FF00, 0x0000FF, 0x00FF00, 0x123456});
    const auto bytes = builder.bytes();
    auto whole = decodeGif(bytes), firstOnly = decodeGif(oneImage);
    ASSERT_TRUE(whole && firstOnly);
    // Each image's data ends just before its zero-length block and the trailer.
    const std::size_t firstEnds = oneImage.size() - 2, secondEnds = bytes.size() - 2;
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        SCOPED_TRACE(testing::Message() << "length " << n);
        auto picture = decodeGif(std::span(bytes).first(n));
        if (n == firstEnds || n == secondEnds) {
            EXPECT_TRUE(picture) << picture.reason();
            if (picture) expectSameFrames(picture.value(), (n == firstEnds ? firstOnly : whole).value());
        } else {
            EXPECT_FALSE(picture);
            EXPECT_FALSE(picture.reason().empty());
        }
    }
}

struct Malformed {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* reason;
};

std::vector<uint8_t> withByte(std::vector<uint8_t> bytes, std::size_t at, uint8_t value) {
    bytes.at(at) = value;
    return bytes;
}

// Offsets into GifBuilder(2, 1, {black, white}) files: 13-byte header,
// 6-byte table, image descriptor at 19, code size at 29, data from 30.
std::vector<uint8_t> twoPixels() {
    return GifBuilder(2, 1, {0x000000, 0xFFFFFF}).image(0, 0, 2, 1, {0, 1}).bytes();
}

std::vector<uint8_t> withData(std::vector<uint8_t> codes) {
    std::vector<uint8_t> bytes = twoPixels();
    bytes.resize(30);
    bytes.push_back(static_cast<uint8_t>(codes.size()));
    bytes.insert(bytes.end(), codes.begin(), codes.end());
    bytes.insert(bytes.end(), {0x00, 0x3B});
    return bytes;
}

TEST(GifDecoder, MalformedFilesAreRefusedWithAReason) {
    const auto valid = twoPixels();
    ASSERT_TRUE(decodeGif(valid));
    ASSERT_EQ(valid[29], 8);
    std::vector<uint8_t> noTable = valid;
    noTable[10] = 0;
    noTable.erase(noTable.begin() + 13, noTable.begin() + 19);
    // Its control block starts at 19: "!", 0xF9, then the block size.
    const auto withControl = GifBuilder(2, 1, {0, 0}).control(1, 0, -1).image(0, 0, 2, 1, {0, 1}).bytes();

    const std::vector<Malformed> cases = {
        {"empty", {}, "too short for a GIF header"},
        {"wrong magic", withByte(valid, 4, '8'), "not a GIF file"},
        {"zero width", withByte(withByte(valid, 6, 0), 7, 0), "empty logical screen"},
        {"screen too large", withByte(withByte(withByte(withByte(valid, 6, 0xFF), 7, 0xFF), 8, 0xFF), 9, 0xFF),
         "logical screen too large"},
        {"unknown block", withByte(valid, 19, 0x2D), "unknown block type"},
        {"no image", GifBuilder(2, 1, {0, 0}).bytes(), "no image in the file"},
        {"no colour table", noTable, "image without a colour table"},
        {"code size 1", withByte(valid, 29, 1), "LZW code size out of range"},
        {"code size 9", withByte(valid, 29, 9), "LZW code size out of range"},
        // 9-bit codes: clear (256), 0, then 259 where only 258 could come next.
        {"code not in table", withData({0x00, 0x01, 0x0C, 0x04}), "LZW code not in the table"},
        // clear, 0, end: one pixel short.
        {"too few pixels", withData({0x00, 0x01, 0x04, 0x04}), "image data ends before its last pixel"},
        // clear, 0, 7: index 7 with a table of two entries.
        {"index outside table", withData({0x00, 0x01, 0x1C, 0x00}), "pixel outside the colour table"},
        {"control block size", withByte(withControl, 21, 5), "graphic control block of the wrong size"},
    };
    for (const Malformed& c : cases) {
        auto picture = decodeGif(c.bytes);
        EXPECT_FALSE(picture) << c.what;
        EXPECT_EQ(picture.reason(), c.reason) << c.what;
    }
}

// `whole` without its last image's zero-length block and the trailer, then `tail`.
std::vector<uint8_t> unterminated(std::vector<uint8_t> whole, const std::vector<uint8_t>& tail) {
    whole.resize(whole.size() - 2);
    whole.insert(whole.end(), tail.begin(), tail.end());
    return whole;
}

// The last image's data runs to the end of the file, with or without the
// trailer after it: taken when all its pixels are there, refused when not.
TEST(GifDecoder, LastImageWithoutItsZeroLengthBlock) {
    std::vector<uint8_t> stripes;
    for (int i = 0; i < 300; ++i) stripes.push_back(static_cast<uint8_t>(i / 3 % 2));
    const auto longRow = GifBuilder(300, 1, {0x000000, 0xFFFFFF}).image(0, 0, 300, 1, stripes).bytes();
    ASSERT_EQ(longRow.at(30), 255) << "the data takes more than one sub-block";
    // Up to the end of the first sub-block: 254 of the 300 pixels.
    const std::vector<uint8_t> firstBlockOnly(longRow.begin(), longRow.begin() + 30 + 1 + 255);
    auto firstBlockThenTrailer = firstBlockOnly;
    firstBlockThenTrailer.push_back(0x3B);
    // An image of width 0 whose file ends at its code size.
    auto noSubBlock = twoPixels();
    noSubBlock.resize(30);
    noSubBlock[24] = 0;
    const auto twoImages =
        GifBuilder(2, 1, {0x000000, 0xFFFFFF}).image(0, 0, 2, 1, {0, 1}).image(1, 0, 1, 1, {0}).bytes();

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::vector<uint8_t> whole;  // the file it decodes like; empty when refused
        const char* reason = "";
    };
    const std::vector<Case> cases = {
        {"file ends", unterminated(twoPixels(), {}), twoPixels()},
        {"trailer", unterminated(twoPixels(), {0x3B}), twoPixels()},
        {"two sub-blocks", unterminated(longRow, {}), longRow},
        {"second image", unterminated(twoImages, {0x3B}), twoImages},
        {"pixels short, file ends", firstBlockOnly, {}, "image data ends before its last pixel"},
        {"pixels short, trailer", firstBlockThenTrailer, {}, "image data ends before its last pixel"},
        {"a byte after the trailer", unterminated(twoPixels(), {0x3B, 0x3B}), {}, "file ends inside image data"},
        {"no sub-block, no pixels", noSubBlock, {}, "file ends inside image data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto picture = decodeGif(c.bytes);
        if (c.whole.empty()) {
            EXPECT_FALSE(picture);
            EXPECT_EQ(picture.reason(), c.reason);
        } else {
            const auto expected = decodeGif(c.whole);
            ASSERT_TRUE(expected) << expected.reason();
            EXPECT_TRUE(picture) << picture.reason();
            if (picture) expectSameFrames(picture.value(), expected.value());
        }
    }
}

TEST(GifDecoder, WorkIsBounded) {
    GifBuilder many(1, 1, {0x000000, 0xFFFFFF});
    for (int i = 0; i <= 4096; ++i) many.image(0, 0, 1, 1, {1});
    auto picture = decodeGif(many.bytes());
    EXPECT_FALSE(picture);
    EXPECT_EQ(picture.reason(), "too many frames");

    // Each 1x1 frame of a 2048x2048 screen composes four million pixels.
    GifBuilder wide(2048, 2048, {0x000000, 0xFFFFFF});
    for (int i = 0; i < 9; ++i) wide.image(0, 0, 1, 1, {1});
    picture = decodeGif(wide.bytes());
    EXPECT_FALSE(picture);
    EXPECT_EQ(picture.reason(), "picture too large");
}

}  // namespace
