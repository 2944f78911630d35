#pragma once
// Reads stream events back the way the device plays them: absolute ticks,
// microseconds through the tempo events (exact, rounded down per event, as
// the parser times them), and which notes sound.
#include <cstdint>
#include <set>
#include <span>
#include <utility>
#include <vector>

#include "runtime/codec/midi_bytes.h"
#include "runtime/midi/stream_event.h"

namespace midi_test {

using namespace runtime::codec::midi;

struct TimedMessage {
    int64_t tick = 0;
    int64_t us = 0;
    uint32_t message = 0;  // status | data1 << 8 | data2 << 16
};

inline uint8_t statusOf(uint32_t message) { return message & 0xFF; }
inline uint8_t data1Of(uint32_t message) { return (message >> 8) & 0xFF; }
inline uint8_t data2Of(uint32_t message) { return (message >> 16) & 0xFF; }
inline bool isNoteOn(uint32_t m) { return startsNote(statusOf(m), data2Of(m)); }
inline bool isNoteOff(uint32_t m) {
    return kindOf(statusOf(m)) == kNoteOff || (kindOf(statusOf(m)) == kNoteOn && data2Of(m) == 0);
}

class StreamReader {
public:
    explicit StreamReader(uint16_t division) : division_(division) {}

    // Reads the next events; returns the short messages among them.
    std::vector<TimedMessage> read(std::span<const runtime::midi::StreamEvent> events) {
        using namespace runtime::midi;
        std::vector<TimedMessage> out;
        for (const StreamEvent& e : events) {
            tick_ += e.deltaTime;
            const uint32_t type = eventType(e.event);
            if (type == kShortMessage) out.push_back({tick_, nowUs(), eventParameters(e.event)});
            if (type == kTempo) {
                baseTime_ = exactTime();
                baseTick_ = tick_;
                tempoUs_ = eventParameters(e.event);
            }
        }
        return out;
    }

    int64_t tick() const { return tick_; }
    int64_t nowUs() const { return exactTime() / division_; }

private:
    // In microseconds times the division.
    int64_t exactTime() const { return baseTime_ + (tick_ - baseTick_) * tempoUs_; }

    uint16_t division_;
    int64_t tick_ = 0;
    int64_t baseTick_ = 0;
    int64_t baseTime_ = 0;
    int64_t tempoUs_ = runtime::midi::kDefaultTempoUs;
};

// The notes a synthesizer would hold, as (channel, key).
class SoundingNotes {
public:
    void apply(uint32_t m) {
        const int channel = statusOf(m) & 0x0F;
        if (isNoteOn(m)) notes_.insert({channel, data1Of(m)});
        else if (isNoteOff(m)) notes_.erase({channel, data1Of(m)});
        else if (kindOf(statusOf(m)) == kControlChange && data1Of(m) == kAllNotesOff)
            std::erase_if(notes_, [channel](const auto& n) { return n.first == channel; });
    }
    void apply(const std::vector<TimedMessage>& messages) {
        for (const TimedMessage& t : messages) apply(t.message);
    }
    const std::set<std::pair<int, int>>& notes() const { return notes_; }

private:
    std::set<std::pair<int, int>> notes_;
};

}  // namespace midi_test
