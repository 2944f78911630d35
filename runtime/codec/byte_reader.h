#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace runtime::codec {

// A cursor over untrusted bytes. Every read checks the remaining length and
// reports false, leaving the cursor where it was, when the bytes run out.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    std::size_t offset() const { return pos_; }
    std::size_t remaining() const { return bytes_.size() - pos_; }
    bool atEnd() const { return pos_ == bytes_.size(); }

    bool u8(uint8_t& out) {
        if (remaining() < 1) return false;
        out = bytes_[pos_++];
        return true;
    }
    bool u16le(uint16_t& out) {
        if (remaining() < 2) return false;
        out = static_cast<uint16_t>(bytes_[pos_] | bytes_[pos_ + 1] << 8);
        pos_ += 2;
        return true;
    }
    bool u16be(uint16_t& out) {
        if (remaining() < 2) return false;
        out = static_cast<uint16_t>(bytes_[pos_] << 8 | bytes_[pos_ + 1]);
        pos_ += 2;
        return true;
    }
    bool u32le(uint32_t& out) {
        if (remaining() < 4) return false;
        out = 0;
        for (int i = 3; i >= 0; --i) out = out << 8 | bytes_[pos_ + i];
        pos_ += 4;
        return true;
    }
    bool u32be(uint32_t& out) {
        if (remaining() < 4) return false;
        out = 0;
        for (int i = 0; i < 4; ++i) out = out << 8 | bytes_[pos_ + i];
        pos_ += 4;
        return true;
    }
    bool take(std::size_t count, std::span<const uint8_t>& out) {
        if (remaining() < count) return false;
        out = bytes_.subspan(pos_, count);
        pos_ += count;
        return true;
    }
    bool skip(std::size_t count) {
        if (remaining() < count) return false;
        pos_ += count;
        return true;
    }

private:
    std::span<const uint8_t> bytes_;
    std::size_t pos_ = 0;
};

}  // namespace runtime::codec
