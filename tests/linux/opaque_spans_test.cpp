#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/opaque_spans.h"

namespace {

using platform::linux_x11::appendOpaqueRects;
using runtime::Rect;

constexpr uint32_t kKey = 0xF0F0F0;

// A picture drawn in text: '.' is the key, anything else opaque.
struct Picture {
    explicit Picture(const std::vector<std::string>& rows) {
        height = int(rows.size());
        width = int(rows[0].size());
        for (const std::string& row : rows)
            for (char c : row) pixels.push_back(c == '.' ? kKey : 0x102030);
    }
    runtime::Surface surface() { return {pixels.data(), width, height, width}; }
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
};

// Which pixels the rectangles cover, as text again.
std::vector<std::string> covered(const std::vector<Rect>& rects, int width, int height) {
    std::vector<std::string> rows(height, std::string(width, '.'));
    for (const Rect& r : rects)
        for (int y = r.top; y < r.bottom(); ++y)
            for (int x = r.left; x < r.right(); ++x) {
                EXPECT_EQ(rows[y][x], '.') << "covered twice at " << x << "," << y;
                rows[y][x] = '#';
            }
    return rows;
}

TEST(OpaqueRects, CoverExactlyTheOpaquePixelsWithRowsMergedWhereTheyAgree) {
    struct Case {
        const char* name;
        std::vector<std::string> picture;
        std::size_t rects;   // the fewest that the rows allow
    };
    const std::vector<Case> cases = {
        {"empty", {"....", "...."}, 0},
        {"full", {"####", "####", "####"}, 1},
        {"a column of equal runs", {".##.", ".##.", ".##."}, 1},
        {"a diamond", {"..#..", ".###.", "#####", ".###.", "..#.."}, 5},
        {"two runs a row", {"#..#", "#..#", "####"}, 3},
        {"a run that changes and comes back", {".##.", "###.", ".##."}, 3},
    };
    for (const Case& c : cases) {
        Picture p(c.picture);
        std::vector<Rect> rects;
        appendOpaqueRects(p.surface(), {0, 0, p.width, p.height}, kKey, 0, 0, rects);
        std::vector<std::string> expected = c.picture;
        for (std::string& row : expected)
            for (char& ch : row) ch = ch == '.' ? '.' : '#';
        EXPECT_EQ(covered(rects, p.width, p.height), expected) << c.name;
        EXPECT_EQ(rects.size(), c.rects) << c.name;
    }
}

TEST(OpaqueRects, StayInsideTheAreaAndAreMovedToTheWindow) {
    Picture p({"####", "####", "####", "####"});
    std::vector<Rect> rects;
    appendOpaqueRects(p.surface(), {1, 1, 2, 2}, kKey, 10, 20, rects);
    EXPECT_EQ(rects, (std::vector<Rect>{{11, 21, 2, 2}}));

    rects.clear();
    Picture keyed({"....", "...."});
    appendOpaqueRects(keyed.surface(), {0, 0, 4, 2}, std::nullopt, 0, 0, rects);
    EXPECT_EQ(rects, (std::vector<Rect>{{0, 0, 4, 2}})) << "with no key every pixel is opaque";
}

TEST(MergeOverlapping, JoinsChainsOfOverlapsAndLeavesTouchingRectanglesApart) {
    // A falling flake's areas over three steps, a separate one, and one that
    // only touches the first.
    std::vector<Rect> rects = {{10, 10, 20, 20}, {10, 12, 20, 20}, {10, 14, 20, 20}, {100, 100, 5, 5}, {30, 10, 5, 5}};
    platform::linux_x11::mergeOverlapping(rects);
    EXPECT_EQ(rects, (std::vector<Rect>{{10, 10, 20, 24}, {100, 100, 5, 5}, {30, 10, 5, 5}}));

    // Overlaps that only appear once two others have been joined.
    rects = {{0, 0, 10, 10}, {20, 0, 10, 10}, {5, 0, 20, 2}};
    platform::linux_x11::mergeOverlapping(rects);
    EXPECT_EQ(rects, (std::vector<Rect>{{0, 0, 30, 10}}));
}

}  // namespace
