#include "runtime/midi/stream_cursor.h"

#include <gtest/gtest.h>

#include "tests/midi/song_builder.h"

namespace {

using namespace runtime::midi;
using midi_test::SongBuilder;

PassStream threeNotePass() {
    return buildPassStream(SongBuilder().note(0, 100, 0, 60).note(100, 100, 0, 62).note(200, 100, 1, 64).end(480).build());
}

// Everything the cursor hands out, in loads of at most `load` events.
std::vector<std::vector<StreamEvent>> drain(StreamCursor& cursor, std::size_t load, int maxLoads) {
    std::vector<std::vector<StreamEvent>> loads;
    std::vector<StreamEvent> out(load);
    for (int i = 0; i < maxLoads; ++i) {
        const std::size_t n = cursor.fill(out);
        if (n == 0) break;
        loads.emplace_back(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(n));
    }
    return loads;
}

TEST(StreamCursor, SendsEachPassWholeFromTheBeginningCountTimes) {
    struct Case {
        int count;
        int expectedPasses;
    };
    for (const Case c : {Case{1, 1}, Case{3, 3}, Case{0, 0}}) {
        SCOPED_TRACE(c.count);
        const PassStream pass = threeNotePass();
        StreamCursor cursor(pass, c.count);
        // A load of 4 cuts the 10-event pass as 4, 4, 2: never across passes.
        const auto loads = drain(cursor, 4, 100);
        std::vector<StreamEvent> sent;
        for (const auto& load : loads) {
            EXPECT_LE(load.size(), 4u);
            sent.insert(sent.end(), load.begin(), load.end());
        }
        std::vector<StreamEvent> expected;
        for (int i = 0; i < c.expectedPasses; ++i) expected.insert(expected.end(), pass.events.begin(), pass.events.end());
        EXPECT_EQ(sent, expected);
        EXPECT_EQ(loads.size(), static_cast<std::size_t>(3 * c.expectedPasses));
        EXPECT_EQ(cursor.passesStarted(), c.expectedPasses);
        EXPECT_TRUE(cursor.done());
    }
}

TEST(StreamCursor, NegativeCountNeverRunsOut) {
    const PassStream pass = threeNotePass();
    StreamCursor cursor(pass, -1);
    const auto loads = drain(cursor, pass.events.size(), 1000);
    EXPECT_EQ(loads.size(), 1000u);
    EXPECT_EQ(loads.back(), pass.events);
    EXPECT_EQ(cursor.passesStarted(), 1000);
    EXPECT_FALSE(cursor.done());
}

TEST(StreamCursor, NothingToSendOrNothingThatTakesTime) {
    StreamCursor empty(buildPassStream(SongBuilder().meta(0, 0x03).build()), -1);
    std::vector<StreamEvent> out(16);
    EXPECT_EQ(empty.fill(out), 0u);
    EXPECT_TRUE(empty.done());

    // All at tick 0: endless looping would hand the device empty time for ever.
    const PassStream instant = buildPassStream(SongBuilder().channelEvent(0, 0xC0, 5).end(0).build());
    StreamCursor once(instant, -1);
    EXPECT_EQ(once.fill(out), instant.events.size());
    EXPECT_EQ(once.fill(out), 0u);
}

}  // namespace
