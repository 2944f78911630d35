#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "runtime/codec/decoded.h"

namespace runtime::codec {

// Expands the LZW data of one GIF image (its sub-blocks joined) into exactly
// `count` colour indices. Data past the last pixel is ignored; data that ends
// before it, or holds a code the table cannot have yet, is refused.
Decoded<std::vector<uint8_t>> decodeGifLzw(int minCodeSize, std::span<const uint8_t> data,
                                           std::size_t count);

}  // namespace runtime::codec
