#include "tests/codec/gif_builder.h"

#include <algorithm>

namespace codec_test {
namespace {

void put16(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8 & 0xFF));
}

// Tables are written with a power-of-two size of at least 2; returns the size field.
int putTable(std::vector<uint8_t>& out, std::vector<uint32_t> table) {
    int bits = 0;
    while ((2u << bits) < table.size()) ++bits;
    table.resize(2u << bits, 0);
    for (uint32_t c : table) {
        out.push_back(static_cast<uint8_t>(c >> 16));
        out.push_back(static_cast<uint8_t>(c >> 8));
        out.push_back(static_cast<uint8_t>(c));
    }
    return bits;
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

std::vector<uint8_t> literalLzw(int minCodeSize, const std::vector<uint8_t>& indices) {
    const int clear = 1 << minCodeSize;
    const int bits = minCodeSize + 1;
    std::vector<uint8_t> packed;
    uint32_t acc = 0;
    int held = 0;
    auto code = [&](int value) {
        acc |= static_cast<uint32_t>(value) << held;
        held += bits;
        while (held >= 8) {
            packed.push_back(static_cast<uint8_t>(acc & 0xFF));
            acc >>= 8;
            held -= 8;
        }
    };
    // After a clear the first literal adds no entry and each further one
    // adds one; clear-2 literals keep the next entry below 2^bits.
    const int run = clear - 2;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % run == 0) code(clear);
        code(indices[i]);
    }
    code(clear + 1);
    if (held > 0) packed.push_back(static_cast<uint8_t>(acc & 0xFF));
    std::vector<uint8_t> out;
    putSubBlocks(out, packed);
    return out;
}

GifBuilder::GifBuilder(int width, int height, std::vector<uint32_t> globalTable) {
    const std::string magic = "GIF89a";
    out_.assign(magic.begin(), magic.end());
    put16(out_, width);
    put16(out_, height);
    const std::size_t packedAt = out_.size();
    out_.push_back(0);
    out_.push_back(0);  // background index
    out_.push_back(0);  // aspect
    if (!globalTable.empty()) out_[packedAt] = static_cast<uint8_t>(0x80 | putTable(out_, globalTable));
}

GifBuilder& GifBuilder::control(int delayCs, int disposal, int transparentIndex) {
    out_.insert(out_.end(), {0x21, 0xF9, 0x04});
    out_.push_back(static_cast<uint8_t>(disposal << 2 | (transparentIndex >= 0 ? 1 : 0)));
    put16(out_, delayCs);
    out_.push_back(static_cast<uint8_t>(transparentIndex >= 0 ? transparentIndex : 0));
    out_.push_back(0);
    return *this;
}

GifBuilder& GifBuilder::image(int left, int top, int width, int height,
                              const std::vector<uint8_t>& indices,
                              const std::vector<uint32_t>& localTable) {
    out_.push_back(0x2C);
    put16(out_, left);
    put16(out_, top);
    put16(out_, width);
    put16(out_, height);
    const std::size_t packedAt = out_.size();
    out_.push_back(0);
    if (!localTable.empty()) out_[packedAt] = static_cast<uint8_t>(0x80 | putTable(out_, localTable));
    constexpr int kMinCodeSize = 8;  // any index fits
    out_.push_back(kMinCodeSize);
    const auto data = literalLzw(kMinCodeSize, indices);
    out_.insert(out_.end(), data.begin(), data.end());
    return *this;
}

GifBuilder& GifBuilder::comment(const std::string& text) {
    out_.insert(out_.end(), {0x21, 0xFE});
    putSubBlocks(out_, std::vector<uint8_t>(text.begin(), text.end()));
    return *this;
}

GifBuilder& GifBuilder::loopForever() {
    const std::string id = "NETSCAPE2.0";
    out_.insert(out_.end(), {0x21, 0xFF, 0x0B});
    out_.insert(out_.end(), id.begin(), id.end());
    out_.insert(out_.end(), {0x03, 0x01, 0x00, 0x00, 0x00});
    return *this;
}

std::vector<uint8_t> GifBuilder::bytes() const {
    auto out = out_;
    out.push_back(0x3B);
    return out;
}

}  // namespace codec_test
