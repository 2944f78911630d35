#pragma once
#include <cstdint>
#include <span>

#include "runtime/codec/decoded.h"
#include "runtime/codec/midi_song.h"

namespace runtime::codec {

// Parses a Standard MIDI File: "MThd" with length 6, then "MTrk" chunks.
Decoded<MidiSong> parseMidiFile(std::span<const uint8_t> bytes);

}  // namespace runtime::codec
