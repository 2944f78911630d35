// The view's building blocks on their own: rectangle merging, built frames
// and mask tests, where a fault would hide inside the view's larger tests.
#include <gtest/gtest.h>

#include <random>

#include "runtime/view/collision_mask.h"
#include "runtime/view/compose.h"
#include "runtime/view/dirty_rects.h"
#include "runtime/view/frame_set.h"
#include "runtime/view/rect_ops.h"
#include "view_test_support.h"

namespace view_test {
namespace {

using runtime::Point;
using runtime::view::FrameSet;
using runtime::view::FrameImage;
using runtime::view::FrameKey;
using runtime::view::frameKeyFor;
using runtime::view::imagesOverlap;
using runtime::view::mergeDirtyRects;

bool covers(const std::vector<Rect>& rects, int x, int y) {
    for (const Rect& r : rects)
        if (x >= r.left && x < r.right() && y >= r.top && y < r.bottom()) return true;
    return false;
}

TEST(MergeDirtyRects, CoversEveryInputPixelAndNeverCostsMore) {
    std::mt19937 rng(3);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 200; ++round) {
        std::vector<Rect> input;
        for (int i = pick(0, 12); i > 0; --i)
            input.push_back({pick(0, 60), pick(0, 60), pick(0, 15), pick(0, 15)});
        std::vector<Rect> merged = input;
        mergeDirtyRects(merged);
        int64_t before = 0, after = 0;
        for (const Rect& r : input) before += runtime::view::area(r);
        for (const Rect& r : merged) {
            EXPECT_FALSE(r.empty());
            after += runtime::view::area(r);
        }
        EXPECT_LE(after, before);
        for (const Rect& r : input)
            for (int y = r.top; y < r.bottom(); ++y)
                for (int x = r.left; x < r.right(); ++x) ASSERT_TRUE(covers(merged, x, y));
        // Nothing left that would be cheaper merged.
        for (size_t i = 0; i < merged.size(); ++i)
            for (size_t j = i + 1; j < merged.size(); ++j)
                EXPECT_GT(runtime::view::area(runtime::view::unite(merged[i], merged[j])),
                          runtime::view::area(merged[i]) + runtime::view::area(merged[j]));
    }
}

// The quick test the compositor uses to skip objects far from a dirty rectangle.
TEST(RectOps, OverlapsAgreesWithIntersect) {
    std::mt19937 rng(3);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int i = 0; i < 20000; ++i) {
        const Rect a{pick(-5, 5), pick(-5, 5), pick(1, 6), pick(1, 6)};
        const Rect b{pick(-5, 5), pick(-5, 5), pick(1, 6), pick(1, 6)};
        ASSERT_EQ(runtime::view::overlaps(a, b), !runtime::view::intersect(a, b).empty())
            << a.left << "," << a.top << " " << a.width << "x" << a.height << " and " << b.left << "," << b.top
            << " " << b.width << "x" << b.height;
    }
}

TEST(MergeDirtyRects, Examples) {
    struct Case {
        std::vector<Rect> in, out;
    };
    for (const Case& c : {
             Case{{{0, 0, 10, 10}, {1, 1, 10, 10}}, {{0, 0, 11, 11}}},     // a moved sprite
             Case{{{0, 0, 10, 10}, {10, 0, 10, 10}}, {{0, 0, 20, 10}}},    // side by side
             Case{{{0, 0, 10, 10}, {30, 0, 10, 10}}, {{0, 0, 10, 10}, {30, 0, 10, 10}}},
             Case{{{0, 0, 40, 2}, {0, 20, 2, 40}}, {{0, 0, 40, 2}, {0, 20, 2, 40}}},  // an L
             Case{{{5, 5, 0, 3}, {}}, {}},
         }) {
        std::vector<Rect> rects = c.in;
        mergeDirtyRects(rects);
        EXPECT_EQ(rects, c.out);
    }
}

std::shared_ptr<const FrameSet> frameSet(std::shared_ptr<const Picture> picture, const FrameKey& key) {
    return std::make_shared<const FrameSet>(std::move(picture), key, kBack);
}

const FrameImage& onlyFrame(const std::shared_ptr<const FrameSet>& set) {
    EXPECT_EQ(set->frameCount(), 1);
    return set->frame(0);
}

uint32_t pixelAt(const FrameImage& f, int x, int y) {
    return f.pixels[size_t(y) * f.width + x];
}

bool maskAt(const FrameImage& f, int x, int y) {
    return (f.mask[size_t(y) * f.maskStride + x / 64] >> (x % 64)) & 1;
}

