#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <set>
#include <utility>
#include <vector>

#include "app/entry.h"
#include "app/state.h"
#include "platform/sim/sim_platform.h"
#include "runtime/running_view.h"

namespace {

using platform::sim::MenuAnswer;
using platform::sim::Options;
using platform::sim::SimPlatform;

constexpr int64_t kSecond = 1'000'000;
constexpr int64_t kMinute = 60 * kSecond;
constexpr int64_t kHour = 60 * kMinute;
constexpr int kMinutes = 24 * 60;
constexpr int kTrackedSlots = 49;   // slot 50 is never filled

enum Item { kSound = 0, kHelp = 1 };

runtime::view::View& view() { return runtime::runningView(); }

// What one check, once a simulated minute, saw.
struct Minute {
    int objects = 0;
    int tracked = 0;          // flakes in slots 1..49 that still exist
    int32_t newest = 0;       // the id in the slot filled last
    std::size_t viewBytes = 0;
};

// A day of snow paced like a stock Windows timer: the greetings answered,
// the carol switched off and on and the help box opened now and then,
// gusts and catches as they come.
class SimDay : public ::testing::Test {
protected:
    // A VGA screen: the day's checks do not depend on its size, and the
    // pixels drawn are most of the run's cost (at 1024x768 it takes about
    // three times as long). Nothing looks at the window or at the program's
    // operations, so the sim keeps neither.
    SimDay()
        : sim(Options{.screen = {640, 480},
                      .wakeGranularityUs = 15625,
                      .recordOperations = false,
                      .windowPicture = false}) {}

    void SetUp() override {
        sim.boxOpenFor = [](const runtime::MessageBoxSpec& box) {
            return box.title == "圣诞快乐！！" ? 20 * kSecond : 0;
        };
        scheduleCheck(kMinute);
        // The sound switched at 37 min past every hour, off and on in turn;
        // the help box at 13 min past every third hour.
        for (int hour = 0; hour < 24; ++hour) {
            choose(hour * kHour + 37 * kMinute + 123'457, kSound);
            if (hour % 3 == 1) choose(hour * kHour + 13 * kMinute + 654'321, kHelp);
        }
    }

    // The user right-clicks the tray icon and picks `item` after 2 s.
    void choose(int64_t t, int item) {
        sim.at(t, [this, item] {
            sim.onPopup = [item](const auto&) { return MenuAnswer{item, 2 * kSecond}; };
            sim.trayClick(runtime::trayAction::rightUp);
        });
    }

    // One check at a time in the queue: the sim scans it on every wake.
    void scheduleCheck(int64_t t) {
        sim.at(t, [this, t] {
            check();
            if (minutes.size() < kMinutes) scheduleCheck(t + kMinute);
        });
    }

    void check() {
        Minute m;
        m.objects = view().objectCount();
        m.newest = app::flakeSlots.at(app::flakeCursor);
        m.viewBytes = view().heldBytes();
        std::set<int32_t> ids;
        for (int i = 1; i <= kTrackedSlots; ++i) {
            const int32_t id = app::flakeSlots.at(i);
            if (view().objectExists(id)) ++m.tracked;
            if (id != 0) ids.insert(id);
            EXPECT_LE(id, m.newest) << "slot " << i;
        }
        const int at = static_cast<int>(minutes.size()) + 1;
        EXPECT_EQ(app::flakeSlots.at(50), 0) << "minute " << at;
        EXPECT_EQ(ids.size(), static_cast<std::size_t>(kTrackedSlots)) << "every slot holds its own id, minute " << at;
        EXPECT_TRUE(view().objectExists(app::cardObject)) << "minute " << at;
        // A flake that has used up its distance is still tracked through its
        // last 200 ms: its slot comes up again only 24.5 s after it started,
        // and a retired flake is destroyed at once. So every object is the
        // card or a tracked flake.
        EXPECT_LE(m.tracked, kTrackedSlots);
        EXPECT_EQ(m.objects, 1 + m.tracked) << "minute " << at;
        if (!minutes.empty()) {
            EXPECT_GT(m.newest, minutes.back().newest) << "minute " << at;
        }
        EXPECT_EQ(sim.liveBlocks(), 1u) << "only the slot table is allocated";
        minutes.push_back(m);
    }

    SimPlatform sim;
    std::vector<Minute> minutes;
};

// The most and the mean the view held over minutes [from, to).
std::pair<std::size_t, std::size_t> heldOver(const std::vector<Minute>& minutes, int from, int to) {
    std::size_t most = 0, sum = 0;
    for (int i = from; i < to; ++i) {
        most = std::max(most, minutes[static_cast<std::size_t>(i)].viewBytes);
        sum += minutes[static_cast<std::size_t>(i)].viewBytes;
    }
    return {most, sum / static_cast<std::size_t>(to - from)};
}

TEST_F(SimDay, HoldsItsBoundsAndItsMemoryForADay) {
    const auto ended = sim.run(app::entryRoutine, kMinutes * kMinute + kSecond);
    ASSERT_FALSE(ended) << "the program ended with " << *ended << " (an index check stops with -1)";
    ASSERT_EQ(minutes.size(), static_cast<std::size_t>(kMinutes));

    int helpBoxes = 0, stops = 0, catches = 0, gusts = 0;
    for (const auto& c : sim.calls()) {
        if (c.what == "messageBox") {
            helpBoxes += c.detail.rfind("圣诞快乐！！|", 0) == 0;
            stops += c.detail.ends_with("|stop");
        }
        if (c.what == "event") {
            catches += c.detail.rfind("动画框桌面 碰撞到物体 ", 0) == 0;
            gusts += c.detail == "时钟2 periodic";
        }
    }
    EXPECT_EQ(stops, 0) << "no fatal error box";
    EXPECT_EQ(helpBoxes, 8);
    EXPECT_GT(catches, 1000) << "the card keeps catching";
    EXPECT_GT(gusts, kMinutes * kMinute / (700'000 + 15'625)) << "a gust every 700 ms and a wake";
    ASSERT_EQ(sim.playbacks().size(), 13u) << "the carol and twelve restarts";
    EXPECT_FALSE(sim.playbacks().back().stopUs);

    // Flat: what the view holds swings with the sizes and headings of the
    // flakes about, but every hour's mean stays within 10% of the first
    // hour's (from minute 10), and no peak goes a quarter above its peak.
    const auto [firstPeak, firstMean] = heldOver(minutes, 10, 60);
    std::size_t leastMean = firstMean, mostMean = firstMean;
    for (int hour = 1; hour < 24; ++hour) {
        const auto [peak, mean] = heldOver(minutes, hour * 60, hour * 60 + 60);
        EXPECT_LE(peak, firstPeak + firstPeak / 4) << "hour " << hour;
        EXPECT_NEAR(static_cast<double>(mean), static_cast<double>(firstMean), 0.1 * static_cast<double>(firstMean))
            << "hour " << hour;
        leastMean = std::min(leastMean, mean);
        mostMean = std::max(mostMean, mean);
    }
    int most = 0;
    for (const Minute& m : minutes) most = std::max(most, m.objects);
    std::printf("a day: %d catches, %d gusts, last id %d, at most %d objects; the view held %zu bytes on "
                "average in the first hour (peak %zu), hourly means %zu..%zu\n",
                catches, gusts, minutes.back().newest, most, firstMean, firstPeak, leastMean, mostMean);
}

}  // namespace
