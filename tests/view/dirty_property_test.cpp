// The strong check of the dirty rectangles: after any sequence of changes
// the surface equals a full redraw, and every pixel that changed lies in a
// rectangle the view invalidated.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "view_test_support.h"

namespace view_test {
namespace {

// One scripted scene played on two views at once.
class TwinViews {
public:
    TwinViews(int width, int height)
        : dirtyOut_(width, height), fullOut_(width, height), dirty_(dirtyOut_, kBack),
          full_(fullOut_, kBack) {
        full_.setFullRedraw(true);
        // Handlers that depend only on ids act alike on both views.
        for (View* v : {&dirty_, &full_})
            v->setCollisionHandler([v](int32_t mover, int32_t, int32_t, int32_t other) {
                if ((mover + other) % 3 == 0) v->destroyObject(mover);
                if ((mover + other) % 5 == 0) v->destroyObject(other);
            });
    }

    template <class F>
    void both(F&& f) {
        f(dirty_);
        f(full_);
    }

    // Ticks both and checks the property; false on the first mismatch.
    ::testing::AssertionResult tickAndCompare(int64_t now) {
        const std::vector<uint32_t> before = dirtyOut_.pixels();
        dirtyOut_.invalidated.clear();
        both([&](View& v) { v.tick(now); });
        const Surface s = dirtyOut_.surface();
        for (int y = 0; y < s.height; ++y) {
            for (int x = 0; x < s.width; ++x) {
                const size_t i = size_t(y) * s.width + x;
                if (dirtyOut_.pixels()[i] != fullOut_.pixels()[i])
                    return ::testing::AssertionFailure()
                           << "pixel " << x << "," << y << " differs from a full redraw at " << now;
                if (dirtyOut_.pixels()[i] != before[i] && !invalidated(x, y))
                    return ::testing::AssertionFailure()
                           << "pixel " << x << "," << y << " changed but was not invalidated";
            }
        }
        if (dirty_.objectCount() != full_.objectCount())
            return ::testing::AssertionFailure() << "the two views hold different objects";
        return ::testing::AssertionSuccess();
    }

    const View& dirtyView() const { return dirty_; }

private:
    bool invalidated(int x, int y) const {
        for (const Rect& r : dirtyOut_.invalidated)
            if (x >= r.left && x < r.right() && y >= r.top && y < r.bottom()) return true;
        return false;
    }

    TestOutput dirtyOut_, fullOut_;
    View dirty_, full_;
};

std::vector<std::shared_ptr<const Picture>> somePictures() {
    auto animated = std::make_shared<Picture>(*solidPicture(9, 7, patternColour('c'), 3, 0));
    animated->frames[1].pixels.assign(63, 0xFF000000 | patternColour('d'));
    animated->frames[2].pixels[10] = 0;  // a hole in the last frame
    animated->frames[2].delayMs = 30;
    return {
        solidPicture(6, 6, patternColour('a')),
        patternPicture({"..bb..", ".bkkb.", "bkkkkb", ".bkkb.", "..bb.."}),
        patternPicture({"e.e.e.e", ".e.e.e.", "e.e.e.e"}),
        animated,
        solidPicture(20, 3, patternColour('f')),
    };
}

class DirtyRects : public ::testing::TestWithParam<uint32_t> {};

TEST_P(DirtyRects, SurfaceAlwaysEqualsAFullRedraw) {
    std::mt19937 rng(GetParam());
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const auto pictures = somePictures();
    TwinViews twins(61, 47);
    std::vector<int32_t> ids;
    int64_t now = 0;
    ASSERT_TRUE(twins.tickAndCompare(now));

    for (int round = 0; round < 250; ++round) {
        const int ops = pick(0, 3);
        for (int op = 0; op < ops; ++op) {
            const int what = pick(0, 9);
            const int32_t some = ids.empty() ? 0 : ids[size_t(pick(0, int(ids.size()) - 1))];
            if (what <= 2 || ids.size() < 3) {
                SpriteProps p = sprite(pictures[size_t(pick(0, int(pictures.size()) - 1))],
                                       pick(0, 1), pick(-1, 1));
                const int zooms[] = {0, 1000, 500, 1500, 2500, 333};
                p.zoom = zooms[pick(0, 5)];
                p.angle = pick(0, 359);
                p.RotateFollow = pick(0, 1) == 1;
                p.PlayGIF = pick(0, 1) == 1;
                if (pick(0, 1)) p.TransparentColor = patternColour('k');
                const double x = pick(-300, 650) / 10.0, y = pick(-300, 500) / 10.0;
                int32_t made = 0;
                twins.both([&](View& v) { made = v.createObject(p, x, y, now); });
                ids.push_back(made);
                const double step = pick(0, 30) / 10.0;
                const int distance = pick(0, 80);
                const bool destroyAtEnd = pick(0, 1) == 1;
                twins.both([&](View& v) {
                    v.startForwardMotion(made, step, 1, distance, destroyAtEnd, now);
                });
            } else if (what <= 5) {
                const int angle = pick(-400, 400);
                twins.both([&](View& v) { v.setDirection(some, angle); });
            } else if (what == 6) {
                twins.both([&](View& v) { v.destroyObject(some); });
            } else if (what == 7) {
                twins.both([&](View& v) { v.stopForwardMotion(some); });
            } else {
                const double step = pick(-20, 20) / 10.0;
                twins.both([&](View& v) { v.startForwardMotion(some, step, 1, 40, false, now); });
            }
        }
        now += pick(0, 4) * 5000 + pick(0, 3000);
        ASSERT_TRUE(twins.tickAndCompare(now)) << "round " << round;
    }
    EXPECT_GT(twins.dirtyView().stats().steps, 100);
}

INSTANTIATE_TEST_SUITE_P(Seeds, DirtyRects, ::testing::Values(1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u));

TEST(DirtyRects, FortyNineFlakesCostLittleMoreThanTheMinimum) {
    // The card's own scene: flakes of 15..50 px falling and spinning over a
    // full-HD view. The pixels composited stay close to the pixels that
    // changed, and far from the screen's area.
    TestOutput out(1920, 1080);
    View view(out, kBack);
    view.tick(0);
    auto flakePicture = solidPicture(100, 100, 0xFEFEFE, 6, 100);
    std::mt19937 rng(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    SpriteProps card = sprite(solidPicture(300, 80, 0xAA2222), 1);
    card.PlayGIF = true;
    view.createObject(card, 1620, 980, 0);
    std::vector<int32_t> flakes;
    for (int i = 0; i < 49; ++i) {
        SpriteProps p = sprite(flakePicture, 0);
        p.zoom = pick(150, 500);
        p.angle = 180;
        p.RotateFollow = true;
        p.PlayGIF = true;
        flakes.push_back(view.createObject(p, pick(1, 1920), pick(-50, 1000), 0));
        view.setDirection(flakes.back(), pick(0, 3) ? 180 : pick(135, 220));
        view.startForwardMotion(flakes.back(), pick(1, 2), 1, 2000, true, 0);
    }
    view.tick(kStep);
    const View::Stats start = view.stats();
    for (int step = 2; step <= 200; ++step) view.tick(step * kStep);
    const View::Stats end = view.stats();
    const double composited = double(end.pixelsComposited - start.pixelsComposited);
    const double changed = double(end.pixelsChanged - start.pixelsChanged);
    EXPECT_EQ(end.steps - start.steps, 199);
    EXPECT_GT(changed, 0);
    EXPECT_LE(composited, 1.25 * changed);
    EXPECT_LT(composited / 199, 1920.0 * 1080 / 20);
}

}  // namespace
}  // namespace view_test
