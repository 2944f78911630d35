#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// The four asset files, byte for byte.
std::vector<uint8_t> makeSnowflakeGif();
std::vector<uint8_t> makeSnowflakeIcon();
std::vector<uint8_t> makeCardGif(const std::string& fontFile);
std::vector<uint8_t> makeCarol();

}  // namespace assetgen
