#pragma once
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace codec_test {

inline std::vector<uint8_t> readFixture(const std::string& name) {
    std::ifstream in(std::string(CODEC_FIXTURES) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace codec_test