TEST(BuildFrames, RightAnglesMovePixelsExactly) {
    // 3×2 picture with six distinct colours.
    auto picture = patternPicture({"abc", "def"});
    struct Case {
        int angle;
        std::vector<std::string> expect;
    };
    for (const Case& c : {Case{0, {"abc", "def"}}, Case{90, {"da", "eb", "fc"}},
                          Case{180, {"fed", "cba"}}, Case{270, {"cf", "be", "ad"}}}) {
        const auto set = frameSet(picture, frameKeyFor(picture.get(), 1000, true, c.angle, {}));
        const FrameImage& f = onlyFrame(set);
        ASSERT_EQ(f.height, int(c.expect.size())) << c.angle;
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x)
                EXPECT_EQ(pixelAt(f, x, y), patternColour(c.expect[y][x])) << c.angle << " " << x << "," << y;
    }
}

TEST(BuildFrames, NearestNeighbourScaling) {
    struct Case {
        std::vector<std::string> picture;
        int zoom;
        std::vector<std::string> expect;
    };
    for (const Case& c : {Case{{"ab", "cd"}, 2000, {"aabb", "aabb", "ccdd", "ccdd"}},
                          Case{{"abcdef", "ghijkl", "mnopqr"}, 334, {"hk"}},  // middles of thirds
                          Case{{"abc"}, 1667, {"aabcc", "aabcc"}}}) {
        auto picture = patternPicture(c.picture);
        const auto set = frameSet(picture, frameKeyFor(picture.get(), c.zoom, false, 0, {}));
        const FrameImage& f = onlyFrame(set);
        ASSERT_EQ(f.width, int(c.expect[0].size()));
        ASSERT_EQ(f.height, int(c.expect.size()));
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x)
                EXPECT_EQ(pixelAt(f, x, y), patternColour(c.expect[y][x])) << c.zoom;
    }
}

TEST(BuildFrames, RunsAndMaskAgreeOnEveryPixel) {
    std::mt19937 rng(11);
    auto picture = std::make_shared<Picture>();
    picture->width = 150;  // rows wider than two mask words
    picture->height = 37;
    runtime::codec::Frame frame;
    for (int i = 0; i < 150 * 37; ++i)
        frame.pixels.push_back(rng() % 3 == 0 ? 0 : 0xFF000000 | (rng() % 2 ? 0x00FF00 : 0x123456));
    picture->frames.push_back(frame);
    for (int angle : {0, 33, 135}) {
        const auto set = frameSet(picture, frameKeyFor(picture.get(), 0, true, angle, 0x00FF00));
        const FrameImage& f = onlyFrame(set);
        for (int y = 0; y < f.height; ++y) {
            std::vector<bool> inRun(size_t(f.width), false);
            for (uint32_t r = f.rowRuns[y]; r < f.rowRuns[y + 1]; ++r)
                for (int x = f.runs[r].start; x < f.runs[r].start + f.runs[r].length; ++x)
                    inRun[size_t(x)] = true;
            for (int x = 0; x < f.width; ++x) ASSERT_EQ(inRun[size_t(x)], maskAt(f, x, y));
        }
    }
}

// Runs as long as a mask word or longer, starting on and off word edges.
TEST(BuildFrames, LongRunsSetWholeMaskWords) {
    struct Row {
        int from, to;  // opaque columns [from, to)
    };
    const std::vector<Row> rows = {{0, 150}, {64, 128}, {10, 140}, {63, 65}, {0, 0}, {149, 150}};
    auto picture = std::make_shared<Picture>();
    picture->width = 150;
    picture->height = int(rows.size());
    runtime::codec::Frame frame;
    for (const Row& r : rows)
        for (int x = 0; x < 150; ++x) frame.pixels.push_back(x >= r.from && x < r.to ? 0xFF123456 : 0);
    picture->frames.push_back(frame);
    const auto set = frameSet(picture, frameKeyFor(picture.get(), 1000, false, 0, {}));
    const FrameImage& f = onlyFrame(set);
    for (int y = 0; y < f.height; ++y) {
        const Row& r = rows[size_t(y)];
        const bool any = r.to > r.from;
        ASSERT_EQ(f.rowRuns[y + 1] - f.rowRuns[y], any ? 1u : 0u) << "row " << y;
        if (any) {
            EXPECT_EQ(f.runs[f.rowRuns[y]].start, r.from) << "row " << y;
            EXPECT_EQ(f.runs[f.rowRuns[y]].length, r.to - r.from) << "row " << y;
        }
        for (int x = 0; x < f.width; ++x) {
            const bool opaque = x >= r.from && x < r.to;
            ASSERT_EQ(maskAt(f, x, y), opaque) << x << "," << y;
            // Transparent pixels hold the background, ready to be copied onto it.
            ASSERT_EQ(pixelAt(f, x, y), opaque ? 0x123456u : kBack) << x << "," << y;
        }
        // Nothing beyond the picture's width, spare word included.
        for (int x = f.width; x < f.maskStride * 64; ++x) ASSERT_FALSE(maskAt(f, x, y)) << x << "," << y;
    }
}

