#pragma once
// The life of one playback over a few stream buffers ("slots") that go round
// between us and the device. The thread that talks to the device tells it
// what happened and does what it answers; kept free of the system so that
// the order of things can be tested without a device.
//
// The stop: stopRequested() comes first, so that the buffers a reset hands
// back are not sent again; the thread resets the output only if this says
// so, waits until finished() (every buffer back), sends closingMessages(),
// then releases the buffers and closes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "runtime/midi/stream_cursor.h"

namespace runtime::midi {

class PlaybackSequence {
public:
    // slotEvents is capped so that a buffer stays under 64 KB.
    PlaybackSequence(PassStream pass, int count, int slotCount, std::size_t slotEvents);

    // Fills the slots for the start; returns those to send, in order, before
    // the stream is started. Empty: nothing to play.
    std::vector<int> start();
    // A sent buffer came back. True if it was refilled and must be sent again.
    bool bufferDone(int slot);
    // Playback is to end now (asked for, or sending failed). True the first
    // time while buffers are queued: the output must be reset to hand them
    // back (and to silence what sounds).
    bool stopRequested();

    bool stopping() const { return stopping_; }
    // Every buffer is back and nothing more will be sent.
    bool finished() const;
    // To send once finished: the closing messages when a stop cut the
    // stream short; nothing when it played to its end (it closed itself).
    std::span<const uint32_t> closingMessages() const;

    int slotCount() const { return static_cast<int>(slots_.size()); }
    // A slot's buffer: the same memory for the sequence's whole life.
    std::span<StreamEvent> slotStorage(int slot) { return slots_.at(slot).storage; }
    std::size_t slotFilled(int slot) const { return slots_.at(slot).filled; }
    bool slotQueued(int slot) const { return slots_.at(slot).queued; }
    uint16_t division() const { return cursor_.pass().division; }
    int passesStarted() const { return cursor_.passesStarted(); }

private:
    struct Slot {
        std::vector<StreamEvent> storage;
        std::size_t filled = 0;
        bool queued = false;
    };
    bool refill(Slot& slot);
    bool anyQueued() const;

    StreamCursor cursor_;
    std::vector<Slot> slots_;
    bool stopping_ = false;
    bool cutShort_ = false;
};

}  // namespace runtime::midi
