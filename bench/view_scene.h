#pragma once
// The program's snowfall as the view sees it, without the program: 49
// falling flakes of mixed sizes and headings over the card, on a screen-sized
// buffer, with the wind's and the spawner's view calls.
#include <cstdint>
#include <random>
#include <vector>

#include "runtime/view/view.h"

namespace bench {

// The back-end's back buffer; invalidating is only counted, as marking a
// window region is next to free.
class BufferOutput final : public runtime::view::ViewOutput {
public:
    explicit BufferOutput(runtime::Size size);
    runtime::Surface surface() override;
    void invalidate(const runtime::Rect&) override { ++invalidated; }
    void presentNow() override {}

    int64_t invalidated = 0;

private:
    runtime::Size size_;
    std::vector<uint32_t> pixels_;
};

class ViewScene {
public:
    static constexpr int kFlakes = 49;

    ViewScene(runtime::Size screen, uint32_t seed);

    // All flakes placed anew across the screen, shown; runs no step.
    void reset();
    // One view step: the view is ticked at the next step time.
    void step();
    // A gust: 12 flakes turned to one angle, as the wind handler does.
    void gust();
    // A spawner tick: the oldest flake replaced by a new one above the screen.
    void spawn();

    runtime::view::View& view() { return view_; }
    int stepsSinceReset() const { return stepsSinceReset_; }

private:
    int randomInt(int low, int high);
    int windAngle();
    int32_t createFlake(double x, double y, int angle);

    runtime::Size screen_;
    BufferOutput output_;
    runtime::view::View view_;
    std::mt19937 random_;
    runtime::view::SpriteProps card_;
    runtime::view::SpriteProps flake_;
    std::vector<int32_t> flakes_;   // oldest first
    int32_t cardId_ = 0;
    int64_t now_ = 0;
    int stepsSinceReset_ = 0;
};

}  // namespace bench
