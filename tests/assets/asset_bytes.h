#pragma once
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace asset_test {

using Bytes = std::vector<uint8_t>;

inline Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The committed file of that name in assets/.
inline Bytes committed(const std::string& name) { return readFile(std::string(ASSETS_DIR) + "/" + name); }

// The blocks of a GIF file as written, for the properties a decoder does
// not keep: the control blocks and where each image lies.
struct GifLayout {
    int width = 0, height = 0;
    int globalTableEntries = 0;  // 0: none
    int backgroundIndex = 0;
    struct Control { int packed, delayCs, transparentIndex; };
    struct Image { int left, top, width, height, packed; };
    std::vector<Control> controls;
    std::vector<Image> images;
    bool complete = false;  // reached the trailer
};

inline GifLayout gifLayout(const Bytes& b) {
    GifLayout g;
    const auto u16 = [&](std::size_t at) { return b.at(at) | b.at(at + 1) << 8; };
    g.width = u16(6);
    g.height = u16(8);
    std::size_t at = 13;
    if (b.at(10) & 0x80) {
        g.globalTableEntries = 2 << (b[10] & 7);
        at += 3 * static_cast<std::size_t>(g.globalTableEntries);
    }
    g.backgroundIndex = b.at(11);
    const auto skipSubBlocks = [&] {
        while (b.at(at) != 0) at += b[at] + 1u;
        ++at;
    };
    while (at < b.size()) {
        const uint8_t kind = b[at++];
        if (kind == 0x3B) {
            g.complete = at == b.size();
            break;
        }
        if (kind == 0x21) {
            const uint8_t label = b.at(at++);
            if (label == 0xF9 && b.at(at) == 4) g.controls.push_back({b.at(at + 1), u16(at + 2), b.at(at + 4)});
            skipSubBlocks();
        } else if (kind == 0x2C) {
            g.images.push_back({u16(at), u16(at + 2), u16(at + 4), u16(at + 6), b.at(at + 8)});
            at += 9;
            if (g.images.back().packed & 0x80) at += 3u * (2u << (g.images.back().packed & 7));
            ++at;  // LZW code size
            skipSubBlocks();
        } else {
            break;
        }
    }
    return g;
}

inline uint32_t tableEntry(const Bytes& gif, int index) {
    const std::size_t at = 13 + 3 * static_cast<std::size_t>(index);
    return uint32_t{gif.at(at)} << 16 | uint32_t{gif.at(at + 1)} << 8 | gif.at(at + 2);
}

}  // namespace asset_test
