#include <gtest/gtest.h>

#include "app/state.h"
#include "assets/assets.h"
#include "runtime/operations.h"
#include "tests/scenario/program_run.h"

namespace {

using namespace scenario;
using platform::sim::MenuAnswer;
using platform::sim::SimPlatform;

enum Item { kSound = 0, kHelp = 1, kExit = 2 };

// The user right-clicks the tray icon at `t` and picks `item` after 300 ms.
void choose(SimPlatform& sim, int64_t t, int item) {
    sim.at(t, [&sim, item] {
        sim.onPopup = [item](const auto&) { return MenuAnswer{item, 300'000}; };
        sim.trayClick(runtime::trayAction::rightUp);
    });
}

TEST(FirstActivation, StartsTheCarolTheTrayIconAndTheCard) {
    SimPlatform sim;
    int32_t card = 0;
    sim.at(500, [&] { card = app::cardObject; });
    sim.run(app::entryRoutine, kSecond);

    ASSERT_EQ(countCalls(sim, "playMidi"), 1);
    EXPECT_EQ(sim.callsNamed("playMidi")[0].detail, "-1");
    ASSERT_EQ(sim.playbacks().size(), 1u);
    EXPECT_EQ(sim.playbacks()[0].count, -1);
    EXPECT_EQ(sim.playbacks()[0].firstNoteUs, kSecond) << "the pick-up note sounds at 1.0 s";
    EXPECT_EQ(sim.playbacks()[0].passUs, 31'500'000);

    EXPECT_TRUE(sim.tray().shown);
    EXPECT_EQ(sim.tray().tip, "Yorvane的圣诞卡");
    const auto icon = assets::snowflakeIcon();
    EXPECT_EQ(sim.tray().icon, std::vector<uint8_t>(icon.begin(), icon.end()));
    EXPECT_EQ(card, 1) << "the card is the view's first object";
}

TEST(TrayMenu, OnlyARightClickOpensIt) {
    SimPlatform sim;
    sim.at(kSecond, [&] { sim.trayClick(runtime::trayAction::leftUp); });
    sim.at(2 * kSecond, [&] { sim.trayClick(runtime::trayAction::leftDoubleClick); });
    sim.at(3 * kSecond, [&] { sim.trayClick(4); });
    EXPECT_FALSE(sim.run(app::entryRoutine, 4 * kSecond));
    EXPECT_EQ(countCalls(sim, "popupMenu"), 0);

    SimPlatform right;
    right.at(kSecond, [&] { right.trayClick(runtime::trayAction::rightUp); });
    right.run(app::entryRoutine, 2 * kSecond);
    ASSERT_EQ(countCalls(right, "popupMenu"), 1);
    EXPECT_EQ(right.callsNamed("popupMenu")[0].detail, "声音✓,帮助,退出");
}

// The item's event comes once the tray handler, and its popup call, are over.
TEST(TrayMenu, TheChosenItemIsSelectedAfterThePopupCallHasReturned) {
    SimPlatform sim;
    choose(sim, 10 * kSecond, kHelp);
    sim.run(app::entryRoutine, 11 * kSecond);
    const int closed = firstCall(sim, "popupMenuClosed");
    const int returned = firstCall(sim, "trayEventReturned");
    const int selected = firstCall(sim, "event", "帮助 selected");
    ASSERT_GE(closed, 0);
    EXPECT_LT(closed, returned);
    EXPECT_LT(returned, selected);
    EXPECT_EQ(sim.calls()[selected].timeUs, 10 * kSecond + 300'000);
}

TEST(TrayMenu, SoundStopsTheCarolThenRestartsItFromTheFirstNote) {
    SimPlatform sim;
    choose(sim, 10 * kSecond, kSound);
    choose(sim, 20 * kSecond, kSound);
    sim.at(25 * kSecond, [&] {
        sim.onPopup = nullptr;   // only look at the menu this time
        sim.trayClick(runtime::trayAction::rightUp);
    });
    sim.run(app::entryRoutine, 30 * kSecond);

    const auto& plays = sim.playbacks();
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[0].stopUs, 10 * kSecond + 300'000);
    EXPECT_EQ(plays[1].startUs, 20 * kSecond + 300'000);
    EXPECT_EQ(plays[1].count, -1);
    EXPECT_FALSE(plays[1].stopUs);
    EXPECT_EQ(plays[1].firstNoteUs, kSecond) << "from the beginning, not from where it stopped";
    const auto menus = sim.callsNamed("popupMenu");
    ASSERT_EQ(menus.size(), 3u);
    EXPECT_EQ(menus[1].detail, "声音,帮助,退出");
    EXPECT_EQ(menus[2].detail, "声音✓,帮助,退出");
}

TEST(TrayMenu, HelpShowsTheGreetingWhileTheSnowKeepsFalling) {
    SimPlatform sim;
    sim.boxOpenFor = [](const runtime::MessageBoxSpec& box) { return box.title == "圣诞快乐！！" ? 5 * kSecond : 0; };
    choose(sim, 10 * kSecond, kHelp);
    sim.run(app::entryRoutine, 20 * kSecond);

    const auto boxes = sim.callsNamed("messageBox");
    EXPECT_EQ(boxes.back().detail, "圣诞快乐！！|大家圣诞快乐！！祝你们过个好圣诞.呵呵\r\nQQ：20261225");
    int ticksBehind = 0, gustsBehind = 0;
    for (const auto& c : sim.callsNamed("event")) {
        const bool behind = c.timeUs > 10'300'000 && c.timeUs < 15'300'000;
        ticksBehind += behind && c.detail == "时钟1 periodic";
        gustsBehind += behind && c.detail == "时钟2 periodic";
    }
    EXPECT_GE(ticksBehind, 9);
    EXPECT_GE(gustsBehind, 7);
}

TEST(TrayMenu, TheSnowKeepsFallingWhileTheMenuIsOpen) {
    SimPlatform sim;
    sim.at(10 * kSecond, [&] {
        sim.onPopup = [](const auto&) { return MenuAnswer{-1, 4 * kSecond}; };
        sim.trayClick(runtime::trayAction::rightUp);
    });
    sim.run(app::entryRoutine, 20 * kSecond);
    int ticksBehind = 0;
    for (const auto& c : sim.callsNamed("event"))
        ticksBehind += c.timeUs > 10 * kSecond && c.timeUs < 14 * kSecond && c.detail == "时钟1 periodic";
    EXPECT_GE(ticksBehind, 7);
}

TEST(TrayMenu, ExitEndsAtOnceWithoutClosingTheWindow) {
    SimPlatform sim;
    choose(sim, 10 * kSecond, kExit);
    const auto code = sim.run(app::entryRoutine, 60 * kSecond);

    ASSERT_TRUE(code);
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(sim.now(), 10 * kSecond + 300'000);
    EXPECT_EQ(countCalls(sim, "release", "208"), 1);
    EXPECT_FALSE(sim.window().destroyed);
    EXPECT_EQ(countCalls(sim, "stopMidi"), 1);
    EXPECT_FALSE(sim.tray().shown) << "no dead icon is left behind";
}

TEST(TrayMenu, ExitWhileTheHelpBoxIsOpenEndsCleanly) {
    SimPlatform sim;
    sim.boxOpenFor = [](const runtime::MessageBoxSpec& box) { return box.title == "圣诞快乐！！" ? 60 * kSecond : 0; };
    choose(sim, 5 * kSecond, kHelp);
    choose(sim, 10 * kSecond, kExit);
    const auto code = sim.run(app::entryRoutine, 90 * kSecond);
    ASSERT_TRUE(code);
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(countCalls(sim, "release", "208"), 1);
}

// Cut the way the Chinese code page counts: 2 bytes a Chinese character,
// 1 an ASCII one, at most 62, never half a character.
TEST(TrayTip, IsCutToSixtyTwoGbkBytesOnACharacterBoundary) {
    struct Case {
        std::string tip, shown;
    };
    const std::string ascii61(61, 'a');
    const std::string han31 = [] {
        std::string s;
        for (int i = 0; i < 31; ++i) s += "雪";
        return s;
    }();
    for (const Case& c : {Case{"Yorvane的圣诞卡", "Yorvane的圣诞卡"}, Case{ascii61 + "b", ascii61 + "b"},
                          Case{ascii61 + "bc", ascii61 + "b"}, Case{ascii61 + "雪", ascii61},
                          Case{han31, han31}, Case{han31 + "a", han31}, Case{"a" + han31, "a" + han31.substr(0, 90)}}) {
        SimPlatform sim;
        std::string shown;
        sim.at(kSecond, [&] {
            runtime::setTrayIcon(assets::snowflakeIcon(), c.tip);
            shown = sim.tray().tip;
        });
        sim.run(app::entryRoutine, 2 * kSecond);
        EXPECT_EQ(shown, c.shown) << c.tip;
    }
}

// Data the player refuses changes nothing: what plays goes on.
TEST(Faults, RefusedMidiDataLeavesThePlayingCarolAlone) {
    const auto carol = assets::carol();
    std::vector<uint8_t> noHeader(carol.begin(), carol.end()), longHeader = noHeader, noTrack = noHeader;
    noHeader[0] = 'X';
    longHeader[7] = 7;                    // header length 7
    noTrack[14 + 3] = 'x';                // "MTrx"
    for (const auto* bytes : {&noHeader, &longHeader, &noTrack}) {
        SimPlatform sim;
        sim.at(5 * kSecond, [bytes] { runtime::playMidi(-1, *bytes); });
        sim.run(app::entryRoutine, 6 * kSecond);
        ASSERT_EQ(sim.playbacks().size(), 1u);
        EXPECT_FALSE(sim.playbacks()[0].stopUs);
        EXPECT_EQ(countCalls(sim, "playMidi"), 1);
    }
}

TEST(Faults, WithoutAMidiDeviceTheCardIsSilentAndTheToggleStillWorks) {
    SimPlatform sim({.midiDevice = false});
    choose(sim, 5 * kSecond, kSound);
    choose(sim, 8 * kSecond, kSound);
    sim.at(10 * kSecond, [&] { sim.trayClick(runtime::trayAction::rightUp); });
    EXPECT_FALSE(sim.run(app::entryRoutine, 12 * kSecond));
    EXPECT_TRUE(sim.playbacks().empty());
    EXPECT_EQ(countCalls(sim, "messageBox"), 7) << "only the greetings: no error is shown";
    EXPECT_EQ(sim.callsNamed("popupMenu").back().detail, "声音✓,帮助,退出");
}

TEST(Faults, WithoutANotificationAreaTheCardRunsAndEscapeStillEnds) {
    SimPlatform sim({.shellTray = false});
    sim.at(3 * kSecond, [&] { EXPECT_FALSE(sim.tray().shown); });
    sim.at(4 * kSecond, [&] { sim.startShell(); });
    sim.at(5 * kSecond, [&] {
        EXPECT_TRUE(sim.tray().shown) << "added once the shell is there";
        sim.pressEscape();
    });
    EXPECT_EQ(sim.run(app::entryRoutine, 10 * kSecond), 0);
}

}  // namespace
