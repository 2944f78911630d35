#include <gtest/gtest.h>

#include "app/state.h"
#include "runtime/operations.h"
#include "tests/scenario/program_run.h"

namespace {

using namespace scenario;
using platform::sim::Options;
using platform::sim::SimPlatform;

int releasesOfTheSlots(const SimPlatform& sim) { return countCalls(sim, "release", "208"); }
int atExitRuns(const SimPlatform& sim) { return countCalls(sim, "event", "program at-exit routine"); }
// Every release the program asks for, the slot table's or none at all.
int releaseCalls(const SimPlatform& sim) {
    return countCalls(sim, "call", "release(block)") + countCalls(sim, "call", "release(null)");
}

TEST(Ending, EscapeClosesTheWindowAndEndsInOrder) {
    SimPlatform sim;
    sim.at(3 * kSecond, [&] { sim.pressEscape(); });
    const auto code = sim.run(app::entryRoutine, 10 * kSecond);

    ASSERT_TRUE(code);
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(atExitRuns(sim), 1);
    EXPECT_EQ(releaseCalls(sim), 1);
    EXPECT_EQ(releasesOfTheSlots(sim), 1);
    EXPECT_EQ(sim.liveBlocks(), 0u);
    EXPECT_TRUE(sim.window().destroyed);
    EXPECT_EQ(sim.now(), 3 * kSecond);
    EXPECT_LT(firstCall(sim, "messageLoopEnded"), firstCall(sim, "release", "208"));
}

TEST(Ending, EscapeDoesNotReachTheWindowWhileABoxIsOpen) {
    SimPlatform sim;
    sim.boxOpenFor = [](const runtime::MessageBoxSpec&) { return kSecond; };
    sim.at(kSecond / 2, [&] { sim.pressEscape(); });
    EXPECT_FALSE(sim.run(app::entryRoutine, 10 * kSecond));
    EXPECT_FALSE(sim.window().destroyed);
}

// The exit command: 退出 chosen from the tray menu ends from inside its
// handler, at once.
TEST(Ending, TheExitCommandRunsTheAtExitRoutineOnceAndKeepsTheWindow) {
    SimPlatform sim;
    sim.at(2 * kSecond, [&] {
        sim.onPopup = [](const auto& items) {
            return platform::sim::MenuAnswer{items.at(2).text == "退出" ? 2 : -1, 0};
        };
        sim.trayClick(runtime::trayAction::rightUp);
    });
    const auto code = sim.run(app::entryRoutine, 10 * kSecond);

    ASSERT_TRUE(code);
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(sim.now(), 2 * kSecond);
    EXPECT_EQ(atExitRuns(sim), 1);
    EXPECT_EQ(releaseCalls(sim), 1);
    EXPECT_EQ(releasesOfTheSlots(sim), 1);
    EXPECT_EQ(sim.liveBlocks(), 0u);
    EXPECT_FALSE(sim.window().destroyed);
    EXPECT_EQ(countCalls(sim, "messageLoopEnded"), 0);
}

struct StopCase {
    const char* name;
    int code;
    const char* message;
    const char* text;
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class FatalStop : public testing::TestWithParam<StopCase> {};

TEST_P(FatalStop, ShowsItsBoxSkipsTheAtExitRoutineAndExitsMinusOne) {
    const StopCase& c = GetParam();
    static const StopCase* current;
    current = &c;
    SimPlatform sim;
    sim.at(kSecond, [] { runtime::runtimeErrorStop(current->code, current->message); });
    const auto code = sim.run(app::entryRoutine, 10 * kSecond);

    ASSERT_TRUE(code);
    EXPECT_EQ(*code, -1);
    const auto boxes = sim.callsNamed("messageBox");
    EXPECT_EQ(boxes.back().detail, std::string("错误|") + c.text + "|stop");
    EXPECT_EQ(releasesOfTheSlots(sim), 0);
    EXPECT_EQ(atExitRuns(sim), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FatalStop,
    testing::Values(StopCase{"codeAndMessage", 4, "数组成员引用下标必须大于等于1",
                             "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n"},
                    StopCase{"messageOnly", 0, "载入启动窗口失败", "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n"},
                    StopCase{"codeOnly", 6, "", "运行时出错!\r\n\r\n错误代码：6\r\n\r\n"},
                    StopCase{"neither", 0, "", "运行时出错!\r\n\r\n"}),
    [](const auto& info) { return info.param.name; });

TEST(FatalStop, TimersAndTheSnowGoOnWhileItsBoxIsOpen) {
    SimPlatform sim;
    sim.boxOpenFor = [](const runtime::MessageBoxSpec& box) { return box.title == "错误" ? 5 * kSecond : 0; };
    sim.at(3 * kSecond, [] { runtime::runtimeErrorStop(1, "x"); });
    sim.run(app::entryRoutine, 20 * kSecond);
    int ticksWhileOpen = 0;
    for (const auto& c : sim.callsNamed("event"))
        ticksWhileOpen += c.detail == "时钟1 periodic" && c.timeUs > 3 * kSecond && c.timeUs < 8 * kSecond;
    EXPECT_GE(ticksWhileOpen, 9);
}

// Unlike the greetings, the error box leaves the window enabled: Escape still
// reaches it, and the stop still ends with −1 once the box is closed.
TEST(FatalStop, LeavesTheWindowEnabled) {
    SimPlatform sim;
    sim.boxOpenFor = [](const runtime::MessageBoxSpec& box) { return box.title == "错误" ? 5 * kSecond : 0; };
    sim.at(3 * kSecond, [] { runtime::runtimeErrorStop(1, "x"); });
    sim.at(4 * kSecond, [&] { sim.pressEscape(); });
    EXPECT_EQ(sim.run(app::entryRoutine, 20 * kSecond), -1);
    EXPECT_TRUE(sim.window().destroyed);
    EXPECT_EQ(sim.now(), 8 * kSecond);
    EXPECT_EQ(releasesOfTheSlots(sim), 0);
    EXPECT_EQ(atExitRuns(sim), 0);
}

// A cursor pushed below the table makes the spawner's own index check fire
// inside its tick: the box shows, the wind (whose loop now has no pass) and
// the view go on behind it, the spawner having stopped its own timer first;
// then the program ends −1.
TEST(FatalStop, FromInsideATimerTick) {
    SimPlatform sim;
    sim.boxOpenFor = [](const runtime::MessageBoxSpec& box) { return box.title == "错误" ? 5 * kSecond : 0; };
    sim.at(2 * kSecond + 1000, [] { app::flakeCursor = -5; });
    EXPECT_EQ(sim.run(app::entryRoutine, 20 * kSecond), -1);

    const auto box = sim.callsNamed("messageBox").back();
    EXPECT_EQ(box.detail, "错误|运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n|stop");
    EXPECT_EQ(countCalls(sim, "messageBox", box.detail), 1);
    int gusts = 0, spawns = 0;
    for (const auto& c : sim.callsNamed("event")) {
        const bool behind = c.timeUs > box.timeUs && c.timeUs < box.timeUs + 5 * kSecond;
        gusts += behind && c.detail == "时钟2 periodic";
        spawns += behind && c.detail == "时钟1 periodic";
    }
    EXPECT_GE(gusts, 6);
    EXPECT_EQ(spawns, 0);
    EXPECT_EQ(releasesOfTheSlots(sim), 0);
    EXPECT_EQ(atExitRuns(sim), 0);
}

struct IndexCase {
    int32_t index;
    int code;   // 0: no stop
};

void PrintTo(const IndexCase& c, std::ostream* os) { *os << "index " << c.index; }

class SlotIndex : public testing::TestWithParam<IndexCase> {};

TEST_P(SlotIndex, IsCheckedBeforeEveryAccess) {
    static int32_t index;
    index = GetParam().index;
    SimPlatform sim;
    sim.at(kSecond, [] { app::flakeSlots.at(index) = 7; });
    sim.at(2 * kSecond, [] { runtime::endProgram(0); });
    const auto code = sim.run(app::entryRoutine, 10 * kSecond);

    ASSERT_TRUE(code);
    if (GetParam().code == 0) {
        EXPECT_EQ(*code, 0);
        return;
    }
    EXPECT_EQ(*code, -1);
    const std::string message = GetParam().code == 4 ? "数组成员引用下标必须大于等于1" : "数组成员引用下标超出定义范围";
    EXPECT_EQ(sim.callsNamed("messageBox").back().detail,
              "错误|运行时出错!\r\n\r\n错误代码：" + std::to_string(GetParam().code) + "\r\n\r\n错误信息：" + message +
                  "\r\n|stop");
}

INSTANTIATE_TEST_SUITE_P(Indices, SlotIndex,
                         testing::Values(IndexCase{1, 0}, IndexCase{50, 0}, IndexCase{0, 4}, IndexCase{-1, 4},
                                         IndexCase{INT32_MIN, 4}, IndexCase{51, 1}, IndexCase{INT32_MAX, 1}));

// Read before the first spawner tick (due at 1 ms): the header and 50
// zeroed entries, although the sim's heap hands out dirty blocks.
TEST(Slots, StartZeroedInOneBlockOf208Bytes) {
    SimPlatform sim;
    sim.at(500, [] {
        const auto* block = static_cast<const int32_t*>(app::flakeSlots.block());
        int faults = block[0] == 1 && block[1] == 50 ? 0 : 100;
        for (int i = 1; i <= 50; ++i) faults += app::flakeSlots.at(i) != 0;
        runtime::endProgram(faults);
    });
    EXPECT_EQ(sim.run(app::entryRoutine, kSecond), 0);
    EXPECT_EQ(countCalls(sim, "allocate", "208"), 1);
    EXPECT_EQ(countCalls(sim, "event", "时钟1 periodic"), 0);
}

TEST(Ending, AnUnknownSystemFunctionStopsWithCodeZero) {
    SimPlatform sim;
    const auto code = sim.run(
        [] {
            runtime::startUp();
            runtime::systemFunction("NoSuchFunctionA");
            return 0;
        },
        kSecond);
    ASSERT_TRUE(code);
    EXPECT_EQ(*code, -1);
    EXPECT_EQ(sim.callsNamed("messageBox").back().detail,
              "错误|运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件中的输出命令“NoSuchFunctionA”\r\n|stop");
    std::vector<std::string> searched;
    for (const auto& c : sim.callsNamed("loadSystemLibrary")) searched.push_back(c.detail);
    EXPECT_EQ(searched, (std::vector<std::string>{"Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll",
                                                  "Mpr.dll", "Shell32.dll"}));
}

struct FailureCase {
    const char* name;
    Options options;
    const char* message;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class RunTimeFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(RunTimeFailure, EndsThroughTheFatalStop) {
    SimPlatform sim(GetParam().options);
    const auto code = sim.run(app::entryRoutine, 10 * kSecond);
    ASSERT_TRUE(code);
    EXPECT_EQ(*code, -1);
    EXPECT_EQ(sim.callsNamed("messageBox").back().detail,
              std::string("错误|运行时出错!\r\n\r\n错误信息：") + GetParam().message + "\r\n|stop");
    EXPECT_EQ(releasesOfTheSlots(sim), 0);
    EXPECT_EQ(atExitRuns(sim), 0);
}

INSTANTIATE_TEST_SUITE_P(Injected, RunTimeFailure,
                         testing::Values(FailureCase{"formData", {.failStartUp = true}, "载入窗口模板数据段出错!"},
                                         FailureCase{"allocation", {.failAllocationOf = 208}, "分配 208 字节内存失败!"},
                                         FailureCase{"window", {.failCreateWindow = true}, "载入启动窗口失败"}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
