#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "app/state.h"
#include "form/main_form.h"
#include "runtime/operations.h"
#include "runtime/running_view.h"
#include "snow/snow.h"
#include "tests/scenario/program_run.h"

namespace {

using namespace scenario;
using platform::sim::SimPlatform;
using runtime::view::View;

// 时钟1 first fires at 1 ms, then every 500 ms (the sim's handlers take no time).
constexpr int64_t spawnTick(int k) { return 1000 + (k - 1) * 500'000LL; }
// 时钟2 likewise every 700 ms, right after 时钟1 at 1 ms.
constexpr int64_t gustTick(int k) { return 1000 + (k - 1) * 700'000LL; }

View& view() { return runtime::runningView(); }

View::ObjectState stateOf(int32_t id) {
    View::ObjectState s;
    EXPECT_TRUE(view().inspect(id, s)) << "object " << id;
    return s;
}

TEST(Spawner, TheFirstTickFillsSlotOneAndRetiresNothing) {
    SimPlatform sim;
    struct Seen {
        int cursor = -1, objects = 0;
        int32_t slot1 = 0, slot2 = 0;
        View::ObjectState flake;
    } seen;
    sim.at(spawnTick(1) + 1, [&] {
        seen.cursor = app::flakeCursor;
        seen.slot1 = app::flakeSlots.at(1);
        seen.slot2 = app::flakeSlots.at(2);
        seen.objects = view().objectCount();
        seen.flake = stateOf(seen.slot1);
    });
    sim.run(app::entryRoutine, kSecond);

    EXPECT_EQ(seen.cursor, 1);
    EXPECT_EQ(seen.slot1, app::cardObject + 1) << "the card came first";
    EXPECT_EQ(seen.slot2, 0);
    EXPECT_EQ(seen.objects, 2) << "the card and the new flake";
    EXPECT_EQ(seen.flake.y, -50);
    EXPECT_GE(seen.flake.x, 1);
    EXPECT_LE(seen.flake.x, 1024);
    EXPECT_EQ(seen.flake.angle, 180);
    EXPECT_TRUE(seen.flake.moving);
    EXPECT_GE(seen.flake.bounds.width, 15);
    EXPECT_LE(seen.flake.bounds.width, 50);
}

TEST(Spawner, TheFiftiethTickWrapsToSlotOneAndRetiresItsFlake) {
    SimPlatform sim;
    int32_t before = 0, after = 0;
    bool existedBefore = false, existsAfter = true;
    int cursorBefore = 0, cursorAfter = 0;
    // Whatever the seed, the first flake is still about when its slot comes
    // up again: sent up and away, on a journey longer than its slot's turn.
    sim.at(spawnTick(1) + 1, [] {
        const int32_t first = app::flakeSlots.at(1);
        view().setDirection(first, 0);
        view().startForwardMotion(first, 1, 1, 1e6, true, spawnTick(1) + 1);
    });
    sim.at(spawnTick(50) - 1, [&] {
        before = app::flakeSlots.at(1);
        existedBefore = view().objectExists(before);
        cursorBefore = app::flakeCursor;
    });
    sim.at(spawnTick(50) + 1, [&] {
        after = app::flakeSlots.at(1);
        existsAfter = view().objectExists(before);
        cursorAfter = app::flakeCursor;
    });
    sim.run(app::entryRoutine, spawnTick(50) + kSecond);

    EXPECT_EQ(cursorBefore, 49);
    EXPECT_EQ(cursorAfter, 1) << "slot 50 is never filled";
    ASSERT_TRUE(existedBefore);
    EXPECT_FALSE(existsAfter);
    EXPECT_GT(after, before);
    const std::string old = std::to_string(before);
    EXPECT_LT(firstCall(sim, "call", "动画框桌面.stopForwardMotion(" + old + ")"),
              firstCall(sim, "call", "动画框桌面.destroyObject(" + old + ")"))
        << "stopped, which destroys it, then destroyed";
}

TEST(Spawner, AZoomWriteLeavesFallingFlakesAsTheyAre) {
    SimPlatform sim;
    std::map<int32_t, int> widths;
    bool same = true;
    sim.at(spawnTick(10) + 1, [&] {
        for (int i = 1; i <= 10; ++i)
            if (view().objectExists(app::flakeSlots.at(i))) widths[app::flakeSlots.at(i)] = stateOf(app::flakeSlots.at(i)).bounds.width;
    });
    sim.at(spawnTick(14) + 1, [&] {
        for (auto [id, width] : widths)
            if (view().objectExists(id)) {
                View::ObjectState s = stateOf(id);
                same &= s.angle != 180 || s.bounds.width == width;
            }
    });
    sim.run(app::entryRoutine, spawnTick(14) + kSecond);
    EXPECT_GE(widths.size(), 8u);
    EXPECT_TRUE(same);
}

// A slow flake's run lasts 62 spawner ticks, so only the slots keep the
// count down: right after each tick, no flake is older than the last 49,
// and every id was issued once, in order.
TEST(Spawner, KeepsAtMostFortyNineFlakes) {
    SimPlatform sim({.wakeGranularityUs = 15625});
    int32_t lastId = 0, oldestAlive = INT32_MAX;
    bool rising = true;
    for (int k = 60; k <= 240; ++k)
        sim.at(spawnTick(k) + 1, [&] {
            const int32_t newest = app::flakeSlots.at(app::flakeCursor);
            rising &= newest > lastId;
            lastId = newest;
            for (int32_t id = app::cardObject + 1; id <= newest; ++id)
                if (view().objectExists(id)) oldestAlive = std::min(oldestAlive, id - newest);
        });
    sim.run(app::entryRoutine, spawnTick(240) + kSecond);
    EXPECT_EQ(oldestAlive, -48) << "the flake of 48 ticks ago still falls, none older";
    EXPECT_TRUE(rising);
}

// Before the first flake the gust draws its side and angle, turns nothing
// (not even the card) and re-arms.
TEST(Wind, WithNoFlakeTurnsNothingAndReArms) {
    SimPlatform sim;
    int period = -1;
    std::size_t from = 0, to = 0;
    sim.at(500, [&] {
        ASSERT_EQ(app::flakeCursor, 0);
        from = sim.calls().size();
        snow::时钟2_周期事件();
        to = sim.calls().size();
        period = form::时钟2.period();
    });
    sim.run(app::entryRoutine, kSecond / 100);
    EXPECT_EQ(period, 700);
    std::vector<std::string> ops;
    for (std::size_t i = from; i < to; ++i)
        if (sim.calls()[i].what == "call") ops.push_back(sim.calls()[i].detail.substr(0, sim.calls()[i].detail.find('=')));
    ASSERT_EQ(ops.size(), 4u);
    EXPECT_EQ(ops[0], "时钟2.setPeriod(0)");
    EXPECT_EQ(ops[1], "randomInt(1,4)");
    EXPECT_TRUE(ops[2] == "randomInt(135,170)" || ops[2] == "randomInt(190,220)") << ops[2];
    EXPECT_EQ(ops[3], "时钟2.setPeriod(700)");
}

TEST(Wind, AFlakeHeadingTheGustAngleIsNotRebuilt) {
    SimPlatform sim;
    int fresh = -1, turned = -1, again = -1;
    sim.at(spawnTick(3) + 1, [&] {
        const int32_t id = app::flakeSlots.at(3);
        fresh = stateOf(id).pictureBuilds;
        form::动画框桌面.setDirection(id, 200);
        turned = stateOf(id).pictureBuilds;
        form::动画框桌面.setDirection(id, 200);
        form::动画框桌面.setDirection(id, 560);   // the same heading, reduced
        again = stateOf(id).pictureBuilds;
    });
    sim.run(app::entryRoutine, spawnTick(3) + 1000);
    EXPECT_GT(turned, fresh);
    EXPECT_EQ(again, turned);
}

// Each gust turns every tracked flake with odds of one in four, all to one
// angle; one gust in four blows right (135..170), the rest left (190..220).
TEST(Wind, GustsTurnAboutAQuarterOfTheFlakes) {
    SimPlatform sim({.tickCountStart = 77});
    struct Gust {
        std::map<int32_t, int> before;
        int turned = 0, considered = 0, angle = -1;
    };
    std::vector<Gust> gusts(400);
    for (int k = 40; k < 440; ++k) {
        Gust& g = gusts[k - 40];
        sim.at(gustTick(k) - 1, [&g] {
            for (int i = 1; i <= app::flakeCursor; ++i)
                if (View::ObjectState s; view().inspect(app::flakeSlots.at(i), s)) g.before[app::flakeSlots.at(i)] = s.angle;
        });
        sim.at(gustTick(k) + 1, [&g] {
            for (auto [id, angle] : g.before) {
                View::ObjectState s;
                if (!view().inspect(id, s)) continue;
                ++g.considered;
                if (s.angle != angle) {
                    ++g.turned;
                    EXPECT_TRUE(g.angle < 0 || s.angle == g.angle) << "one angle per gust";
                    g.angle = s.angle;
                }
            }
        });
    }
    sim.run(app::entryRoutine, gustTick(440));

    int turned = 0, considered = 0, right = 0, sided = 0;
    for (const Gust& g : gusts) {
        turned += g.turned;
        considered += g.considered;
        if (g.angle < 0) continue;
        ++sided;
        if (g.angle >= 135 && g.angle <= 170) {
            ++right;
        } else {
            EXPECT_TRUE(g.angle >= 190 && g.angle <= 220) << g.angle;
        }
    }
    ASSERT_GT(considered, 4000);
    // A flake already at the gust angle does not count as turned, so the
    // observed share is a little under a quarter.
    EXPECT_NEAR(static_cast<double>(turned) / considered, 0.25, 0.03);
    ASSERT_GT(sided, 300);
    EXPECT_NEAR(static_cast<double>(right) / sided, 0.25, 0.06);
}

// The view raises contacts with the card only, but the handler itself
// checks: a flake touching anything else stays.
TEST(Card, SwallowsOnlyWhatTouchesTheCard) {
    SimPlatform sim;
    bool afterOther = false, afterCard = true;
    sim.at(spawnTick(2) + 1, [&] {
        const int32_t first = app::flakeSlots.at(1), second = app::flakeSlots.at(2);
        snow::动画框桌面_碰撞到物体(first, 0, 0, second);
        afterOther = view().objectExists(first);
        snow::动画框桌面_碰撞到物体(first, 0, 0, app::cardObject);
        afterCard = view().objectExists(first);
    });
    sim.run(app::entryRoutine, spawnTick(2) + 1000);
    EXPECT_TRUE(afterOther);
    EXPECT_FALSE(afterCard);
}

TEST(Card, StandsNearTheLowerRightCorner) {
    struct Case {
        runtime::Size screen;
        runtime::Rect card;
    };
    for (const Case& c : {Case{{1024, 768}, {724, 668, 300, 80}}, Case{{1920, 1080}, {1620, 980, 300, 80}}}) {
        SimPlatform sim({.screen = c.screen});
        runtime::Rect card;
        sim.at(500, [&] { card = stateOf(app::cardObject).bounds; });
        sim.run(app::entryRoutine, kSecond / 100);
        EXPECT_EQ(card, c.card) << c.screen.width << "x" << c.screen.height;
    }
}

// A flake that touches the card is gone before the next step, each flake
// collides once, and the card never moves.
TEST(Card, SwallowsTheFlakesThatTouchIt) {
    SimPlatform sim({.tickCountStart = 9});
    std::map<int32_t, int> collisions;
    int lingering = 0, others = 0;
    std::size_t seen = 0;
    runtime::Rect cardAtStart, cardAtEnd;
    sim.at(500, [&] { cardAtStart = stateOf(app::cardObject).bounds; });
    for (int64_t t = kSecond; t < 90 * kSecond; t += View::kStepUs)
        sim.at(t, [&] {
            const auto& calls = sim.calls();
            for (; seen < calls.size(); ++seen) {
                const auto& c = calls[seen];
                if (c.what != "event" || c.detail.rfind("动画框桌面 碰撞到物体 ", 0) != 0) continue;
                int mover = 0, left = 0, top = 0, other = 0;
                std::sscanf(c.detail.c_str() + std::string("动画框桌面 碰撞到物体 ").size(), "%d,%d,%d,%d", &mover,
                            &left, &top, &other);
                ++collisions[mover];
                others += other != app::cardObject;
                lingering += view().objectExists(mover);
            }
        });
    sim.at(90 * kSecond, [&] { cardAtEnd = stateOf(app::cardObject).bounds; });
    sim.run(app::entryRoutine, 91 * kSecond);

    EXPECT_GE(collisions.size(), 3u) << "some flakes must reach the card in 90 s";
    for (auto [mover, n] : collisions) EXPECT_EQ(n, 1) << "flake " << mover;
    EXPECT_EQ(others, 0) << "only the card is ever run into";
    EXPECT_EQ(lingering, 0);
    EXPECT_EQ(cardAtStart, cardAtEnd);
}

}  // namespace
