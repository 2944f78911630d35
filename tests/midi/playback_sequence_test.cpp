#include "runtime/midi/playback_sequence.h"

#include <gtest/gtest.h>

#include <deque>

#include "tests/midi/song_builder.h"
#include "tests/midi/stream_reader.h"

namespace {

using namespace runtime::midi;
using midi_test::SongBuilder;

// A song of `notes` quarter notes on channel 3, then a bar of silence.
PassStream scalePass(int notes) {
    SongBuilder b;
    for (int i = 0; i < notes; ++i) b.note(480 * i, 432, 3, 60 + i % 12);
    return buildPassStream(b.end(480 * notes + 1440).build());
}

// Stands in for the device: plays queued slots in the order they were sent
// and hands each back when done, as the thread would report it.
class Device {
public:
    explicit Device(PlaybackSequence& sequence) : sequence_(sequence) {}

    void send(int slot) {
        ASSERT_TRUE(sequence_.slotQueued(slot));
        const auto storage = sequence_.slotStorage(slot);
        played_.insert(played_.end(), storage.begin(), storage.begin() + static_cast<std::ptrdiff_t>(sequence_.slotFilled(slot)));
        queue_.push_back(slot);
    }
    void start() {
        for (int slot : sequence_.start()) send(slot);
    }
    // The oldest buffer has played.
    void completeOne() {
        ASSERT_FALSE(queue_.empty());
        const int slot = queue_.front();
        queue_.pop_front();
        if (sequence_.bufferDone(slot)) send(slot);
    }
    // A reset hands every queued buffer back.
    void reset() {
        std::deque<int> back;
        back.swap(queue_);
        for (int slot : back) EXPECT_FALSE(sequence_.bufferDone(slot)) << "a buffer handed back by the reset was sent again";
    }
    std::size_t queued() const { return queue_.size(); }
    const std::vector<StreamEvent>& played() const { return played_; }

private:
    PlaybackSequence& sequence_;
    std::deque<int> queue_;
    std::vector<StreamEvent> played_;
};

TEST(PlaybackSequence, KeepsEverySlotQueuedAndLoopsFromTheBeginning) {
    const PassStream pass = scalePass(40);  // 80 notes events + 2 closing: 82 events
    PlaybackSequence sequence(pass, -1, 3, 30);
    Device device(sequence);
    device.start();
    EXPECT_EQ(device.queued(), 3u);
    for (int i = 0; i < 20; ++i) {
        device.completeOne();
        EXPECT_EQ(device.queued(), 3u) << "a slot back was not refilled";
    }
    EXPECT_FALSE(sequence.finished());

    // What reached the device is the pass again and again, whole.
    const auto& played = device.played();
    ASSERT_GE(played.size(), 3 * pass.events.size());
    for (std::size_t i = 0; i < played.size(); ++i) ASSERT_EQ(played[i], pass.events[i % pass.events.size()]) << i;
    EXPECT_GE(sequence.passesStarted(), 3);
}

TEST(PlaybackSequence, SlotsStayUnder64KB) {
    PlaybackSequence sequence(scalePass(8000), -1, 2, 1'000'000);
    for (int slot = 0; slot < sequence.slotCount(); ++slot)
        EXPECT_LT(sequence.slotStorage(slot).size_bytes(), 65536u);
    for (int slot : sequence.start()) EXPECT_EQ(sequence.slotFilled(slot), kMaxBufferEvents);
}

TEST(PlaybackSequence, PlaysCountPassesThenFinishesByItself) {
    const PassStream pass = scalePass(10);  // 22 events
    PlaybackSequence sequence(pass, 2, 3, 16);
    Device device(sequence);
    device.start();
    while (device.queued() > 0) device.completeOne();

    EXPECT_TRUE(sequence.finished());
    EXPECT_EQ(device.played().size(), 2 * pass.events.size());
    EXPECT_TRUE(sequence.closingMessages().empty()) << "the stream already ended with them";
    EXPECT_FALSE(sequence.stopRequested()) << "nothing left to reset";
}

TEST(PlaybackSequence, StopHandsEveryBufferBackWithoutSendingAgain) {
    const PassStream pass = scalePass(40);
    PlaybackSequence sequence(pass, -1, 3, 30);
    Device device(sequence);
    device.start();
    device.completeOne();
    const std::size_t playedBeforeStop = device.played().size();

    // A buffer finishing on its own between the stop and the reset is not
    // refilled either.
    EXPECT_TRUE(sequence.stopRequested());
    device.completeOne();
    EXPECT_FALSE(sequence.finished());
    device.reset();

    EXPECT_TRUE(sequence.finished());
    EXPECT_EQ(device.played().size(), playedBeforeStop);
    EXPECT_FALSE(sequence.stopRequested()) << "one reset is enough";
    EXPECT_EQ(std::vector<uint32_t>(sequence.closingMessages().begin(), sequence.closingMessages().end()),
              pass.closingMessages);
}

TEST(PlaybackSequence, NothingToPlayIsFinishedAtOnce) {
    PlaybackSequence sequence(buildPassStream(SongBuilder().meta(0, 0x03).end(0).build()), -1, 3, 30);
    EXPECT_TRUE(sequence.start().empty());
    EXPECT_TRUE(sequence.finished());
    EXPECT_FALSE(sequence.stopRequested());
    EXPECT_TRUE(sequence.closingMessages().empty());
}

// No note sounds where a pass ends: not at a loop boundary, not at the end,
// not after a stop; even one the file itself leaves hanging.
TEST(PlaybackSequence, NoNoteHangsAtALoopBoundaryTheEndOrAStop) {
    const auto song = SongBuilder()
                          .note(0, 480, 0, 60)
                          .channelEvent(240, 0x95, 67, 100)  // never ended in the file
                          .note(900, 50, 9, 42)
                          .end(1000)
                          .build();
    const PassStream pass = buildPassStream(song);

    PlaybackSequence sequence(pass, 3, 2, 5);
    Device device(sequence);
    device.start();
    while (device.queued() > 0) device.completeOne();

    midi_test::StreamReader reader(pass.division);
    midi_test::SoundingNotes sounding;
    const auto& played = device.played();
    ASSERT_EQ(played.size(), 3 * pass.events.size());
    for (std::size_t begin = 0; begin < played.size(); begin += pass.events.size()) {
        sounding.apply(reader.read(std::span(played).subspan(begin, pass.events.size())));
        EXPECT_TRUE(sounding.notes().empty()) << "sounding at the end of the pass from event " << begin;
        EXPECT_EQ(reader.tick() % 1000, 0) << "a pass lasts until the file's end";
    }

    // Stopped in the middle of a pass.
    PlaybackSequence stopped(pass, -1, 2, 3);
    Device cut(stopped);
    cut.start();
    midi_test::StreamReader cutReader(pass.division);
    midi_test::SoundingNotes cutSounding;
    cutSounding.apply(cutReader.read(cut.played()));
    ASSERT_FALSE(cutSounding.notes().empty());
    EXPECT_TRUE(stopped.stopRequested());
    cut.reset();
    for (uint32_t m : stopped.closingMessages()) cutSounding.apply(m);
    EXPECT_TRUE(cutSounding.notes().empty());
}

}  // namespace
