#pragma once
#include <cstdint>
#include <vector>

namespace runtime::codec {

// One channel or system event of a Standard MIDI File, at its absolute time.
struct MidiEvent {
    int64_t tick = 0;         // absolute, in the file's division
    int64_t timeUs = 0;       // absolute, through the tempo map
    uint8_t status = 0;       // 0x80..0xEF channel events, 0xF0/0xF7 sysex, 0xFF meta
    uint8_t data1 = 0;        // channel events: first data byte; meta: its type
    uint8_t data2 = 0;        // channel events: second data byte (0 for 1-byte ones)
    uint32_t tempoUs = 0;     // meta 0x51 only: microseconds per quarter note
    uint16_t track = 0;       // index of the track chunk it came from
    bool runningStatus = false;  // channel event written without its status byte
    std::vector<uint8_t> data;   // meta and sysex events: their bytes after the length
};

// All tracks merged into one list ordered by time (stable: equal times keep
// track order, then file order).
struct MidiSong {
    uint16_t format = 0;
    uint16_t trackCount = 0;
    uint16_t division = 0;      // ticks per quarter note
    std::vector<MidiEvent> events;
    int64_t endTick = 0;        // the latest end-of-track
    int64_t lengthUs = 0;       // time of endTick: the length of one pass
};

}  // namespace runtime::codec
