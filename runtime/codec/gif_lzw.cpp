#include "runtime/codec/gif_lzw.h"

#include <array>
#include <memory>

namespace runtime::codec {
namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kMaxCodes = 1 << kMaxCodeBits;

// Codes are packed least significant bit first.
class CodeReader {
public:
    explicit CodeReader(std::span<const uint8_t> data) : data_(data) {}

    bool read(int bits, int& code) {
        while (held_ < bits) {
            if (pos_ == data_.size()) return false;
            acc_ |= static_cast<uint32_t>(data_[pos_++]) << held_;
            held_ += 8;
        }
        code = static_cast<int>(acc_ & ((1u << bits) - 1));
        acc_ >>= bits;
        held_ -= bits;
        return true;
    }

private:
    std::span<const uint8_t> data_;
    std::size_t pos_ = 0;
    uint32_t acc_ = 0;
    int held_ = 0;
};

// The string table: every entry is a previous entry plus one index.
struct Table {
    std::array<uint16_t, kMaxCodes> prefix{};
    std::array<uint8_t, kMaxCodes> suffix{};
    std::array<uint8_t, kMaxCodes> first{};
    std::array<uint16_t, kMaxCodes> length{};

    void add(int code, int before, uint8_t last) {
        prefix[code] = static_cast<uint16_t>(before);
        suffix[code] = last;
        first[code] = first[before];
        length[code] = static_cast<uint16_t>(length[before] + 1);
    }

    void append(int code, std::vector<uint8_t>& out) const {
        const std::size_t start = out.size();
        out.resize(start + length[code]);
        for (std::size_t i = length[code]; i-- > 0;) {
            out[start + i] = suffix[code];
            code = prefix[code];
        }
    }
};

}  // namespace

Decoded<std::vector<uint8_t>> decodeGifLzw(int minCodeSize, std::span<const uint8_t> data,
                                           std::size_t count) {
    using Result = Decoded<std::vector<uint8_t>>;
    if (minCodeSize < 2 || minCodeSize > 8) return Result::refused("LZW code size out of range");

    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    auto table = std::make_unique<Table>();
    for (int i = 0; i < clearCode; ++i) {
        table->suffix[i] = table->first[i] = static_cast<uint8_t>(i);
        table->length[i] = 1;
    }

    std::vector<uint8_t> out;
    out.reserve(count + kMaxCodes);
    CodeReader reader(data);
    int codeBits = minCodeSize + 1;
    int next = clearCode + 2;
    int previous = -1;
    while (out.size() < count) {
        int code = 0;
        if (!reader.read(codeBits, code) || code == endCode)
            return Result::refused("image data ends before its last pixel");
        if (code == clearCode) {
            codeBits = minCodeSize + 1;
            next = clearCode + 2;
            previous = -1;
            continue;
        }
        const bool tableHasRoom = next < kMaxCodes;
        if (code < next) {
            if (previous >= 0 && tableHasRoom) table->add(next++, previous, table->first[code]);
        } else if (code == next && previous >= 0 && tableHasRoom) {
            // The code being defined right now: the previous string plus its own first index.
            table->add(next++, previous, table->first[previous]);
        } else {
            return Result::refused("LZW code not in the table");
        }
        if (next == 1 << codeBits && codeBits < kMaxCodeBits) ++codeBits;
        table->append(code, out);
        previous = code;
    }
    out.resize(count);
    return Result::ok(std::move(out));
}

}  // namespace runtime::codec
