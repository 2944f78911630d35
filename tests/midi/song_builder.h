#pragma once
// Small songs written in the test, in the parser's output form (the stream
// building reads ticks only, so times in microseconds are left out).
#include <algorithm>
#include <cstdint>

#include "runtime/codec/midi_bytes.h"
#include "runtime/codec/midi_song.h"

namespace midi_test {

using namespace runtime::codec::midi;

class SongBuilder {
public:
    explicit SongBuilder(uint16_t division = 480) { song_.division = division; }

    SongBuilder& channelEvent(int64_t tick, int status, int data1, int data2 = 0) {
        return add(tick, status, data1, data2, 0);
    }
    // A note-on, and after `length` the note-on of velocity 0 that ends it.
    SongBuilder& note(int64_t tick, int64_t length, int channel, int key) {
        channelEvent(tick, kNoteOn | channel, key, 100);
        return channelEvent(tick + length, kNoteOn | channel, key, 0);
    }
    SongBuilder& tempo(int64_t tick, uint32_t us) { return add(tick, kMeta, kMetaTempo, 0, us); }
    SongBuilder& meta(int64_t tick, int type) { return add(tick, kMeta, type, 0, 0); }
    SongBuilder& sysex(int64_t tick) { return add(tick, kSysex, 0, 0, 0); }
    SongBuilder& end(int64_t tick) {
        song_.endTick = tick;
        return *this;
    }

    // Ordered by time; equal times keep the order they were added in.
    runtime::codec::MidiSong build() const {
        runtime::codec::MidiSong song = song_;
        std::stable_sort(song.events.begin(), song.events.end(),
                         [](const auto& a, const auto& b) { return a.tick < b.tick; });
        return song;
    }

private:
    SongBuilder& add(int64_t tick, int status, int data1, int data2, uint32_t tempoUs) {
        runtime::codec::MidiEvent e;
        e.tick = tick;
        e.status = static_cast<uint8_t>(status);
        e.data1 = static_cast<uint8_t>(data1);
        e.data2 = static_cast<uint8_t>(data2);
        e.tempoUs = tempoUs;
        song_.events.push_back(e);
        return *this;
    }

    runtime::codec::MidiSong song_;
};

}  // namespace midi_test
