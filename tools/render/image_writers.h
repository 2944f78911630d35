#pragma once
// Minimal writers for what the render tool saves: PNG frames and an animated
// GIF. Pixels are 0x00RRGGBB, rows top first.
#include <cstdint>
#include <string>
#include <vector>

namespace render {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

bool writePng(const std::string& path, const Image& image);
// Frames share one palette of 256 colours chosen by median cut; delay in
// hundredths of a second; loops for ever.
bool writeGif(const std::string& path, const std::vector<Image>& frames, int delayCs);

}  // namespace render
