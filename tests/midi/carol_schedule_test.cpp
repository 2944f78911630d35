// The carol as the player streams it: when its notes sound, pass after pass.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "runtime/codec/midi_file.h"
#include "runtime/midi/stream_cursor.h"
#include "tests/midi/stream_reader.h"

namespace {

using namespace runtime::midi;
using namespace midi_test;

class CarolSchedule : public ::testing::Test {
protected:
    void SetUp() override {
        std::ifstream file(CC_CAROL_PATH, std::ios::binary);
        if (!file) GTEST_SKIP() << "no " << CC_CAROL_PATH << " yet";
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
        auto parsed = runtime::codec::parseMidiFile(bytes);
        ASSERT_TRUE(parsed) << parsed.reason();
        song = std::move(parsed).value();
        pass = buildPassStream(song);
    }

    runtime::codec::MidiSong song;
    PassStream pass;
};

TEST_F(CarolSchedule, FirstNoteAtOneSecondLastEndsAt30904MsPassOf31500Ms) {
    StreamCursor cursor(pass, 2);
    std::vector<StreamEvent> streamed, load(256);
    while (const std::size_t n = cursor.fill(load)) streamed.insert(streamed.end(), load.begin(), load.begin() + n);
    ASSERT_EQ(streamed.size(), 2 * pass.events.size());

    StreamReader reader(pass.division);
    const auto firstPass = reader.read(std::span(streamed).first(pass.events.size()));
    EXPECT_EQ(pass.lengthTicks, 30240);
    EXPECT_EQ(reader.nowUs(), 31'500'000);
    SoundingNotes sounding;
    sounding.apply(firstPass);
    EXPECT_TRUE(sounding.notes().empty()) << "a note sounds into the next pass";
    const auto secondPass = reader.read(std::span(streamed).subspan(pass.events.size()));

    auto firstNoteOn = [](const std::vector<TimedMessage>& messages) {
        return std::find_if(messages.begin(), messages.end(), [](const auto& t) { return isNoteOn(t.message); });
    };
    ASSERT_NE(firstNoteOn(firstPass), firstPass.end());
    EXPECT_EQ(firstNoteOn(firstPass)->us, 1'000'000);
    ASSERT_NE(firstNoteOn(secondPass), secondPass.end());
    EXPECT_EQ(firstNoteOn(secondPass)->us, 32'500'000) << "the next pass starts at its first note, without a pause";

    const auto lastNoteOff = std::find_if(firstPass.rbegin(), firstPass.rend(), [](const auto& t) { return isNoteOff(t.message); });
    ASSERT_NE(lastNoteOff, firstPass.rend());
    EXPECT_EQ(lastNoteOff->tick, 29668);
    EXPECT_EQ(lastNoteOff->us / 1000, 30904);
}

TEST_F(CarolSchedule, StreamedAtTheParsedTimesWithClosingOnItsTwoChannels) {
    StreamReader reader(pass.division);
    const auto played = reader.read(pass.events);
    std::vector<runtime::codec::MidiEvent> channelEvents;
    for (const auto& e : song.events)
        if (e.status >= 0x80 && e.status < 0xF0) channelEvents.push_back(e);
    ASSERT_EQ(played.size(), channelEvents.size() + pass.closingMessages.size());
    for (std::size_t i = 0; i < channelEvents.size(); ++i) {
        EXPECT_EQ(played[i].tick, channelEvents[i].tick) << i;
        EXPECT_EQ(played[i].us, channelEvents[i].timeUs) << i;
        EXPECT_EQ(statusOf(played[i].message), channelEvents[i].status) << i;
    }
    // Channels 5 and 6 (4 and 5 counted from 0) sound; nothing else is touched.
    const std::vector<uint32_t> closing = {
        shortMessage(0xB4, 123, 0), shortMessage(0xB4, 121, 0),
        shortMessage(0xB5, 123, 0), shortMessage(0xB5, 121, 0),
    };
    EXPECT_EQ(pass.closingMessages, closing);
}

}  // namespace
