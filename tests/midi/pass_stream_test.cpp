#include "runtime/midi/pass_stream.h"

#include <gtest/gtest.h>

#include <numeric>

#include "runtime/midi/stream_cursor.h"
#include "tests/midi/song_builder.h"
#include "tests/midi/stream_reader.h"

namespace {

using namespace runtime::midi;
using midi_test::SongBuilder;

StreamEvent shortEvent(uint32_t delta, int status, int data1, int data2 = 0) {
    return {delta, 0,
            makeEvent(kShortMessage, shortMessage(static_cast<uint8_t>(status), static_cast<uint8_t>(data1),
                                                  static_cast<uint8_t>(data2)))};
}

int64_t deltaSum(const std::vector<StreamEvent>& events) {
    return std::accumulate(events.begin(), events.end(), int64_t{0},
                           [](int64_t sum, const StreamEvent& e) { return sum + e.deltaTime; });
}

TEST(PassStream, ChannelEventsAndTempoAsShortEventsThenClosingAtTheEndTick) {
    const auto song = SongBuilder()
                          .tempo(0, 600000)
                          .channelEvent(0, 0xC4, 11)
                          .channelEvent(0, 0xB4, 91, 118)
                          .meta(100, 0x03)  // a track name: nothing to send, but time passes
                          .note(480, 432, 4, 71)
                          .sysex(1000)
                          .channelEvent(1200, 0xE4, 0x00, 0x40)
                          .end(1920)
                          .build();
    const PassStream pass = buildPassStream(song);

    const std::vector<StreamEvent> expected = {
        {0, 0, makeEvent(kTempo, 600000)},
        shortEvent(0, 0xC4, 11),
        shortEvent(0, 0xB4, 91, 118),
        shortEvent(480, 0x94, 71, 100),
        shortEvent(432, 0x94, 71, 0),
        shortEvent(288, 0xE4, 0x00, 0x40),
        shortEvent(720, 0xB4, 123),  // all notes off, at tick 1920
        shortEvent(0, 0xB4, 121),    // reset all controllers
    };
    EXPECT_EQ(pass.events, expected);
    EXPECT_EQ(pass.division, 480);
    EXPECT_EQ(pass.lengthTicks, 1920);
}

TEST(PassStream, DeltaTimesAddUpToTheEndTickWhateverTheTail) {
    struct Case {
        const char* name;
        bool channelEvents;
        int64_t endTick;
        int64_t expectedLength;
    };
    const Case cases[] = {
        {"silence after the last note", true, 4000, 4000},
        {"file ends on the last note", true, 960, 960},
        {"end before the last event (malformed)", true, 500, 960},
        {"no channel event: an empty event holds the tail", false, 3000, 3000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SongBuilder builder;
        if (c.channelEvents) builder.note(0, 960, 2, 60);
        else builder.meta(960, 0x01);
        const PassStream pass = buildPassStream(builder.end(c.endTick).build());
        EXPECT_EQ(deltaSum(pass.events), c.expectedLength);
        EXPECT_EQ(pass.lengthTicks, c.expectedLength);
        ASSERT_FALSE(pass.events.empty());
        if (!c.channelEvents) {
            EXPECT_EQ(pass.events.back().event, makeEvent(kNop, 0));
        }
    }
}

TEST(PassStream, ClosingMessagesCoverEveryChannelUsedAndNoOther) {
    const auto song = SongBuilder().note(0, 10, 9, 36).note(5, 10, 0, 60).channelEvent(7, 0xC5, 3).end(40).build();
    const PassStream pass = buildPassStream(song);
    const std::vector<uint32_t> expected = {
        shortMessage(0xB0, 123, 0), shortMessage(0xB0, 121, 0),
        shortMessage(0xB5, 123, 0), shortMessage(0xB5, 121, 0),
        shortMessage(0xB9, 123, 0), shortMessage(0xB9, 121, 0),
    };
    EXPECT_EQ(pass.closingMessages, expected);
    // The same messages end the pass, at its end tick.
    ASSERT_GE(pass.events.size(), expected.size());
    midi_test::StreamReader reader(pass.division);
    const auto played = reader.read(pass.events);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& t = played[played.size() - expected.size() + i];
        EXPECT_EQ(t.message, expected[i]);
        EXPECT_EQ(t.tick, 40);
    }
}

TEST(PassStream, EveryPassStartsAtTheFilesOwnTempo) {
    // No tempo at tick 0, a slower one halfway: without a tempo event at the
    // start, the second pass would play at the slower one.
    const auto song = SongBuilder().note(0, 240, 0, 60).tempo(480, 1000000).note(480, 240, 0, 62).end(960).build();
    StreamCursor cursor(buildPassStream(song), 2);
    std::vector<StreamEvent> out(1000);
    midi_test::StreamReader reader(480);
    std::vector<int64_t> noteOnUs;
    while (const std::size_t n = cursor.fill(out))
        for (const auto& t : reader.read(std::span(out).first(n)))
            if (midi_test::isNoteOn(t.message)) noteOnUs.push_back(t.us);

    // A pass: 0.5 s at 120 bpm, then 1 s at 60 bpm.
    EXPECT_EQ(noteOnUs, (std::vector<int64_t>{0, 500000, 1500000, 2000000}));

    const auto startsWithTempo = SongBuilder().tempo(0, 400000).note(0, 10, 0, 60).end(20).build();
    EXPECT_EQ(buildPassStream(startsWithTempo).events.front().event, makeEvent(kTempo, 400000))
        << "the file's own tempo at tick 0 needs nothing added before it";
}

TEST(PassStream, GapsWiderThanADeltaTimeAreBridged) {
    const int64_t far = int64_t{UINT32_MAX} + 1000;
    const PassStream pass = buildPassStream(SongBuilder().note(far, 10, 0, 60).end(far + 10).build());
    ASSERT_GE(pass.events.size(), 2u);
    EXPECT_EQ(pass.events[0], (StreamEvent{UINT32_MAX, 0, makeEvent(kNop, 0)}));
    EXPECT_EQ(pass.events[1], shortEvent(1000, 0x90, 60, 100));
    EXPECT_EQ(deltaSum(pass.events), far + 10);
}

}  // namespace
