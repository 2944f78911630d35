#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace codec_test {

// Writes small GIF files block by block. Image data uses literal codes only,
// with a clear code before the table would make the codes wider: the
// plainest stream a decoder has to accept, and easy to check by eye.
class GifBuilder {
public:
    GifBuilder(int width, int height, std::vector<uint32_t> globalTable);

    GifBuilder& control(int delayCs, int disposal, int transparentIndex);
    GifBuilder& image(int left, int top, int width, int height, const std::vector<uint8_t>& indices,
                      const std::vector<uint32_t>& localTable = {});
    GifBuilder& comment(const std::string& text);
    GifBuilder& loopForever();
    std::vector<uint8_t> bytes() const;  // with the trailer

private:
    std::vector<uint8_t> out_;
};

// The image data of `indices` as literal LZW codes, in sub-blocks.
std::vector<uint8_t> literalLzw(int minCodeSize, const std::vector<uint8_t>& indices);

}  // namespace codec_test
