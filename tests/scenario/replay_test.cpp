// Every handler's operations, pinned exactly: the test seeds its own copy of
// the generator as the program seeds its own, draws the same numbers, and
// writes out what each handler must then have asked of the run time, in
// order, arguments and all.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "runtime/random.h"
#include "tests/scenario/program_run.h"

namespace {

using namespace scenario;
using platform::sim::Options;
using platform::sim::SimPlatform;

// One handler run: its event and what followed it until the next event.
struct HandlerRun {
    std::string event;
    std::vector<std::string> records;   // operations as written, back-end calls as "name detail"
};

// Splits the record at each event, keeping the program's operations and
// the back-end calls named in `alsoKept`.
std::vector<HandlerRun> handlerRuns(const SimPlatform& sim, const std::vector<std::string>& alsoKept) {
    std::vector<HandlerRun> runs;
    for (const auto& c : sim.calls()) {
        if (c.what == "event") {
            runs.push_back({c.detail, {}});
        } else if (runs.empty()) {
            continue;
        } else if (c.what == "call") {
            runs.back().records.push_back(c.detail);
        } else if (std::ranges::find(alsoKept, c.what) != alsoKept.end()) {
            runs.back().records.push_back(c.what + " " + c.detail);
        }
    }
    return runs;
}

// The test's own copy of the program's generator and the program's state
// as the handlers must have left it.
class Replay {
public:
    Replay(uint64_t seed, int screenWidth) : screenWidth_(screenWidth) { random_.seed(seed); }

    std::string draw(int low, int high, int& value) {
        value = random_.between(low, high);
        return "randomInt(" + std::to_string(low) + "," + std::to_string(high) + ")=" + std::to_string(value);
    }

    // 时钟1. Whether the slot's old flake still exists is the view's answer,
    // read from the record; everything else follows from the draws.
    std::vector<std::string> spawner(const std::vector<std::string>& actual) {
        std::vector<std::string> out{"时钟1.setPeriod(0)"};
        int zoom = 0, step = 0, x = 0;
        out.push_back(draw(150, 500, zoom));
        out.push_back("动画物体雪花.setZoom(" + std::to_string(zoom) + ")");
        out.push_back(draw(1, 2, step));
        cursor_ = cursor_ + 1 == 50 ? 1 : cursor_ + 1;
        const int32_t old = slots_[cursor_];
        const std::string exists = "动画框桌面.objectExists(" + std::to_string(old) + ")=";
        const bool alive = actual.size() > out.size() && actual[out.size()] == exists + "true";
        out.push_back(exists + (alive ? "true" : "false"));
        if (alive) {
            out.push_back("动画框桌面.stopForwardMotion(" + std::to_string(old) + ")");
            out.push_back("动画框桌面.destroyObject(" + std::to_string(old) + ")");
            ++retired;
        }
        out.push_back(draw(1, screenWidth_, x));
        const int32_t newId = nextId_++;
        slots_[cursor_] = newId;
        out.push_back("动画框桌面.createObject(动画物体雪花," + std::to_string(x) + ",-50)=" + std::to_string(newId));
        out.push_back("动画框桌面.startForwardMotion(" + std::to_string(newId) + "," + std::to_string(step) +
                      ",1,2000,true)");
        out.push_back("时钟1.setPeriod(500)");
        wrapped |= cursor_ == 1 && old != 0;
        return out;
    }

    // 时钟2: one side draw, one angle draw, then one draw per slot up to the
    // cursor, turning the slot's id whether or not its flake still exists.
    std::vector<std::string> wind() {
        std::vector<std::string> out{"时钟2.setPeriod(0)"};
        int side = 0, angle = 0, turn = 0;
        out.push_back(draw(1, 4, side));
        out.push_back(side == 1 ? draw(135, 170, angle) : draw(190, 220, angle));
        (side == 1 ? rightGusts : leftGusts)++;
        for (int i = 1; i <= cursor_; ++i) {
            out.push_back(draw(1, 4, turn));
            if (turn == 1) out.push_back("动画框桌面.setDirection(" + std::to_string(slots_[i]) + "," + std::to_string(angle) + ")");
        }
        out.push_back("时钟2.setPeriod(700)");
        return out;
    }

