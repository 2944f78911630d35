// When 碰撞到物体 is raised, with what, and that handlers may destroy anything.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "view_test_support.h"

namespace view_test {
namespace {

struct Event {
    int32_t mover, left, top, other;
    int64_t step;
    bool operator==(const Event&) const = default;
};

// A rig that records every collision with the step it came in.
struct CollisionRig : ViewRig {
    CollisionRig() : ViewRig(200, 100) {
        view.setCollisionHandler([this](int32_t m, int32_t l, int32_t t, int32_t o) {
            events.push_back({m, l, t, o, stepsDone()});
            if (onEvent) onEvent(m, o);
        });
    }
    std::vector<Event> events;
    std::function<void(int32_t, int32_t)> onEvent;
};

SpriteProps heading(SpriteProps p, int angle) {
    p.angle = angle;
    return p;
}

TEST(Collision, RaisedOnTheStepOfFirstOverlapAndOncePerContact) {
    CollisionRig rig;
    const int32_t target = rig.view.createObject(sprite(solidPicture(4, 4, 0xAA0000), 1), 10, 0, 0);
    const int32_t mover =
        rig.view.createObject(heading(sprite(solidPicture(4, 4, 0x0000AA), 0), 90), 0, 0, 0);
    rig.view.startForwardMotion(mover, 1, 1, 1000, false, 0);

    rig.runSteps(6);  // right edge at 10: touching, not overlapping
    EXPECT_TRUE(rig.events.empty());
    rig.runSteps(1);
    ASSERT_EQ(rig.events.size(), 1u);
    EXPECT_EQ(rig.events[0], (Event{mover, 6, 0, target, 7}));

    rig.runSteps(6);  // x 8..13: still in contact
    EXPECT_EQ(rig.events.size(), 1u);
    rig.runSteps(1);  // x 14: clear of it, the memory is cleared

    rig.view.setDirection(mover, 270);  // back into it: a new contact
    rig.runSteps(1);
    ASSERT_EQ(rig.events.size(), 2u);
    EXPECT_EQ(rig.events[1], (Event{mover, 14, 0, target, 15}));
}

TEST(Collision, NewMotionClearsTheMemory) {
    CollisionRig rig;
    const int32_t target = rig.view.createObject(sprite(solidPicture(20, 4, 0xAA0000), 1), 0, 0, 0);
    const int32_t mover =
        rig.view.createObject(heading(sprite(solidPicture(4, 4, 0x0000AA), 0), 90), 2, 0, 0);
    rig.view.startForwardMotion(mover, 1, 1, 1000, false, 0);
    rig.runSteps(3);
    EXPECT_EQ(rig.events.size(), 1u);
    rig.view.startForwardMotion(mover, 1, 1, 1000, false, rig.now);
    rig.runSteps(1);
    ASSERT_EQ(rig.events.size(), 2u);
    EXPECT_EQ(rig.events[1].other, target);
}

TEST(Collision, PixelExactNotBoundingBoxes) {
    CollisionRig rig;
    // Bounding boxes meet two steps before the first opaque column does.
    const int32_t target = rig.view.createObject(
        sprite(patternPicture({"..a", "..a", "..a"}), 1), 10, 0, 0);
    const int32_t mover =
        rig.view.createObject(heading(sprite(solidPicture(3, 3, 0x0000AA), 0), 90), 5, 0, 0);
    rig.view.startForwardMotion(mover, 1, 1, 1000, false, 0);
    rig.runSteps(4);  // x = 9: boxes overlap by two columns of nothing
    EXPECT_TRUE(rig.events.empty());
    rig.runSteps(1);
    ASSERT_EQ(rig.events.size(), 1u);
    EXPECT_EQ(rig.events[0], (Event{mover, 9, 0, target, 5}));
}

struct PairCase {
    const char* name;
    int moverType, moverLayer;
    bool moverCollides;
    int otherType, otherLayer;
    bool otherCollides;
    bool expectEvent;
};

class CollisionPairs : public ::testing::TestWithParam<PairCase> {};

TEST_P(CollisionPairs, OnlyAllowedSameLayerDifferentType) {
    const PairCase c = GetParam();
    CollisionRig rig;
    SpriteProps other = sprite(solidPicture(6, 6, 0xAA0000), c.otherType, c.otherLayer);
    other.CollideAllowed = c.otherCollides;
    SpriteProps mover = heading(sprite(solidPicture(4, 4, 0x0000AA), c.moverType, c.moverLayer), 90);
    mover.CollideAllowed = c.moverCollides;
    rig.view.createObject(other, 4, 0, 0);
    const int32_t id = rig.view.createObject(mover, 0, 0, 0);
    rig.view.startForwardMotion(id, 1, 1, 1000, false, 0);
    rig.runSteps(5);
    EXPECT_EQ(rig.events.size(), c.expectEvent ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, CollisionPairs,
    ::testing::Values(PairCase{"differentTypes", 0, 0, true, 1, 0, true, true},
                      PairCase{"equalTypes", 1, 0, true, 1, 0, true, false},
                      PairCase{"differentLayers", 0, 0, true, 1, 1, true, false},
                      PairCase{"sameNonZeroLayer", 2, 3, true, 5, 3, true, true},
                      PairCase{"moverNotAllowed", 0, 0, false, 1, 0, true, false},
                      PairCase{"otherNotAllowed", 0, 0, true, 1, 0, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Collision, TestedAfterEachObjectsOwnStep) {
    // The chaser steps first and lands on the leader, which only then moves
    // away: a test after everyone's steps would miss this contact.
    CollisionRig rig;
    const int32_t chaser =
        rig.view.createObject(heading(sprite(solidPicture(4, 4, 0x0000AA), 0), 90), 0, 0, 0);
    const int32_t leader =
        rig.view.createObject(heading(sprite(solidPicture(4, 4, 0xAA0000), 1), 90), 4, 0, 0);
    rig.view.startForwardMotion(chaser, 1, 1, 1000, false, 0);
    rig.view.startForwardMotion(leader, 1, 1, 1000, false, 0);
    rig.runSteps(1);
    ASSERT_EQ(rig.events.size(), 1u);
    EXPECT_EQ(rig.events[0], (Event{chaser, 0, 0, leader, 1}));
}

TEST(Collision, OnlyForwardStepsRaiseIt) {
    CollisionRig rig;
    const int32_t still = rig.view.createObject(sprite(solidPicture(4, 4, 0x0000AA), 0), 0, 0, 0);
    // Created on top of another object, or turned onto it: neither raises
    // anything.
    rig.view.createObject(sprite(solidPicture(4, 4, 0xAA0000), 1), 2, 0, 0);
    SpriteProps turning = sprite(solidPicture(10, 2, 0x00AA00), 0);
    turning.RotateFollow = true;
    const int32_t turner = rig.view.createObject(turning, 0, 6, 0);
    rig.view.setDirection(turner, 90);  // now 2×10 at (4, 2)
    rig.runSteps(3);
    EXPECT_TRUE(rig.events.empty());

    // A motion in its last 200 ms makes no steps.
    rig.view.startForwardMotion(still, 1, 1, 0, false, rig.now);
    rig.runSteps(3);
    EXPECT_TRUE(rig.events.empty());
}

TEST(Collision, ReportsThePositionBeforeTheStep) {
    CollisionRig rig;
    rig.view.createObject(sprite(solidPicture(10, 10, 0xAA0000), 1), 49, 49, 0);
    const int32_t mover =
        rig.view.createObject(heading(sprite(solidPicture(4, 4, 0x0000AA), 0), 135), 44.9, 44.9, 0);
    rig.view.startForwardMotion(mover, 2, 1, 1000, false, 0);
    rig.runSteps(1);  // 44.9 + 1.414: drawn at 46, so 46..49 meets 49
    ASSERT_EQ(rig.events.size(), 1u);
    EXPECT_EQ(rig.events[0].left, 44);
    EXPECT_EQ(rig.events[0].top, 44);
}

// What the handler destroys when a given mover hits: the mover itself,
// a later mover that has not stepped yet, the target, or everything.
enum class Victim { mover, laterMover, target, everything };
struct VictimCase {
    const char* name;
    Victim victim;
    size_t events;  // the movers still there when their turn comes
};

class DestroyInHandler : public ::testing::TestWithParam<VictimCase> {};

TEST_P(DestroyInHandler, TheViewGoesOnWithTheNextObject) {
    CollisionRig rig;
    const int32_t target = rig.view.createObject(sprite(solidPicture(8, 40, 0xAA0000), 1), 10, 0, 0);
    std::array<int32_t, 4> movers{};
    for (int i = 0; i < 4; ++i) {
        movers[i] = rig.view.createObject(heading(sprite(solidPicture(4, 4, 0x0000AA), 0), 90),
                                          6, i * 10, 0);
        rig.view.startForwardMotion(movers[i], 1, 1, 1000, false, 0);
    }
    const Victim victim = GetParam().victim;
    std::vector<int32_t> gone;
    rig.onEvent = [&](int32_t m, int32_t) {
        std::vector<int32_t> kill;
        if (victim == Victim::mover) kill = {m};
        if (victim == Victim::laterMover && m == movers[0]) kill = {movers[2]};
        if (victim == Victim::target) kill = {target};
        if (victim == Victim::everything) kill = {target, movers[0], movers[1], movers[2], movers[3]};
        for (int32_t id : kill) {
            rig.view.destroyObject(id);
            rig.view.destroyObject(id);  // twice: the second finds nothing
            gone.push_back(id);
        }
        // A new object from inside the handler is fine too; it waits for the
        // next step.
        rig.view.createObject(sprite(solidPicture(2, 2, 0x00AA00), 2), 150, 90, 0);
    };
    rig.runSteps(1);  // every mover touches the target on this step

    for (int32_t id : gone) EXPECT_FALSE(rig.view.objectExists(id)) << id;
    for (int i = 0; i < 4; ++i) {
        View::ObjectState s;
        if (!rig.view.inspect(movers[i], s)) continue;
        EXPECT_EQ(s.x, 7.0) << "mover " << i << " stepped once";
    }
    EXPECT_EQ(rig.events.size(), GetParam().events);
    rig.runSteps(2);  // and the view keeps running
    EXPECT_EQ(rig.stepsDone(), 3);
}

TEST(Collision, HandlerMayRedrawTheViewAfterDestroying) {
    CollisionRig rig;
    rig.view.createObject(sprite(solidPicture(4, 4, 0xAA0000), 1), 10, 0, 0);
    const int32_t mover =
        rig.view.createObject(sprite(solidPicture(4, 4, 0x0000AA), 0), 8, 20, 0);
    rig.view.startForwardMotion(mover, 20, 1, 1000, false, 0);
    rig.onEvent = [&](int32_t m, int32_t) {
        rig.view.destroyObject(m);
        rig.view.resize({200, 100}, rig.now);
    };
    rig.runSteps(1);
    ASSERT_EQ(rig.events.size(), 1u);
    EXPECT_FALSE(rig.view.objectExists(mover));
    for (int y = 0; y < 24; ++y)
        for (int x = 8; x < 12; ++x) EXPECT_NE(rig.output.at(x, y), 0x0000AAu) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Victims, DestroyInHandler,
                         ::testing::Values(VictimCase{"mover", Victim::mover, 4},
                                           VictimCase{"laterMover", Victim::laterMover, 3},
                                           VictimCase{"target", Victim::target, 1},
                                           VictimCase{"everything", Victim::everything, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace view_test
