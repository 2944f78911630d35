#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "runtime/codec/ico.h"

namespace {

using runtime::codec::decodeIcoImage;
using runtime::codec::IcoImage;
using runtime::codec::pickTrayImage;
using runtime::codec::readIco;
using Bytes = std::vector<uint8_t>;

void put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(Bytes& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// A BI_RGB icon bitmap; `pixel` gives the stored value (an index, or
// 0xAARRGGBB) and `masked` the AND mask, both with y counted from the top.
Bytes bitmap(int w, int h, int bits, const std::vector<uint32_t>& palette,
             const std::function<uint32_t(int, int)>& pixel, const std::function<bool(int, int)>& masked) {
    Bytes out;
    put32(out, 40);
    put32(out, static_cast<uint32_t>(w));
    put32(out, static_cast<uint32_t>(2 * h));
    put16(out, 1);
    put16(out, static_cast<uint32_t>(bits));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, static_cast<uint32_t>(palette.size()));
    put32(out, 0);
    for (uint32_t c : palette) put32(out, c);
    const std::size_t stride = (static_cast<std::size_t>(w) * bits + 31) / 32 * 4;
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < w; ++x) {
            const uint32_t v = pixel(x, y);
            if (bits == 32) {
                for (int k = 0; k < 4; ++k) row[4 * x + k] = static_cast<uint8_t>(v >> (8 * k));
            } else if (bits == 24) {
                for (int k = 0; k < 3; ++k) row[3 * x + k] = static_cast<uint8_t>(v >> (8 * k));
            } else {
                const int perByte = 8 / bits;
                row[x / perByte] |= static_cast<uint8_t>(v << (8 - bits * (x % perByte + 1)));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    const std::size_t maskStride = (static_cast<std::size_t>(w) + 31) / 32 * 4;
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(maskStride, 0);
        for (int x = 0; x < w; ++x)
            if (masked(x, y)) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

struct Entry {
    uint8_t width, height, colours;
    uint16_t bitCount;
    Bytes image;
};

Bytes icoFile(const std::vector<Entry>& entries) {
    Bytes out;
    put16(out, 0);
    put16(out, 1);
    put16(out, static_cast<uint32_t>(entries.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * entries.size());
    for (const Entry& e : entries) {
        out.insert(out.end(), {e.width, e.height, e.colours, 0});
        put16(out, 1);
        put16(out, e.bitCount);
        put32(out, static_cast<uint32_t>(e.image.size()));
        put32(out, offset);
        offset += static_cast<uint32_t>(e.image.size());
    }
    for (const Entry& e : entries) out.insert(out.end(), e.image.begin(), e.image.end());
    return out;
}

const auto kNoMask = [](int, int) { return false; };

// 2x2, 32 bits: top row red (opaque) and clear, bottom row green, blue half alpha.
Bytes small32() {
    const auto pixel = [](int x, int y) {
        const uint32_t values[2][2] = {{0xFFFF0000, 0x00000000}, {0xFF00FF00, 0x800000FF}};
        return values[y][x];
    };
    return bitmap(2, 2, 32, {}, pixel, [](int x, int y) { return x == 1 && y == 0; });
}

Bytes small4() {
    return bitmap(16, 16, 4, std::vector<uint32_t>(16, 0x00808080), [](int x, int) { return x % 16; }, kNoMask);
}

TEST(IcoReader, ReadsTheDirectoryAndPointsIntoTheFile) {
    const Bytes image32 = small32();
    const Bytes image4 = small4();
    const Bytes file = icoFile({{2, 2, 0, 32, image32}, {0, 0, 16, 4, image4}});
    auto images = readIco(file);
    ASSERT_TRUE(images) << images.reason();
    ASSERT_EQ(images.value().size(), 2u);
    const IcoImage& a = images.value()[0];
    const IcoImage& b = images.value()[1];
    EXPECT_EQ(a.width, 2);
    EXPECT_EQ(a.bitCount, 32);
    EXPECT_EQ(a.colorCount, 0);
    EXPECT_EQ(a.bytes.data(), file.data() + 38);
    EXPECT_EQ(a.bytes.size(), image32.size());
    EXPECT_EQ(b.width, 256);  // 0 in the entry
    EXPECT_EQ(b.height, 256);
    EXPECT_EQ(b.colorCount, 16);
    EXPECT_EQ(b.bytes.data(), file.data() + 38 + image32.size());
}

TEST(IcoReader, TrayImageIsTheFirst16PixelOneWithEnoughColours) {
    const Bytes image = small32();
    const auto pick = [&](std::vector<std::pair<int, int>> sizesAndColours) {
        std::vector<IcoImage> images;
        for (auto [w, c] : sizesAndColours) images.push_back({w, w, c, c == 0 ? 32 : 4, image});
        const IcoImage* chosen = pickTrayImage(images);
        return chosen ? static_cast<int>(chosen - images.data()) : -1;
    };
    EXPECT_EQ(pick({}), -1);
    EXPECT_EQ(pick({{64, 0}}), 0);
    EXPECT_EQ(pick({{32, 0}, {16, 0}, {16, 16}}), 1);
    EXPECT_EQ(pick({{32, 0}, {16, 2}, {16, 16}}), 2);
    EXPECT_EQ(pick({{16, 8}, {32, 0}, {48, 0}}), 2);
}

TEST(IcoReader, DecodesBitmapsTopRowFirst) {
    // The images point into their file, which must outlive them.
    const Bytes file32 = icoFile({{2, 2, 0, 32, small32()}});
    auto images = readIco(file32);
    ASSERT_TRUE(images) << images.reason();
    auto decoded = decodeIcoImage(images.value()[0]);
    ASSERT_TRUE(decoded) << decoded.reason();
    EXPECT_EQ(decoded.value().pixels, (std::vector<uint32_t>{0xFFFF0000, 0x00000000, 0xFF00FF00, 0x800000FF}));
    EXPECT_EQ(decoded.value().mask, (std::vector<uint8_t>{0, 1, 0, 0}));

    // Palette images take alpha from the mask; index 2 of 3 colours is blue.
    const Bytes image4 = bitmap(3, 2, 4, {0x00FF0000, 0x0000FF00, 0x000000FF}, [](int x, int y) { return (x + y) % 3; },
                                [](int x, int y) { return x == 0 && y == 1; });
    const Bytes file4 = icoFile({{3, 2, 3, 4, image4}});
    images = readIco(file4);
    ASSERT_TRUE(images) << images.reason();
    decoded = decodeIcoImage(images.value()[0]);
    ASSERT_TRUE(decoded) << decoded.reason();
    EXPECT_EQ(decoded.value().pixels,
              (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x0000FF00, 0xFF0000FF, 0xFFFF0000}));

    const Bytes image1 = bitmap(9, 1, 1, {0x00000000, 0x00FFFFFF}, [](int x, int) { return x == 8 ? 1u : 0u; }, kNoMask);
    const Bytes file1 = icoFile({{9, 1, 2, 1, image1}});
    images = readIco(file1);
    ASSERT_TRUE(images) << images.reason();
    decoded = decodeIcoImage(images.value()[0]);
    ASSERT_TRUE(decoded) << decoded.reason();
    EXPECT_EQ(decoded.value().pixels.back(), 0xFFFFFFFFu);
    EXPECT_EQ(decoded.value().pixels.front(), 0xFF000000u);

    // A 32-bit image whose alpha bytes are all 0 predates alpha: the mask decides.
    const Bytes noAlpha = bitmap(2, 1, 32, {}, [](int x, int) { return x ? 0x00123456u : 0x00654321u; },
                                 [](int x, int) { return x == 0; });
    const Bytes fileNoAlpha = icoFile({{2, 1, 0, 32, noAlpha}});
    images = readIco(fileNoAlpha);
    ASSERT_TRUE(images) << images.reason();
    decoded = decodeIcoImage(images.value()[0]);
    ASSERT_TRUE(decoded) << decoded.reason();
    EXPECT_EQ(decoded.value().pixels, (std::vector<uint32_t>{0x00654321, 0xFF123456}));
}

TEST(IcoReader, PngImagesAreListedButNotDecoded) {
    const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0};
    const Bytes file = icoFile({{0, 0, 0, 32, png}});
    auto images = readIco(file);
    ASSERT_TRUE(images) << images.reason();
    EXPECT_FALSE(decodeIcoImage(images.value()[0]));
}

TEST(IcoReader, EveryTruncationIsRefused) {
    const Bytes file = icoFile({{2, 2, 0, 32, small32()}});
    ASSERT_TRUE(readIco(file));
    for (std::size_t n = 0; n < file.size(); ++n) {
        auto images = readIco(std::span(file).first(n));
        EXPECT_FALSE(images) << "length " << n;
        EXPECT_FALSE(images.reason().empty()) << "length " << n;
    }
}

struct Malformed {
    const char* what;
    Bytes bytes;
    const char* reason;
};

Bytes withByte(Bytes bytes, std::size_t at, uint8_t value) {
    bytes.at(at) = value;
    return bytes;
}

// Offsets in a one-image file: entry at 6 (size at 14, offset at 18),
// bitmap header at 22 (width 26, height 30, bit count 36, compression 38,
// colours used 54).
TEST(IcoReader, MalformedFilesAreRefusedWithAReason) {
    const Bytes valid = icoFile({{2, 2, 0, 32, small32()}});
    const Bytes paletted = icoFile({{3, 2, 3, 4, bitmap(3, 2, 4, {0, 0, 0}, [](int, int) { return 0u; }, kNoMask)}});
    const std::vector<Malformed> cases = {
        {"empty", {}, "too short for an icon directory"},
        {"reserved set", withByte(valid, 0, 1), "not an icon file"},
        {"cursor", withByte(valid, 2, 2), "not an icon file"},
        {"no images", withByte(valid, 4, 0), "icon file without images"},
        {"directory past the end", withByte(valid, 4, 200), "file ends inside the icon directory"},
        {"offset inside directory", withByte(valid, 18, 6), "icon image outside the file"},
        {"offset past the end", withByte(valid, 20, 1), "icon image outside the file"},
        {"size past the end", withByte(valid, 14, 0xFF), "icon image outside the file"},
        {"size too small for header", withByte(valid, 14, 20), "icon image shorter than a bitmap header"},
        {"header size 12", withByte(valid, 22, 12), "bad bitmap header size"},
        {"zero width", withByte(valid, 26, 0), "bad icon bitmap size"},
        {"negative width", withByte(valid, 29, 0xFF), "bad icon bitmap size"},
        {"odd height", withByte(valid, 30, 3), "bad icon bitmap size"},
        {"too wide", withByte(withByte(valid, 26, 0x01), 27, 0x01), "bad icon bitmap size"},
        {"bit count 7", withByte(valid, 36, 7), "unsupported icon bit count"},
        {"compressed", withByte(valid, 38, 1), "compressed icon bitmaps are not read"},
        {"taller than its data", withByte(valid, 30, 8), "icon image shorter than its bitmap"},
        {"palette too large", withByte(paletted, 54, 17), "palette larger than its bit count allows"},
    };
    for (const Malformed& c : cases) {
        auto images = readIco(c.bytes);
        EXPECT_FALSE(images) << c.what;
        EXPECT_EQ(images.reason(), c.reason) << c.what;
    }
}

}  // namespace
