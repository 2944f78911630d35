#pragma once
// One pass of a song as stream events, built once per play and sent again
// for every loop.
#include <cstdint>
#include <vector>

#include "runtime/codec/midi_song.h"
#include "runtime/midi/stream_event.h"

namespace runtime::midi {

struct PassStream {
    uint16_t division = 0;  // ticks per quarter note, the stream's time division
    // The song's channel events and tempo changes, then, at the song's end
    // tick, the closing messages: a pass lasts exactly as long as the file.
    std::vector<StreamEvent> events;
    // All notes off and reset all controllers on every channel the song
    // uses, so that no note outlives a pass or a stop.
    std::vector<uint32_t> closingMessages;
    int64_t lengthTicks = 0;  // sum of the events' delta times
};

PassStream buildPassStream(const codec::MidiSong& song);

}  // namespace runtime::midi
