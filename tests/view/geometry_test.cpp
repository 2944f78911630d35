// Where objects go and how large their pictures are.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "view_test_support.h"

namespace view_test {
namespace {

using ObjectState = View::ObjectState;

ObjectState stateOf(const View& view, int32_t id) {
    ObjectState s;
    EXPECT_TRUE(view.inspect(id, s));
    return s;
}

struct StepCase {
    int angle;
    double step;
    double dx, dy;  // expected move per step
};

class StepGeometry : public ::testing::TestWithParam<StepCase> {};

TEST_P(StepGeometry, MovesAlongItsDirection) {
    const StepCase c = GetParam();
    ViewRig rig;
    SpriteProps props = sprite(solidPicture(4, 4, 0x123456));
    props.angle = c.angle;
    const int32_t id = rig.view.createObject(props, 20, 20, 0);
    rig.view.startForwardMotion(id, c.step, 1, 1000, false, 0);
    rig.runSteps(3);
    const ObjectState s = stateOf(rig.view, id);
    EXPECT_NEAR(s.x, 20 + 3 * c.dx, 1e-9);
    EXPECT_NEAR(s.y, 20 + 3 * c.dy, 1e-9);
    EXPECT_EQ(s.bounds.left, int(std::trunc(s.x)));
    EXPECT_EQ(s.bounds.top, int(std::trunc(s.y)));
}

const double kHalfRoot2 = std::numbers::sqrt2 / 2;
INSTANTIATE_TEST_SUITE_P(
    Angles, StepGeometry,
    ::testing::Values(StepCase{0, 1, 0, -1}, StepCase{90, 2, 2, 0}, StepCase{180, 1, 0, 1},
                      StepCase{270, 2, -2, 0}, StepCase{360 + 180, 1, 0, 1},
                      StepCase{-90, 1, -1, 0}, StepCase{30, 1, 0.5, -std::sqrt(3.0) / 2},
                      StepCase{135, 2, 2 * kHalfRoot2, 2 * kHalfRoot2},
                      StepCase{200, 1.5, 1.5 * std::sin(200 * std::numbers::pi / 180),
                               -1.5 * std::cos(200 * std::numbers::pi / 180)}));

TEST(StepGeometry, StraightMotionDoesNotDriftSideways) {
    // 2000 steps down must leave x exactly where it was, or truncation
    // would shift the flake by a pixel.
    ViewRig rig;
    SpriteProps props = sprite(solidPicture(2, 2, 0x123456));
    props.angle = 180;
    const int32_t id = rig.view.createObject(props, 7, -50, 0);
    rig.view.startForwardMotion(id, 1, 1, 2000, false, 0);
    for (int i = 0; i < 500; ++i) rig.runSteps(4);
    const ObjectState s = stateOf(rig.view, id);
    EXPECT_EQ(s.x, 7.0);
    EXPECT_EQ(s.y, 1950.0);
}

TEST(StepGeometry, PositionsTruncateTowardZero) {
    ViewRig rig;
    SpriteProps props = sprite(solidPicture(2, 2, 0x123456));
    props.angle = 180;
    const int32_t id = rig.view.createObject(props, -3.75, -1.0, 0);
    rig.view.startForwardMotion(id, 0.5, 1, 1000, false, 0);
    rig.runSteps(1);
    const ObjectState s = stateOf(rig.view, id);
    EXPECT_EQ(s.y, -0.5);
    EXPECT_EQ(s.bounds.left, -3);
    EXPECT_EQ(s.bounds.top, 0);
}

struct SizeCase {
    int width, height, zoom;
    int expectWidth, expectHeight;
};

class ScaledSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ScaledSize, RoundsTheScaledSides) {
    const SizeCase c = GetParam();
    ViewRig rig;
    SpriteProps props = sprite(solidPicture(c.width, c.height, 0x123456));
    props.zoom = c.zoom;
    const Rect b = stateOf(rig.view, rig.view.createObject(props, 3, 4, 0)).bounds;
    EXPECT_EQ(b, (Rect{3, 4, c.expectWidth, c.expectHeight}));
}

INSTANTIATE_TEST_SUITE_P(Zooms, ScaledSize,
                         ::testing::Values(SizeCase{100, 100, 150, 15, 15},
                                           SizeCase{100, 100, 500, 50, 50},
                                           SizeCase{100, 100, 285, 29, 29},   // 28.5: half up, exactly
                                           SizeCase{100, 100, 1000, 100, 100},
                                           SizeCase{300, 80, 0, 300, 80},
                                           SizeCase{300, 80, -20, 300, 80},
                                           SizeCase{7, 3, 1500, 11, 5},   // 10.5, 4.5 round up
                                           SizeCase{33, 10, 333, 11, 3}));

struct TurnCase {
    int width, height, zoom, angle;
    int expectWidth, expectHeight;
};

class TurnedBox : public ::testing::TestWithParam<TurnCase> {};

TEST_P(TurnedBox, GrowsAboutTheKeptCentre) {
    const TurnCase c = GetParam();
    ViewRig rig;
    SpriteProps props = sprite(solidPicture(c.width, c.height, 0x123456));
    props.zoom = c.zoom;
    props.angle = 180;
    props.RotateFollow = true;
    const int32_t id = rig.view.createObject(props, 200, 300, 0);
    const ObjectState before = stateOf(rig.view, id);
    rig.view.setDirection(id, c.angle);
    const ObjectState after = stateOf(rig.view, id);

    EXPECT_EQ(after.bounds.width, c.expectWidth);
    EXPECT_EQ(after.bounds.height, c.expectHeight);
    EXPECT_DOUBLE_EQ(after.x + after.bounds.width / 2.0, before.x + before.bounds.width / 2.0);
    EXPECT_DOUBLE_EQ(after.y + after.bounds.height / 2.0, before.y + before.bounds.height / 2.0);
    EXPECT_EQ(after.pictureBuilds, 1);
    EXPECT_EQ(after.angle, c.angle);
}

INSTANTIATE_TEST_SUITE_P(
    Angles, TurnedBox,
    ::testing::Values(TurnCase{100, 100, 0, 135, 142, 142}, TurnCase{100, 100, 0, 170, 116, 116},
                      TurnCase{100, 100, 0, 190, 116, 116}, TurnCase{100, 100, 0, 220, 141, 141},
                      TurnCase{100, 100, 500, 135, 71, 71}, TurnCase{100, 100, 150, 220, 21, 21},
                      TurnCase{100, 40, 0, 90, 40, 100}, TurnCase{100, 40, 0, 0, 100, 40},
                      TurnCase{100, 40, 0, 45, 99, 99}));

TEST(TurnedBox, WithoutRotateFollowOnlyTheHeadingChanges) {
    ViewRig rig;
    SpriteProps props = sprite(solidPicture(30, 10, 0x123456));
    props.angle = 180;
    const int32_t id = rig.view.createObject(props, 5, 5, 0);
    rig.view.setDirection(id, 90);
    const ObjectState s = stateOf(rig.view, id);
    EXPECT_EQ(s.bounds, (Rect{5, 5, 30, 10}));
    EXPECT_EQ(s.angle, 90);
    EXPECT_EQ(s.pictureBuilds, 0);
    rig.view.startForwardMotion(id, 1, 1, 100, false, 0);
    rig.runSteps(1);
    EXPECT_EQ(stateOf(rig.view, id).x, 6.0);
}

TEST(TurnedBox, CreatedAlreadyTurnedByItsAngle) {
    ViewRig rig;
    SpriteProps props = sprite(solidPicture(100, 40, 0x123456));
    props.angle = 90;
    props.RotateFollow = true;
    const ObjectState s = stateOf(rig.view, rig.view.createObject(props, 1, 2, 0));
    EXPECT_EQ(s.bounds, (Rect{1, 2, 40, 100}));
    EXPECT_EQ(s.pictureBuilds, 0);
}

TEST(TurnedBox, SameAngleRebuildsNothing) {
    ViewRig rig;
    SpriteProps props = sprite(solidPicture(100, 100, 0x123456));
    props.zoom = 300;
    props.angle = 180;
    props.RotateFollow = true;
    const int32_t id = rig.view.createObject(props, 10, 10, 0);
    const int64_t built = rig.view.stats().frameSetsBuilt;
    for (int angle : {180, 540, -180}) rig.view.setDirection(id, angle);
    EXPECT_EQ(stateOf(rig.view, id).pictureBuilds, 0);
    EXPECT_EQ(rig.view.stats().frameSetsBuilt, built);

    rig.view.setDirection(id, 150);
    rig.view.setDirection(id, 150 - 360);
    EXPECT_EQ(stateOf(rig.view, id).pictureBuilds, 1);
    EXPECT_EQ(stateOf(rig.view, id).angle, 150);
}

}  // namespace
}  // namespace view_test
