// Ids, templates, forward motion and its end, and the view's clock.
#include <gtest/gtest.h>

#include <functional>

#include "view_test_support.h"

namespace view_test {
namespace {

SpriteProps downward(std::shared_ptr<const Picture> picture) {
    SpriteProps p = sprite(std::move(picture));
    p.angle = 180;
    return p;
}

TEST(Objects, IdsCountUpAndAreNeverReused) {
    ViewRig rig;
    const SpriteProps p = sprite(solidPicture(2, 2, 0x123456));
    EXPECT_EQ(rig.view.createObject(p, 0, 0, 0), 1);
    EXPECT_EQ(rig.view.createObject(p, 0, 0, 0), 2);
    rig.view.destroyObject(2);
    rig.view.destroyObject(1);
    EXPECT_EQ(rig.view.createObject(p, 0, 0, 0), 3);
    EXPECT_FALSE(rig.view.objectExists(1));
    EXPECT_FALSE(rig.view.objectExists(2));
    EXPECT_TRUE(rig.view.objectExists(3));
    EXPECT_EQ(rig.view.objectCount(), 1);
}

struct StaleCase {
    const char* name;
    std::function<void(View&, int32_t)> call;
};

class StaleIds : public ::testing::TestWithParam<StaleCase> {};

TEST_P(StaleIds, DoNothing) {
    ViewRig rig;
    const int32_t live = rig.view.createObject(downward(solidPicture(2, 2, 0x123456)), 5, 5, 0);
    rig.view.startForwardMotion(live, 1, 1, 100, true, 0);
    const int32_t dead = rig.view.createObject(sprite(solidPicture(2, 2, 0x123456)), 9, 9, 0);
    rig.view.destroyObject(dead);
    for (int32_t id : {0, -1, dead, 99}) {
        GetParam().call(rig.view, id);
        EXPECT_FALSE(rig.view.objectExists(id));
    }
    View::ObjectState s;
    ASSERT_TRUE(rig.view.inspect(live, s));
    EXPECT_EQ(s.y, 5.0);
    EXPECT_TRUE(s.moving);
    EXPECT_EQ(rig.view.objectCount(), 1);
    EXPECT_FALSE(rig.view.inspect(dead, s));
}

INSTANTIATE_TEST_SUITE_P(
    Operations, StaleIds,
    ::testing::Values(
        StaleCase{"destroy", [](View& v, int32_t id) { v.destroyObject(id); }},
        StaleCase{"stop", [](View& v, int32_t id) { v.stopForwardMotion(id); }},
        StaleCase{"start", [](View& v, int32_t id) { v.startForwardMotion(id, 1, 1, 9, true, 0); }},
        StaleCase{"turn", [](View& v, int32_t id) { v.setDirection(id, 90); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Objects, TemplateWritesLeaveExistingObjectsAlone) {
    ViewRig rig;
    SpriteProps flake = sprite(solidPicture(100, 100, 0xFEFEFE));
    flake.zoom = 500;
    const int32_t first = rig.view.createObject(flake, 0, 0, 0);
    flake.zoom = 150;
    flake.picture = solidPicture(10, 10, 0x111111);
    const int32_t second = rig.view.createObject(flake, 0, 0, 0);
    View::ObjectState s;
    ASSERT_TRUE(rig.view.inspect(first, s));
    EXPECT_EQ(s.bounds.width, 50);
    ASSERT_TRUE(rig.view.inspect(second, s));
    EXPECT_EQ(s.bounds.width, 2);
}

// Steps of 2 over a distance of 10: five steps, then 200 ms.
struct EndRig : ViewRig {
    explicit EndRig(bool destroyAtEnd, double distance = 10) {
        id = view.createObject(downward(solidPicture(2, 2, 0x123456)), 0, 0, 0);
        view.startForwardMotion(id, 2, 1, distance, destroyAtEnd, 0);
    }
    double y() {
        View::ObjectState s;
        EXPECT_TRUE(view.inspect(id, s));
        return s.y;
    }
    int32_t id = 0;
};

TEST(Motion, DestroyedTwoHundredMillisecondsAfterTheDistance) {
    EndRig rig(true);
    rig.runSteps(5);
    EXPECT_EQ(rig.y(), 10.0);
    const int64_t usedUp = 5 * kStep;
    rig.tickAt(usedUp + 199999);
    EXPECT_TRUE(rig.view.objectExists(rig.id));
    EXPECT_EQ(rig.y(), 10.0) << "no step beyond the distance";
    rig.tickAt(usedUp + 200000 + kStep);
    EXPECT_FALSE(rig.view.objectExists(rig.id));
}

TEST(Motion, LastStepIsCutToTheDistanceLeft) {
    EndRig rig(false, 5);
    rig.runSteps(6);
    EXPECT_EQ(rig.y(), 5.0);
}

TEST(Motion, WithoutDestroyAtEndItOnlyStops) {
    EndRig rig(false);
    rig.runSteps(5 + 13);  // the 13th step after the last move is 203 ms on
    View::ObjectState s;
    ASSERT_TRUE(rig.view.inspect(rig.id, s));
    EXPECT_FALSE(s.moving);
    EXPECT_EQ(s.y, 10.0);
}

TEST(Motion, StopDestroysAtOnceWithDestroyAtEnd) {
    for (bool destroyAtEnd : {true, false}) {
        EndRig rig(destroyAtEnd);
        rig.runSteps(2);
        rig.view.stopForwardMotion(rig.id);
        EXPECT_EQ(rig.view.objectExists(rig.id), !destroyAtEnd);
        if (destroyAtEnd) continue;
        rig.runSteps(2);
        EXPECT_EQ(rig.y(), 4.0);
        rig.view.stopForwardMotion(rig.id);  // no motion left: nothing
        EXPECT_TRUE(rig.view.objectExists(rig.id));
    }
}

TEST(Motion, StopDuringTheFinalDelayStillDestroys) {
    EndRig rig(true);
    rig.runSteps(6);
    View::ObjectState s;
    ASSERT_TRUE(rig.view.inspect(rig.id, s));
    EXPECT_TRUE(s.moving);
    rig.view.stopForwardMotion(rig.id);
    EXPECT_FALSE(rig.view.objectExists(rig.id));
}

TEST(Motion, LeavingTheViewDoesNotStopIt) {
    ViewRig rig(20, 20);
    SpriteProps up = sprite(solidPicture(2, 2, 0x123456));
    const int32_t id = rig.view.createObject(up, 5, 5, 0);
    rig.view.startForwardMotion(id, 2, 1, 100, true, 0);
    rig.runSteps(40);
    View::ObjectState s;
    ASSERT_TRUE(rig.view.inspect(id, s));
    EXPECT_EQ(s.y, 5.0 - 80);
}

TEST(Motion, IntervalLongerThanAStepSpacesTheSteps) {
    ViewRig rig;
    const int32_t id = rig.view.createObject(downward(solidPicture(2, 2, 0x123456)), 0, 0, 0);
    rig.view.startForwardMotion(id, 1, 40, 100, false, 0);  // 40 ms: every third step
    rig.runSteps(7);
    View::ObjectState s;
    ASSERT_TRUE(rig.view.inspect(id, s));
    EXPECT_EQ(s.y, 3.0);  // steps 1, 4, 7
}

TEST(Clock, StepsFollowElapsedTimeAtMostFourAWake) {
    ViewRig rig;  // time base at 0
    EXPECT_EQ(rig.view.nextWakeUs(), View::kWakeUs);
    const int32_t id = rig.view.createObject(downward(solidPicture(2, 2, 0x123456)), 0, 0, 0);
    rig.view.startForwardMotion(id, 1, 1, 10000, false, 0);
    struct Wake {
        int64_t at;
        int64_t stepsSoFar;
    };
    const Wake wakes[] = {
        {5000, 0},  {15624, 0},  {15625, 1},  {20000, 1},  {31250, 2},
        {5 * kStep + 10, 5},                     // three due at once
        {20 * kStep, 9},                         // a stall: four run, the rest dropped
        {21 * kStep - 1, 9}, {21 * kStep, 10},   // the step grid stays where it was
    };
    for (const Wake& w : wakes) {
        rig.tickAt(w.at);
        EXPECT_EQ(rig.stepsDone(), w.stepsSoFar) << "at " << w.at;
        EXPECT_EQ(rig.view.nextWakeUs(), w.at + View::kWakeUs);
    }
    View::ObjectState s;
    ASSERT_TRUE(rig.view.inspect(id, s));
    EXPECT_EQ(s.y, 10.0);
}

TEST(Clock, FirstTickOnlySetsTheTimeBase) {
    TestOutput out(8, 8);
    View view(out, kBack);
    EXPECT_EQ(view.nextWakeUs(), 0);  // at once
    view.tick(1000000);
    view.tick(1000000 + kStep - 1);
    EXPECT_EQ(view.stats().steps, 0);
    view.tick(1000000 + kStep);
    EXPECT_EQ(view.stats().steps, 1);
}

struct FrameCase {
    const char* name;
    std::vector<int> delaysMs;
    // (time, frame shown after the tick at that time)
    std::vector<std::pair<int64_t, int>> expect;
};

class FrameTiming : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameTiming, FramesAdvanceByTheirOwnDelays) {
    const FrameCase& c = GetParam();
    auto picture = std::make_shared<Picture>(*solidPicture(2, 2, 0x123456, int(c.delaysMs.size())));
    for (size_t i = 0; i < c.delaysMs.size(); ++i) picture->frames[i].delayMs = c.delaysMs[i];
    ViewRig rig;
    SpriteProps p = sprite(picture);
    p.PlayGIF = true;
    const int32_t id = rig.view.createObject(p, 0, 0, 0);
    for (auto [at, frame] : c.expect) {
        rig.tickAt(at);
        View::ObjectState s;
        ASSERT_TRUE(rig.view.inspect(id, s));
        EXPECT_EQ(s.frame, frame) << "at " << at;
    }
}

// Frames change on the first step at or after they are due.
INSTANTIATE_TEST_SUITE_P(
    Delays, FrameTiming,
    ::testing::Values(
        FrameCase{"zeroMeansFifty", {0, 0, 0},
                  {{3 * kStep, 0}, {4 * kStep, 1}, {6 * kStep, 1}, {7 * kStep, 2},
                   {9 * kStep, 2}, {10 * kStep, 0}}},
        FrameCase{"ownDelays", {100, 20, 30},
                  {{6 * kStep, 0}, {7 * kStep, 1}, {8 * kStep, 2}, {9 * kStep, 2}, {10 * kStep, 0}}},
        FrameCase{"afterAStallNoDrift", {100, 100},
                  {{100 * kStep, 1},      // 1.5625 s: frame 15 of the run, odd
                   {103 * kStep, 0}}}),   // 1.609 s
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameTiming, WithoutPlayGifTheFirstFrameStays) {
    ViewRig rig;
    const int32_t id = rig.view.createObject(sprite(solidPicture(2, 2, 0x123456, 3)), 0, 0, 0);
    rig.runSteps(30);
    View::ObjectState s;
    ASSERT_TRUE(rig.view.inspect(id, s));
    EXPECT_EQ(s.frame, 0);
}

}  // namespace
}  // namespace view_test
