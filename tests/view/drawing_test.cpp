// What lands in the surface, what is invalidated, and when it is presented.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "view_test_support.h"

namespace view_test {
namespace {

char charOf(uint32_t pixel) {
    if (pixel == kBack) return '.';
    for (char c = 'a'; c <= 'z'; ++c)
        if (pixel == patternColour(c)) return c;
    return '?';
}

std::vector<std::string> drawnMap(const TestOutput& out, const Rect& r) {
    std::vector<std::string> rows;
    for (int y = r.top; y < r.bottom(); ++y) {
        std::string row;
        for (int x = r.left; x < r.right(); ++x) row += charOf(out.at(x, y));
        rows.push_back(row);
    }
    return rows;
}

// Which pixels of `r` a 1×1 probe of another type collides with: '#' for a
// contact, '.' for none. The probe makes steps of length 0.
std::vector<std::string> contactMap(ViewRig& rig, const Rect& r, int probeType) {
    int contacts = 0;
    rig.view.setCollisionHandler([&](int32_t, int32_t, int32_t, int32_t) { ++contacts; });
    std::vector<std::string> rows;
    for (int y = r.top; y < r.bottom(); ++y) {
        std::string row;
        for (int x = r.left; x < r.right(); ++x) {
            const int32_t probe = rig.view.createObject(
                sprite(solidPicture(1, 1, 0x000001), probeType), x, y, rig.now);
            rig.view.startForwardMotion(probe, 0, 1, 10, false, rig.now);
            contacts = 0;
            rig.runSteps(1);
            row += contacts ? '#' : '.';
            rig.view.destroyObject(probe);
        }
        rows.push_back(row);
    }
    rig.view.setCollisionHandler({});
    return rows;
}

std::vector<std::string> asContacts(std::vector<std::string> drawn) {
    for (std::string& row : drawn)
        for (char& c : row) c = c == '.' ? '.' : '#';
    return drawn;
}

TEST(Drawing, BackColourThenLayersThenCreationOrder) {
    ViewRig rig(10, 3);
    rig.view.createObject(sprite(solidPicture(4, 2, patternColour('a')), 0, 1), 0, 0, 0);
    rig.view.createObject(sprite(solidPicture(4, 2, patternColour('b')), 0, 0), 2, 0, 0);
    rig.view.createObject(sprite(solidPicture(4, 2, patternColour('c')), 0, 0), 3, 1, 0);
    rig.view.createObject(sprite(solidPicture(1, 1, patternColour('d')), 0, -1), 9, 1, 0);
    rig.tickAt(1);
    const std::vector<std::string> expect = {
        "aaaabb....",
        "aaaaccc..d",
        "...cccc...",
    };
    EXPECT_EQ(drawnMap(rig.output, {0, 0, 10, 3}), expect);
}

TEST(Drawing, SurfacePixelsCarryNoAlpha) {
    ViewRig rig(4, 4);
    rig.view.createObject(sprite(solidPicture(2, 2, 0x123456)), 1, 1, 0);
    rig.tickAt(1);
    EXPECT_EQ(rig.output.at(1, 1), 0x123456u);
    EXPECT_EQ(rig.output.at(0, 0), kBack);
}

struct TransparencyCase {
    const char* name;
    int zoom;
    std::optional<uint32_t> key;
    std::vector<std::string> expect;  // drawn over the back colour
};

class Transparency : public ::testing::TestWithParam<TransparencyCase> {};

// Pixels the picture marks transparent never show nor count; the key colour
// only while the picture is not scaled.
TEST_P(Transparency, WhatIsNeitherDrawnNorCounted) {
    const TransparencyCase& c = GetParam();
    ViewRig rig(12, 12);
    SpriteProps p = sprite(patternPicture({"ak.", "kak", ".ka"}), 0);
    p.zoom = c.zoom;
    p.TransparentColor = c.key;
    const int32_t id = rig.view.createObject(p, 2, 3, 0);
    rig.tickAt(1);
    View::ObjectState s;
    ASSERT_TRUE(rig.view.inspect(id, s));
    const std::vector<std::string> drawn = drawnMap(rig.output, s.bounds);
    EXPECT_EQ(drawn, c.expect);
    EXPECT_EQ(contactMap(rig, s.bounds, 1), asContacts(c.expect));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Transparency,
    ::testing::Values(
        TransparencyCase{"keyed", 0, 0x00FF00, {"a..", ".a.", "..a"}},
        TransparencyCase{"noKey", 1000, std::nullopt, {"ak.", "kak", ".ka"}},
        TransparencyCase{"otherKey", 0, 0x123456, {"ak.", "kak", ".ka"}},
        TransparencyCase{"scaledDropsTheKey", 2000, 0x00FF00,
                         {"aakk..", "aakk..", "kkaakk", "kkaakk", "..kkaa", "..kkaa"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Drawing, UncoveredCornersOfATurnedPictureAreNeitherDrawnNorCounted) {
    // Like a flake: scaled (so its key-coloured background counts), turned.
    ViewRig rig(40, 40);
    std::vector<std::string> rows(20, std::string(20, 'k'));
    for (int y = 6; y < 14; ++y) rows[y].replace(6, 8, "aaaaaaaa");
    SpriteProps p = sprite(patternPicture(rows), 0);
    p.TransparentColor = 0x00FF00;
    p.zoom = 500;
    p.angle = 180;
    p.RotateFollow = true;
    const int32_t id = rig.view.createObject(p, 10, 10, 0);
    rig.view.setDirection(id, 135);
    rig.tickAt(1);
    View::ObjectState s;
    ASSERT_TRUE(rig.view.inspect(id, s));
    ASSERT_EQ(s.bounds.width, 15);  // 29 × 0.5, rounded
    const std::vector<std::string> drawn = drawnMap(rig.output, s.bounds);
    for (auto [x, y] : {std::pair{0, 0}, {14, 0}, {0, 14}, {14, 14}, {2, 1}})
        EXPECT_EQ(drawn[y][x], '.') << x << "," << y;
    EXPECT_EQ(drawn[7][7], 'a');
    EXPECT_EQ(drawn[7][1], 'k');   // the turned square's left tip
    EXPECT_EQ(drawn[0][7], 'k');   // and its top tip
    EXPECT_EQ(contactMap(rig, s.bounds, 1), asContacts(drawn));
}

TEST(Drawing, QuietViewCostsNothing) {
    ViewRig rig(32, 32);
    rig.view.createObject(sprite(solidPicture(4, 4, 0x123456)), 3, 3, 0);
    rig.tickAt(1);
    const View::Stats before = rig.view.stats();
    rig.output.invalidated.clear();
    const int presents = rig.output.presents;
    rig.runSteps(20);
    EXPECT_TRUE(rig.output.invalidated.empty());
    EXPECT_EQ(rig.output.presents, presents);
    EXPECT_EQ(rig.view.stats().pixelsComposited, before.pixelsComposited);
}

TEST(Drawing, FullRedrawBaselineRedrawsEverythingEachStep) {
    ViewRig rig(32, 16);
    rig.view.setFullRedraw(true);
    rig.view.createObject(sprite(solidPicture(4, 4, patternColour('a'))), 3, 3, 0);
    rig.output.invalidated.clear();
    rig.tickAt(1000);  // a change, no step
    rig.tickAt(2000);  // neither
    rig.runSteps(3);   // nothing moves, but each step redraws
    EXPECT_EQ(rig.output.invalidated, std::vector<Rect>(4, Rect{0, 0, 32, 16}));
    EXPECT_EQ(charOf(rig.output.at(3, 3)), 'a');
}

TEST(Drawing, InvalidatesOldAndNewPlaceOnly) {
    struct Case {
        double x, y;
        int angle;
        Rect expect;  // after one step of 1
    };
    for (const Case& c : {Case{10, 10, 90, {10, 10, 5, 4}},    // right
                          Case{10, 10, 180, {10, 10, 4, 5}},   // down
                          Case{-2, 5, 90, {0, 5, 3, 4}},       // clipped at the left
                          Case{30, 30, 135, {30, 30, 2, 2}},   // bottom-right corner
                          Case{-9, 5, 270, {}}}) {             // nothing visible
        ViewRig rig(32, 32);
        SpriteProps p = sprite(solidPicture(4, 4, 0x123456));
        p.angle = c.angle;
        const int32_t id = rig.view.createObject(p, c.x, c.y, 0);
        rig.tickAt(1);
        rig.output.invalidated.clear();
        rig.view.startForwardMotion(id, c.angle == 135 ? 1.5 : 1, 1, 100, false, 0);
        rig.runSteps(1);
        if (c.expect.empty()) {
            EXPECT_TRUE(rig.output.invalidated.empty());
        } else {
            EXPECT_EQ(rig.output.invalidated, std::vector<Rect>{c.expect}) << c.x << "," << c.y;
        }
    }
}

TEST(Drawing, DestroyRepaintsWhatWasUnderneath) {
    ViewRig rig(8, 8);
    rig.view.createObject(sprite(solidPicture(4, 4, patternColour('a'))), 0, 0, 0);
    const int32_t top = rig.view.createObject(sprite(solidPicture(4, 4, patternColour('b'))), 2, 2, 0);
    rig.tickAt(1);
    EXPECT_EQ(charOf(rig.output.at(3, 3)), 'b');
    rig.output.invalidated.clear();
    rig.view.destroyObject(top);
    rig.tickAt(2);
    EXPECT_EQ(rig.output.invalidated, std::vector<Rect>{(Rect{2, 2, 4, 4})});
    EXPECT_EQ(drawnMap(rig.output, {0, 0, 8, 8}),
              (std::vector<std::string>{"aaaa....", "aaaa....", "aaaa....", "aaaa....",
                                        "........", "........", "........", "........"}));
}

TEST(Drawing, NearbyChangesMergeFarOnesStayApart) {
    ViewRig rig(200, 50);
    SpriteProps right = sprite(solidPicture(10, 10, 0x123456));
    right.angle = 90;
    for (double x : {0.0, 5.0, 150.0}) {
        const int32_t id = rig.view.createObject(right, x, 0, 0);
        rig.view.startForwardMotion(id, 1, 1, 100, false, 0);
    }
    rig.tickAt(1);
    rig.output.invalidated.clear();
    rig.runSteps(1);
    std::vector<Rect> rects = rig.output.invalidated;
    std::sort(rects.begin(), rects.end(), [](const Rect& a, const Rect& b) { return a.left < b.left; });
    EXPECT_EQ(rects, (std::vector<Rect>{{0, 0, 16, 10}, {150, 0, 11, 10}}));
}

TEST(Presenting, ForcedAtMostEveryHundredMilliseconds) {
    ViewRig rig(32, 8);  // the first full draw at 0 was forced
    EXPECT_EQ(rig.output.presents, 1);
    SpriteProps right = sprite(solidPicture(2, 2, 0x123456));
    right.angle = 90;
    const int32_t id = rig.view.createObject(right, 0, 0, 0);
    rig.view.startForwardMotion(id, 1, 1, 20, false, 0);
    std::vector<int64_t> forcedAtStep;
    for (int step = 1; step <= 21; ++step) {
        const int before = rig.output.presents;
        rig.runSteps(1);
        if (rig.output.presents != before) forcedAtStep.push_back(step);
    }
    // At 109.4 and 218.8 ms; by 328.1 ms (step 21) nothing moves any more.
    EXPECT_EQ(forcedAtStep, (std::vector<int64_t>{7, 14}));

    // After a quiet while, the next change is shown at once.
    rig.tickAt(2000000);
    rig.view.setDirection(id, 180);
    rig.view.startForwardMotion(id, 1, 1, 20, false, rig.now);
    const int before = rig.output.presents;
    rig.runSteps(1);
    EXPECT_EQ(rig.output.presents, before + 1);
}

TEST(Resizing, RedrawsTheWholeNewSurfaceAndKeepsObjects) {
    ViewRig rig(16, 16);
    const int32_t id = rig.view.createObject(sprite(solidPicture(4, 4, patternColour('a'))), 10, 2, 0);
    rig.tickAt(1);
    for (Size size : {Size{30, 20}, Size{12, 5}, Size{0, 0}, Size{16, 16}}) {
        rig.output.reset(size.width, size.height, 0xBADBAD);
        rig.output.invalidated.clear();
        rig.view.resize(size, rig.now);
        for (uint32_t pixel : rig.output.pixels()) EXPECT_NE(pixel, 0xBADBADu);
        if (size.width > 0) {
            EXPECT_EQ(rig.output.invalidated, std::vector<Rect>{(Rect{0, 0, size.width, size.height})});
            EXPECT_EQ(charOf(rig.output.at(10, 2)), 'a');
        }
        View::ObjectState s;
        ASSERT_TRUE(rig.view.inspect(id, s));
        EXPECT_EQ(s.x, 10.0);
    }
}

TEST(Resizing, NeverDrawsBeyondTheBufferThere) {
    ViewRig rig(8, 8);
    rig.view.createObject(sprite(solidPicture(6, 6, patternColour('a'))), 4, 4, 0);
    rig.view.resize({100, 100}, 1);  // a size the buffer does not have
    EXPECT_EQ(rig.output.invalidated.back(), (Rect{0, 0, 8, 8}));
    EXPECT_EQ(charOf(rig.output.at(7, 7)), 'a');
}

}  // namespace
}  // namespace view_test
