#include "assets/assets.h"

namespace assets {
namespace constants {

extern const uint8_t carol[];
extern const uint8_t snowflakeIcon[];
extern const uint8_t snowflakeGif[];
extern const uint8_t cardGif[];

}  // namespace constants

namespace {

// A byte constant starts with its dimension count and its length, both
// little-endian 32-bit; the file follows.
std::span<const uint8_t> fileOf(const uint8_t* constant) {
    const uint32_t length = uint32_t{constant[4]} | uint32_t{constant[5]} << 8 |
                            uint32_t{constant[6]} << 16 | uint32_t{constant[7]} << 24;
    return {constant + 8, length};
}

}  // namespace

std::span<const uint8_t> carol() { return fileOf(constants::carol); }
std::span<const uint8_t> snowflakeIcon() { return fileOf(constants::snowflakeIcon); }
std::span<const uint8_t> snowflakeGif() { return fileOf(constants::snowflakeGif); }
std::span<const uint8_t> cardGif() { return fileOf(constants::cardGif); }

}  // namespace assets