    int retired = 0, rightGusts = 0, leftGusts = 0;
    bool wrapped = false;

private:
    runtime::Random random_;
    int screenWidth_;
    int cursor_ = 0;
    std::map<int, int32_t> slots_;   // the program's flakeSlots, 0 where never filled
    int32_t nextId_ = 2;             // the card is object 1
};

// Seeded at time 0 (the boxes close at once) from the sim's tick count.
constexpr uint32_t kTickCount = 4321;
const uint64_t kSeed = runtime::clockSeed(kTickCount, 1);

TEST(Replay, CreatedGreetsThenSeedsThenLayersThenArmsBothTimers) {
    SimPlatform sim({.tickCountStart = kTickCount});
    sim.run(app::entryRoutine, kSecond / 100);
    const std::string h = std::to_string(sim.windowHandle());

    const auto runs = handlerRuns(sim, {"messageBox", "loadSystemLibrary"});
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs[0].event, "主窗口 created");
    std::vector<std::string> expected;
    for (const char* text : {"请耐心点点哈  呵呵", "作为朋友，我总希望把最好的给你们", "愿你快乐平安幸福",
                             "忘了告诉你：我还要你幸福啊...呵呵...到了到了", "现在把眼睛睁大了哦，马上就到了",
                             "呵呵...要有耐心啊，怎么又急了？在坚持一下就到了，乖！",
                             "我说到了吧，\r\nYorvane祝你们开开心心"})
        expected.push_back(std::string("messageBox Vaneli温馨提示：|") + text);
    for (const std::string& line : std::vector<std::string>{
             "setRandomSeed()=" + std::to_string(kSeed),
             "loadSystemLibrary Kernel32.dll", "loadSystemLibrary Gdi32.dll", "loadSystemLibrary User32.dll",
             "GetWindowLongA(" + h + ",-20)=8",
             "SetWindowLongA(" + h + ",-20,524296)",
             "SetLayeredWindowAttributes(" + h + ",15790320,255,1)",
             "时钟1.setPeriod(1)", "时钟2.setPeriod(1)"})
        expected.push_back(line);
    EXPECT_EQ(runs[0].records, expected);
}

// Loading: the view follows the window's outer size, and the card the
// client area, which here is a menu strip shorter.
TEST(Replay, LoadingSizesTheViewByTheWindowAndPlacesTheCardByTheClientArea) {
    SimPlatform sim({.screen = {1024, 768}, .menuStripHeight = 20});
    sim.run(app::entryRoutine, kSecond / 100);

    const auto runs = handlerRuns(sim, {"playMidi", "setTrayIcon", "clientSize", "stopMidi"});
    ASSERT_GE(runs.size(), 5u);
    EXPECT_EQ(runs[2].event, "主窗口 size changed");
    EXPECT_EQ(runs[2].records, std::vector<std::string>{"动画框桌面.move(0,0,439,319)"});
    EXPECT_EQ(runs[3].event, "主窗口 size changed");
    EXPECT_EQ(runs[3].records, std::vector<std::string>{"动画框桌面.move(0,0,1024,768)"});
    EXPECT_EQ(runs[4].event, "主窗口 first activated");
    EXPECT_EQ(runs[4].records, (std::vector<std::string>{"playMidi -1", "setTrayIcon Yorvane的圣诞卡",
                                                         "clientSize 1024x748", "clientSize 1024x748",
                                                         "动画框桌面.createObject(动画物体圣诞卡,724,648)=1"}));
}

// A minute and a half of snowfall, handler by handler: 180 spawner ticks
// (the cursor wraps three times), about 130 gusts and the card's catches.
TEST(Replay, SpawnerWindAndCatchFollowTheRandomStream) {
    constexpr int kWidth = 1280;
    SimPlatform sim({.screen = {kWidth, 1024}, .tickCountStart = kTickCount});
    sim.run(app::entryRoutine, 90 * kSecond);

    Replay replay(kSeed, kWidth);
    int spawns = 0, gusts = 0, catches = 0;
    std::vector<int64_t> spawnTimes;
    for (const auto& c : sim.callsNamed("event"))
        if (c.detail == "时钟1 periodic") spawnTimes.push_back(c.timeUs);
    for (const HandlerRun& run : handlerRuns(sim, {})) {
        if (run.event == "时钟1 periodic") {
            ASSERT_EQ(run.records, replay.spawner(run.records)) << "spawner tick " << spawns + 1;
            ++spawns;
        } else if (run.event == "时钟2 periodic") {
            ASSERT_EQ(run.records, replay.wind()) << "gust " << gusts + 1;
            ++gusts;
        } else if (run.event.starts_with("动画框桌面 碰撞到物体 ")) {
            int mover = 0, left = 0, top = 0, other = 0;
            ASSERT_EQ(std::sscanf(run.event.c_str() + std::string("动画框桌面 碰撞到物体 ").size(), "%d,%d,%d,%d",
                                  &mover, &left, &top, &other), 4);
            const std::vector<std::string> expected =
                other == 1 ? std::vector<std::string>{"动画框桌面.destroyObject(" + std::to_string(mover) + ")"}
                           : std::vector<std::string>{};
            EXPECT_EQ(run.records, expected) << run.event;
            catches += other == 1;
        }
    }
    // Ticks 1 ms after the loop starts, then 500 ms after each handler ends.
    ASSERT_EQ(spawnTimes.size(), 180u);
    for (std::size_t k = 0; k < spawnTimes.size(); ++k) EXPECT_EQ(spawnTimes[k], 1000 + int64_t(k) * 500'000);

    // The paths that matter were all taken.
    EXPECT_TRUE(replay.wrapped);
    EXPECT_GT(replay.retired, 0) << "some flake was still falling when its slot came up";
    EXPECT_GT(replay.rightGusts, 0);
    EXPECT_GT(replay.leftGusts, 0);
    EXPECT_GT(catches, 0);
}

}  // namespace