TEST(BuildFrames, PixelsMissingFromAShortFrameAreTransparent) {
    auto picture = std::make_shared<Picture>(*solidPicture(4, 4, 0x123456));
    picture->frames[0].pixels.resize(5);
    const auto set = frameSet(picture, frameKeyFor(picture.get(), 1000, false, 0, {}));
    const FrameImage& f = onlyFrame(set);
    ASSERT_EQ(f.runs.size(), 2u);
    EXPECT_EQ(f.rowRuns, (std::vector<uint32_t>{0, 1, 2, 2, 2}));
    EXPECT_EQ(f.runs[1].length, 1);
}

TEST(Compose, DrawingOnTheFillEqualsFillingThenDrawing) {
    std::mt19937 rng(5);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    constexpr int kW = 40, kH = 30;
    const std::vector<uint32_t> backRow(kW, kBack);
    for (int round = 0; round < 300; ++round) {
        auto picture = std::make_shared<Picture>();
        picture->width = pick(1, 20);
        picture->height = pick(1, 20);
        runtime::codec::Frame frame;
        for (int i = picture->width * picture->height; i > 0; --i)
            frame.pixels.push_back(pick(0, 2) ? 0xFF000000 | uint32_t(pick(1, 9)) : 0);
        picture->frames.push_back(frame);
        const auto set = frameSet(picture, frameKeyFor(picture.get(), 1000, false, 0, {}));
        const Rect clip{pick(0, 30), pick(0, 20), pick(0, 10), pick(0, 10)};
        const int left = pick(-20, 40), top = pick(-20, 30);

        std::vector<uint32_t> twice(kW * kH, 0xABCDEF), once = twice;
        const Surface a{twice.data(), kW, kH, kW}, b{once.data(), kW, kH, kW};
        runtime::view::fillArea(a, clip, backRow.data());
        runtime::view::drawImage(a, clip, set->frame(0), left, top);
        runtime::view::drawImageOnFill(b, clip, set->frame(0), left, top, backRow.data());
        ASSERT_EQ(once, twice) << "round " << round;
    }
}

// Two images, each with one opaque pixel; do they meet at these offsets?
struct OverlapCase {
    int widthA, pixelA;
    int widthB, pixelB;
    int atB;  // B's left edge; A sits at 0
    bool expect;
};

class MaskOverlap : public ::testing::TestWithParam<OverlapCase> {};

TEST_P(MaskOverlap, SinglePixelsAcrossWordBoundaries) {
    const OverlapCase c = GetParam();
    auto line = [](int width, int opaqueAt) {
        auto p = std::make_shared<Picture>();
        p->width = width;
        p->height = 2;
        runtime::codec::Frame f;
        f.pixels.assign(size_t(width) * 2, 0);
        f.pixels[size_t(width) + opaqueAt] = 0xFF123456;  // second row
        p->frames.push_back(f);
        return p;
    };
    auto a = line(c.widthA, c.pixelA), b = line(c.widthB, c.pixelB);
    auto setA = frameSet(a, frameKeyFor(a.get(), 1000, false, 0, {}));
    auto setB = frameSet(b, frameKeyFor(b.get(), 1000, false, 0, {}));
    EXPECT_EQ(imagesOverlap(setA->frame(0), {0, 5}, setB->frame(0), {c.atB, 5}), c.expect);
    EXPECT_EQ(imagesOverlap(setB->frame(0), {c.atB, 5}, setA->frame(0), {0, 5}), c.expect);
    // One row apart they never meet.
    EXPECT_FALSE(imagesOverlap(setA->frame(0), {0, 5}, setB->frame(0), {c.atB, 6}));
}

INSTANTIATE_TEST_SUITE_P(Offsets, MaskOverlap,
                         ::testing::Values(OverlapCase{200, 130, 100, 67, 63, true},
                                           OverlapCase{200, 130, 100, 66, 63, false},
                                           OverlapCase{200, 64, 70, 0, 64, true},
                                           OverlapCase{200, 199, 70, 69, 130, true},
                                           OverlapCase{200, 199, 70, 68, 130, false},
                                           OverlapCase{65, 64, 65, 0, 64, true},
                                           OverlapCase{65, 63, 65, 0, 64, false},
                                           OverlapCase{300, 250, 300, 5, 245, true}));

}  // namespace
}  // namespace view_test
