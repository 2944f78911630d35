#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "runtime/codec/decoded.h"

namespace runtime::codec {

// One image of an .ico file, as its directory entry describes it; `bytes`
// points into the file (the BITMAPINFOHEADER or PNG data), bounds-checked.
struct IcoImage {
    int width = 0;        // 256 when the entry says 0
    int height = 0;
    int colorCount = 0;   // 0 when the entry says 0 (>= 256 colours)
    int bitCount = 0;
    std::span<const uint8_t> bytes;
};

Decoded<std::vector<IcoImage>> readIco(std::span<const uint8_t> bytes);

// The image a tray icon uses: the first with at least 16 colours and a
// width of 16 pixels, otherwise the last one. Null for an empty list.
const IcoImage* pickTrayImage(const std::vector<IcoImage>& images);

// The pixels of a bitmap image (BI_RGB, 1/4/8/24/32 bits): 0xAARRGGBB, top
// row first, alpha 0 or 255 except in 32-bit images with an alpha channel.
// `mask` holds the AND mask, 1 where it is set.
struct IconBitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> mask;
};

Decoded<IconBitmap> decodeIcoImage(const IcoImage& image);

}  // namespace runtime::codec
