#pragma once
#include <cstdint>
#include <span>

namespace assets {

// The files the program carries inside it, byte for byte.
std::span<const uint8_t> carol();          // Standard MIDI File
std::span<const uint8_t> snowflakeIcon();  // .ico, one 64x64 image
std::span<const uint8_t> snowflakeGif();   // GIF89a, the falling flake
std::span<const uint8_t> cardGif();        // GIF89a, the card

}  // namespace assets
