#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "runtime/operations.h"
#include "runtime/window_api.h"
#include "tests/scenario/program_run.h"

namespace {

using namespace scenario;
using platform::sim::SimPlatform;

const std::vector<std::string> kGreetings = {
    "请耐心点点哈  呵呵",
    "作为朋友，我总希望把最好的给你们",
    "愿你快乐平安幸福",
    "忘了告诉你：我还要你幸福啊...呵呵...到了到了",
    "现在把眼睛睁大了哦，马上就到了",
    "呵呵...要有耐心啊，怎么又急了？在坚持一下就到了，乖！",
    "我说到了吧，\r\nYorvane祝你们开开心心",
};

TEST(StartUp, LoadsTheWindowInItsEventOrder) {
    SimPlatform sim({.screen = {1280, 1024}});
    sim.run(app::entryRoutine, 2 * kSecond);

    const std::vector<std::string> all = events(sim);
    ASSERT_GE(all.size(), 6u);
    const std::vector<std::string> loading(all.begin(), all.begin() + 6);
    EXPECT_EQ(loading, (std::vector<std::string>{"主窗口 created", "主窗口 position changed", "主窗口 size changed",
                                                 "主窗口 size changed", "主窗口 first activated", "主窗口 activated"}));
    EXPECT_EQ(countCalls(sim, "event", "主窗口 first activated"), 1);

    // The view made at its design size, then stretched by each size change.
    const auto rects = sim.callsNamed("setViewRect");
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].detail, "0,0 280x216");
    EXPECT_EQ(rects[1].detail, "0,0 439x319");
    EXPECT_EQ(rects[2].detail, "0,0 1280x1024");

    // Moved to cover the screen between the two size changes; shown after;
    // the loop runs only once loading is over.
    EXPECT_EQ(sim.callsNamed("createMainWindow")[0].detail, "50,50 439x319");
    EXPECT_LT(firstCall(sim, "setViewRect", "0,0 439x319"), firstCall(sim, "moveMainWindow", "0,0 1280x1024"));
    EXPECT_LT(firstCall(sim, "moveMainWindow"), firstCall(sim, "setViewRect", "0,0 1280x1024"));
    EXPECT_LT(firstCall(sim, "setViewRect", "0,0 1280x1024"), firstCall(sim, "showMainWindow"));
    EXPECT_LT(firstCall(sim, "showMainWindow"), firstCall(sim, "event", "主窗口 first activated"));
    EXPECT_LT(firstCall(sim, "event", "主窗口 activated"), firstCall(sim, "messageLoop"));

    const auto& w = sim.window();
    EXPECT_TRUE(w.visible);
    EXPECT_EQ(w.rect, (runtime::Rect{0, 0, 1280, 1024}));
    EXPECT_TRUE(w.spec.topmost && w.spec.noTaskbarButton && w.spec.escapeCloses && w.spec.programIcon);
    EXPECT_EQ(w.spec.backColor, 0xF0F0F0u);
    EXPECT_EQ(w.spec.caption, "");
    // The menu tree is there but its only top-level item is hidden.
    ASSERT_EQ(w.menu.size(), 1u);
    EXPECT_TRUE(w.menu[0].hidden);
    ASSERT_EQ(w.menu[0].children.size(), 3u);
    EXPECT_EQ(w.menu[0].children[0].text, "声音");
    EXPECT_TRUE(w.menu[0].children[0].checked);
}

TEST(StartUp, GreetsWithSevenBoxesOneAfterAnother) {
    SimPlatform sim;
    sim.boxOpenFor = [](const runtime::MessageBoxSpec&) { return 2 * kSecond; };
    sim.run(app::entryRoutine, 30 * kSecond);

    const auto boxes = sim.callsNamed("messageBox");
    ASSERT_GE(boxes.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(boxes[i].detail, "Vaneli温馨提示：|" + kGreetings[i]) << "box " << i + 1;
        EXPECT_EQ(boxes[i].timeUs, i * 2 * kSecond) << "box " << i + 1 << " follows the previous one at once";
    }
    // Nothing is shown, and no timer ticks, before the last box is closed
    // and the loop runs; then both timers fire at once.
    const int lastClosed = [&] {
        int at = -1;
        for (int i = 0; i < static_cast<int>(sim.calls().size()); ++i)
            if (sim.calls()[i].what == "messageBoxClosed") at = i;
        return at;
    }();
    EXPECT_EQ(countCalls(sim, "messageBoxClosed"), 7);
    EXPECT_LT(lastClosed, firstCall(sim, "showMainWindow"));
    EXPECT_LT(firstCall(sim, "messageLoop"), firstCall(sim, "event", "时钟1 periodic"));
    EXPECT_LT(firstCall(sim, "messageLoop"), firstCall(sim, "event", "时钟2 periodic"));
    EXPECT_EQ(sim.callsNamed("event")[0].detail, "主窗口 created");
}

