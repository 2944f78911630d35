#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/codec/gif.h"
#include "runtime/codec/ico.h"
#include "runtime/codec/midi_file.h"
#include "tests/codec/gif_builder.h"
#include "tests/codec/test_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A small deterministic generator, so a failure names a reproducible case.
class Mutator {
public:
    explicit Mutator(uint32_t seed) : state_(seed) {}

    Bytes mutate(Bytes bytes) {
        const int edits = 1 + static_cast<int>(next() % 4);
        for (int i = 0; i < edits && !bytes.empty(); ++i) {
            const std::size_t at = next() % bytes.size();
            switch (next() % 5) {
                case 0: bytes[at] = static_cast<uint8_t>(next()); break;
                case 1: bytes[at] ^= static_cast<uint8_t>(1u << (next() % 8)); break;
                case 2: bytes.insert(bytes.begin() + static_cast<long>(at), static_cast<uint8_t>(next())); break;
                case 3: bytes.erase(bytes.begin() + static_cast<long>(at)); break;
                default: bytes[at] = next() % 2 ? 0xFF : 0x00; break;
            }
        }
        return bytes;
    }

private:
    uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    uint32_t state_;
};

// Each decoder either accepts a damaged file or refuses it with a reason;
// run under the sanitizers this also shows nothing is read out of bounds.
template <class Decode>
void survivesDamage(const Bytes& valid, Decode decode, int rounds) {
    ASSERT_TRUE(decode(valid));
    Mutator mutator(12345);
    for (int i = 0; i < rounds; ++i) {
        const Bytes damaged = mutator.mutate(valid);
        auto result = decode(damaged);
        if (!result) {
            ASSERT_FALSE(result.reason().empty()) << "round " << i;
        }
    }
}

TEST(DamagedInput, GifDecoderRefusesOrDecodes) {
    const auto decode = [](const Bytes& b) { return runtime::codec::decodeGif(b); };
    survivesDamage(codec_test::readFixture("local_tables.gif"), decode, 3000);
    survivesDamage(codec_test::readFixture("interlaced.gif"), decode, 3000);
    survivesDamage(codec_test::readFixture("code_growth.gif"), decode, 300);
}

TEST(DamagedInput, MidiParserRefusesOrParses) {
    const Bytes song = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0xE0,
                        'M', 'T', 'r', 'k', 0, 0, 0, 11, 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x2F, 0x00,
                        'M', 'T', 'r', 'k', 0, 0, 0, 20, 0x00, 0xC4, 11, 0x00, 0xF0, 0x01, 0xF7, 0x83, 0x60, 0x94, 74,
                        100, 0x81, 0x40, 74, 0, 0x00, 0xFF, 0x2F, 0x00};
    survivesDamage(song, [](const Bytes& b) { return runtime::codec::parseMidiFile(b); }, 5000);
}

TEST(DamagedInput, IcoReaderRefusesOrReads) {
    Bytes file = {0, 0, 1, 0, 1, 0, 2, 2, 0, 0, 1, 0, 32, 0, 64, 0, 0, 0, 22, 0, 0, 0,
                  40, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 1, 0, 32, 0};
    file.resize(22 + 40, 0);  // the rest of the header: no compression, no palette
    file.resize(22 + 64, 0x7F);  // pixels and mask
    const auto decode = [](const Bytes& b) {
        auto images = runtime::codec::readIco(b);
        if (!images) return images;
        for (const auto& image : images.value()) {
            auto pixels = runtime::codec::decodeIcoImage(image);
            if (!pixels && pixels.reason().empty()) ADD_FAILURE() << "refused without a reason";
        }
        return images;
    };
    survivesDamage(file, decode, 5000);
}

}  // namespace
