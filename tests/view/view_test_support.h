#pragma once
// A back buffer that records what the view asks of it, small pictures made
// in code, and a clock that ticks the view the way the back-end does.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/codec/picture.h"
#include "runtime/view/view.h"

namespace view_test {

using runtime::Rect;
using runtime::Size;
using runtime::Surface;
using runtime::codec::Picture;
using runtime::view::SpriteProps;
using runtime::view::View;

constexpr uint32_t kBack = 0xF0F0F0;
constexpr int64_t kStep = View::kStepUs;

class TestOutput : public runtime::view::ViewOutput {
public:
    TestOutput(int width, int height) { reset(width, height, 0x00DEAD); }

    // New size with every pixel set to `fill`, as a back-end's fresh buffer.
    void reset(int width, int height, uint32_t fill) {
        width_ = width;
        height_ = height;
        pixels_.assign(size_t(width) * height, fill);
    }
    Surface surface() override { return {pixels_.data(), width_, height_, width_}; }
    void invalidate(const Rect& area) override { invalidated.push_back(area); }
    void presentNow() override { ++presents; }

    uint32_t at(int x, int y) const { return pixels_[size_t(y) * width_ + x]; }
    const std::vector<uint32_t>& pixels() const { return pixels_; }

    std::vector<Rect> invalidated;
    int presents = 0;

private:
    int width_ = 0, height_ = 0;
    std::vector<uint32_t> pixels_;
};

std::shared_ptr<const Picture> solidPicture(int width, int height, uint32_t rgb,
                                            int frames = 1, int delayMs = 0);

// One frame from rows of characters: '.' transparent (alpha 0), 'k' the
// colour 0x00FF00 (used as a key colour), any other letter a colour of its own.
std::shared_ptr<const Picture> patternPicture(const std::vector<std::string>& rows);
uint32_t patternColour(char c);

// A sprite that collides, not turned, not scaled.
SpriteProps sprite(std::shared_ptr<const Picture> picture, int type = 0, int layer = 0);

// A view on a TestOutput with the time base set at 0: the n-th step runs at
// n·kStep.
struct ViewRig {
    explicit ViewRig(int width = 64, int height = 48);
    void tickAt(int64_t us);
    void runSteps(int n);  // ticks at the next n step times
    int64_t stepsDone() const { return view.stats().steps; }

    TestOutput output;
    View view;
    int64_t now = 0;
};

}  // namespace view_test
