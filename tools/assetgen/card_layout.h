#pragma once

namespace assetgen::card {

// The card's picture, and the one area in which its frames differ: the
// string of lights on the t.
constexpr int kWidth = 300;
constexpr int kHeight = 80;
constexpr int kFrames = 3;
constexpr int kDelayCs = 50;
constexpr int kTransparentIndex = 254;

struct Area {
    int left, top, width, height;
};
constexpr Area kLightsArea = {184, 38, 44, 20};

// The program's window is see-through wherever it shows this colour.
constexpr unsigned kColourKey = 0xF0F0F0;

}  // namespace assetgen::card