TEST(StartUp, MakesTheWindowSeeThroughWhereItShowsTheColourKey) {
    SimPlatform sim;
    sim.run(app::entryRoutine, kSecond / 10);

    // The three functions, looked up by name in User32 after Kernel32 and
    // Gdi32: the layered bit is or-ed into the style read back (the
    // topmost bit survives), then the key is set, opaque elsewhere.
    const std::string h = std::to_string(0x10010);
    EXPECT_EQ(countCalls(sim, "call", "GetWindowLongA(" + h + ",-20)=8"), 1);
    EXPECT_EQ(countCalls(sim, "call", "SetWindowLongA(" + h + ",-20," + std::to_string(0x80008) + ")"), 1);
    EXPECT_EQ(countCalls(sim, "call", "SetLayeredWindowAttributes(" + h + ",15790320,255,1)"), 1);
    const auto libraries = sim.callsNamed("loadSystemLibrary");
    ASSERT_EQ(libraries.size(), 3u);
    EXPECT_EQ(libraries[0].detail, "Kernel32.dll");
    EXPECT_EQ(libraries[1].detail, "Gdi32.dll");
    EXPECT_EQ(libraries[2].detail, "User32.dll");

    // What a person sees: the key is the desktop, one step off it is not.
    EXPECT_EQ(sim.window().seeThroughKey, 0xF0F0F0u);
    EXPECT_EQ(sim.visibleAt(5, 5, 0x123456), 0x123456u) << "the empty window shows the desktop";
}

// Without user32 the run time's stand-in answers the three functions and
// turns them into the back-end's see-through capability.
TEST(StartUp, TheStandInTurnsLayeringIntoSeeThrough) {
    using namespace runtime::windowApi;
    SimPlatform sim;
    struct Step {
        const char* what;
        int32_t result;
        std::optional<uint32_t> key;
    };
    std::vector<Step> steps;
    sim.at(kSecond, [&] {
        const intptr_t h = sim.windowHandle();
        auto layer = [](intptr_t window, uint32_t key, uint8_t alpha, uint32_t flags) {
            return runtime::callSystem<SetLayeredWindowAttributes>("SetLayeredWindowAttributes", window, key, alpha,
                                                                   flags);
        };
        auto note = [&](const char* what, int32_t result) { steps.push_back({what, result, sim.window().seeThroughKey}); };
        note("a colour is 0x00BBGGRR", layer(h, 0x0000FF, 255, LWA_COLORKEY));
        note("translucency is not offered", layer(h, 0x00FF00, 128, LWA_COLORKEY | LWA_ALPHA));
        note("a foreign window is not ours", layer(h + 1, 0x00FF00, 255, LWA_COLORKEY));
        const int32_t style = runtime::callSystem<GetWindowLongA>("GetWindowLongA", h, GWL_EXSTYLE);
        note("unlayered", runtime::callSystem<SetWindowLongA>("SetWindowLongA", h, GWL_EXSTYLE, style & ~WS_EX_LAYERED));
        note("only a layered window takes a key", layer(h, 0x0000FF, 255, LWA_COLORKEY));
    });
    sim.run(app::entryRoutine, 2 * kSecond);

    const std::optional<uint32_t> red = 0xFF0000;
    const std::vector<std::tuple<std::string, int32_t, std::optional<uint32_t>>> expected = {
        {"a colour is 0x00BBGGRR", 1, red},
        {"translucency is not offered", 0, red},
        {"a foreign window is not ours", 0, red},
        {"unlayered", WS_EX_LAYERED | WS_EX_TOPMOST, std::nullopt},
        {"only a layered window takes a key", 0, std::nullopt}};
    ASSERT_EQ(steps.size(), expected.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].result, std::get<1>(expected[i])) << steps[i].what;
        EXPECT_EQ(steps[i].key, std::get<2>(expected[i])) << steps[i].what;
    }
}

// The same tick count gives the same snowfall; another gives another.
TEST(StartUp, TheSeedFollowsTheClock) {
    auto snowfall = [](uint32_t tickCount) {
        SimPlatform sim({.tickCountStart = tickCount});
        sim.run(app::entryRoutine, 20 * kSecond);
        uint64_t hash = 1469598103934665603ULL;
        for (int y = 0; y < 768; ++y)
            for (int x = 0; x < 1024; ++x) hash = (hash ^ sim.presentedAt(x, y)) * 1099511628211ULL;
        return hash;
    };
    EXPECT_EQ(snowfall(1000), snowfall(1000));
    EXPECT_NE(snowfall(1000), snowfall(98765));
}

}  // namespace
