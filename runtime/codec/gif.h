#pragma once
#include <cstdint>
#include <span>

#include "runtime/codec/decoded.h"
#include "runtime/codec/picture.h"

namespace runtime::codec {

// Decodes a GIF87a/GIF89a file into frames composed onto its logical screen.
Decoded<Picture> decodeGif(std::span<const uint8_t> bytes);

}  // namespace runtime::codec
