#include "runtime/codec/ico.h"

#include <algorithm>
#include <array>
#include <string>

#include "runtime/codec/byte_reader.h"

namespace runtime::codec {
namespace {

constexpr std::size_t kDirectoryHeader = 6;
constexpr std::size_t kDirectoryEntry = 16;
constexpr std::size_t kBitmapHeader = 40;
constexpr int kMaxSide = 256;
constexpr std::array<uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool isPng(std::span<const uint8_t> bytes) {
    return bytes.size() >= kPngSignature.size() &&
           std::equal(kPngSignature.begin(), kPngSignature.end(), bytes.begin());
}

// Where the parts of an icon bitmap lie: header, palette, colour rows
// (bottom-up), AND-mask rows (bottom-up).
struct BitmapLayout {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::size_t paletteOffset = 0;
    std::size_t paletteEntries = 0;
    std::size_t colourOffset = 0;
    std::size_t colourStride = 0;
    std::size_t maskOffset = 0;
    std::size_t maskStride = 0;
};

Decoded<BitmapLayout> layoutOf(std::span<const uint8_t> bytes) {
    using Result = Decoded<BitmapLayout>;
    ByteReader in(bytes);
    uint32_t headerSize = 0, width = 0, doubledHeight = 0, compression = 0, coloursUsed = 0;
    uint16_t planes = 0, bitCount = 0;
    if (!in.u32le(headerSize) || !in.u32le(width) || !in.u32le(doubledHeight) || !in.u16le(planes) ||
        !in.u16le(bitCount) || !in.u32le(compression) || !in.skip(12) || !in.u32le(coloursUsed))
        return Result::refused("icon image shorter than a bitmap header");
    if (headerSize < kBitmapHeader || headerSize > bytes.size())
        return Result::refused("bad bitmap header size");
    // Signed fields read unsigned: a negative value shows as a huge one.
    if (width < 1 || width > kMaxSide || doubledHeight < 2 || doubledHeight > 2 * kMaxSide ||
        doubledHeight % 2 != 0)
        return Result::refused("bad icon bitmap size");
    if (compression != 0) return Result::refused("compressed icon bitmaps are not read");

    BitmapLayout layout;
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(doubledHeight / 2);
    layout.bitCount = bitCount;
    switch (bitCount) {
        case 1: case 4: case 8: {
            const uint32_t most = 1u << bitCount;
            if (coloursUsed > most) return Result::refused("palette larger than its bit count allows");
            layout.paletteEntries = coloursUsed ? coloursUsed : most;
            break;
        }
        case 24: case 32: break;
        default: return Result::refused("unsupported icon bit count");
    }
    layout.paletteOffset = headerSize;
    layout.colourOffset = layout.paletteOffset + 4 * layout.paletteEntries;
    layout.colourStride = (std::size_t{width} * bitCount + 31) / 32 * 4;
    layout.maskOffset = layout.colourOffset + layout.colourStride * layout.height;
    layout.maskStride = (std::size_t{width} + 31) / 32 * 4;
    if (layout.maskOffset + layout.maskStride * layout.height > bytes.size())
        return Result::refused("icon image shorter than its bitmap");
    return Result::ok(layout);
}

bool hasAtLeast16Colours(const IcoImage& image) {
    if (image.colorCount != 0) return image.colorCount >= 16;
    return image.bitCount == 0 || image.bitCount >= 4;
}

uint32_t bgr(std::span<const uint8_t> p) { return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]; }

}  // namespace

