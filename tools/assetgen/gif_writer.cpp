#include "tools/assetgen/gif_writer.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace assetgen {
namespace {

void put16(std::vector<uint8_t>& out, int v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8 & 0xFF));
}

class BitWriter {
public:
    void write(int code, int bits) {
        acc_ |= static_cast<uint32_t>(code) << held_;
        held_ += bits;
        while (held_ >= 8) {
            bytes.push_back(static_cast<uint8_t>(acc_ & 0xFF));
            acc_ >>= 8;
            held_ -= 8;
        }
    }
    void flush() {
        if (held_ > 0) bytes.push_back(static_cast<uint8_t>(acc_ & 0xFF));
        acc_ = 0;
        held_ = 0;
    }
    std::vector<uint8_t> bytes;

private:
    uint32_t acc_ = 0;
    int held_ = 0;
};

// LZW with a clear code whenever the table fills.
std::vector<uint8_t> compress(int minCodeSize, const std::vector<uint8_t>& indices) {
    constexpr int kMaxCodes = 4096;
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    std::vector<int> child(static_cast<std::size_t>(kMaxCodes) * 256, -1);  // (prefix, index) -> code
    int next = clear + 2;
    int bits = minCodeSize + 1;
    BitWriter out;
    out.write(clear, bits);
    int prefix = -1;
    for (uint8_t index : indices) {
        if (prefix < 0) {
            prefix = index;
            continue;
        }
        const std::size_t slot = static_cast<std::size_t>(prefix) * 256 + index;
        if (child[slot] >= 0) {
            prefix = child[slot];
            continue;
        }
        out.write(prefix, bits);
        child[slot] = next++;
        // The decoder adds its entry one code later, so it widens one code later too.
        if (next - 1 == 1 << bits && bits < 12) ++bits;
        if (next == kMaxCodes) {
            out.write(clear, bits);
            std::fill(child.begin(), child.end(), -1);
            next = clear + 2;
            bits = minCodeSize + 1;
        }
        prefix = index;
    }
    if (prefix >= 0) out.write(prefix, bits);
    out.write(end, bits);
    out.flush();
    return out.bytes;
}

void putSubBlocks(std::vector<uint8_t>& out, const std::vector<uint8_t>& data) {
    for (std::size_t i = 0; i < data.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - i);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<long>(i), data.begin() + static_cast<long>(i + n));
    }
    out.push_back(0);
}

}  // namespace

std::vector<uint8_t> writeGif(int width, int height, const std::vector<uint32_t>& table,
                              int backgroundIndex, const std::vector<GifFrame>& frames) {
    int tableBits = 0;
    while ((2u << tableBits) < table.size()) ++tableBits;
    if ((2u << tableBits) != table.size() || table.size() > 256)
        throw std::invalid_argument("colour table size must be a power of two up to 256");

    const std::string magic = "GIF89a";
    std::vector<uint8_t> out(magic.begin(), magic.end());
    put16(out, width);
    put16(out, height);
    out.push_back(static_cast<uint8_t>(0x80 | tableBits << 4 | tableBits));  // colour resolution = table bits
    out.push_back(static_cast<uint8_t>(backgroundIndex));
    out.push_back(0);
    for (uint32_t c : table) {
        out.push_back(static_cast<uint8_t>(c >> 16));
        out.push_back(static_cast<uint8_t>(c >> 8));
        out.push_back(static_cast<uint8_t>(c));
    }
    const std::string app = "NETSCAPE2.0";
    out.insert(out.end(), {0x21, 0xFF, 0x0B});
    out.insert(out.end(), app.begin(), app.end());
    out.insert(out.end(), {0x03, 0x01, 0x00, 0x00, 0x00});  // loop for ever

    const int minCodeSize = std::max(2, tableBits + 1);
    for (const GifFrame& frame : frames) {
        if (frame.indices.size() != static_cast<std::size_t>(width) * height)
            throw std::invalid_argument("frame size differs from the screen");
        out.insert(out.end(), {0x21, 0xF9, 0x04});
        out.push_back(static_cast<uint8_t>(frame.disposal << 2 | (frame.transparentIndex >= 0 ? 1 : 0)));
        put16(out, frame.delayCs);
        out.push_back(static_cast<uint8_t>(std::max(frame.transparentIndex, 0)));
        out.push_back(0);
        out.push_back(0x2C);
        put16(out, 0);
        put16(out, 0);
        put16(out, width);
        put16(out, height);
        out.push_back(0);  // no local table, not interlaced
        out.push_back(static_cast<uint8_t>(minCodeSize));
        putSubBlocks(out, compress(minCodeSize, frame.indices));
    }
    out.push_back(0x3B);
    return out;
}

}  // namespace assetgen