Decoded<std::vector<IcoImage>> readIco(std::span<const uint8_t> bytes) {
    using Result = Decoded<std::vector<IcoImage>>;
    ByteReader in(bytes);
    uint16_t reserved = 0, type = 0, count = 0;
    if (!in.u16le(reserved) || !in.u16le(type) || !in.u16le(count))
        return Result::refused("too short for an icon directory");
    if (reserved != 0 || type != 1) return Result::refused("not an icon file");
    if (count == 0) return Result::refused("icon file without images");
    const std::size_t directoryEnd = kDirectoryHeader + kDirectoryEntry * count;
    if (directoryEnd > bytes.size()) return Result::refused("file ends inside the icon directory");

    std::vector<IcoImage> images;
    for (uint16_t i = 0; i < count; ++i) {
        uint8_t width = 0, height = 0, colours = 0;
        uint16_t bitCount = 0;
        uint32_t size = 0, offset = 0;
        // All reads are inside the directory, whose length was checked above.
        in.u8(width);
        in.u8(height);
        in.u8(colours);
        in.skip(3);  // reserved byte, planes
        in.u16le(bitCount);
        in.u32le(size);
        in.u32le(offset);
        if (offset < directoryEnd || offset > bytes.size() || size > bytes.size() - offset)
            return Result::refused("icon image outside the file");
        IcoImage image{width ? width : kMaxSide, height ? height : kMaxSide, colours, bitCount,
                       bytes.subspan(offset, size)};
        if (!isPng(image.bytes)) {
            auto layout = layoutOf(image.bytes);
            if (!layout) return Result::refused(layout.reason());
        }
        images.push_back(image);
    }
    return Result::ok(std::move(images));
}

const IcoImage* pickTrayImage(const std::vector<IcoImage>& images) {
    for (const IcoImage& image : images)
        if (image.width == 16 && hasAtLeast16Colours(image)) return &image;
    return images.empty() ? nullptr : &images.back();
}

Decoded<IconBitmap> decodeIcoImage(const IcoImage& image) {
    using Result = Decoded<IconBitmap>;
    if (isPng(image.bytes)) return Result::refused("PNG icon images are not decoded");
    auto checked = layoutOf(image.bytes);
    if (!checked) return Result::refused(checked.reason());
    const BitmapLayout& layout = checked.value();
    const std::span<const uint8_t> bytes = image.bytes;

    IconBitmap bitmap;
    bitmap.width = layout.width;
    bitmap.height = layout.height;
    bitmap.pixels.resize(static_cast<std::size_t>(layout.width) * layout.height);
    bitmap.mask.resize(bitmap.pixels.size());
    bool anyAlpha = false;
    for (int y = 0; y < layout.height; ++y) {
        const std::size_t row = static_cast<std::size_t>(layout.height - 1 - y);  // stored bottom-up
        const auto colours = bytes.subspan(layout.colourOffset + row * layout.colourStride, layout.colourStride);
        const auto mask = bytes.subspan(layout.maskOffset + row * layout.maskStride, layout.maskStride);
        for (int x = 0; x < layout.width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * layout.width + x;
            bitmap.mask[at] = (mask[x / 8] >> (7 - x % 8)) & 1;
            uint32_t pixel = 0;
            if (layout.bitCount == 32) {
                pixel = bgr(colours.subspan(4 * x, 3)) | uint32_t{colours[4 * x + 3]} << 24;
                anyAlpha = anyAlpha || colours[4 * x + 3] != 0;
            } else if (layout.bitCount == 24) {
                pixel = bgr(colours.subspan(3 * x, 3));
            } else {
                const int bits = layout.bitCount;
                const int perByte = 8 / bits;
                const int shift = 8 - bits * (x % perByte + 1);
                const std::size_t index = (colours[x / perByte] >> shift) & ((1 << bits) - 1);
                if (index < layout.paletteEntries)
                    pixel = bgr(bytes.subspan(layout.paletteOffset + 4 * index, 3));
            }
            bitmap.pixels[at] = pixel;
        }
    }
    // Without an alpha channel the AND mask says what is transparent.
    if (!anyAlpha)
        for (std::size_t i = 0; i < bitmap.pixels.size(); ++i)
            bitmap.pixels[i] = (bitmap.pixels[i] & 0xFFFFFF) | (bitmap.mask[i] ? 0u : 0xFF000000u);
    return Result::ok(std::move(bitmap));
}

}  // namespace runtime::codec
