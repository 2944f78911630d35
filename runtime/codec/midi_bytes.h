#pragma once
// The Standard MIDI File and MIDI message bytes the reader, the player, the
// back-ends and the tools share.
#include <cstdint>

namespace runtime::codec::midi {

// Status bytes: a channel event's kind in the high nibble, its channel low.
inline constexpr uint8_t kNoteOff = 0x80;
inline constexpr uint8_t kNoteOn = 0x90;
inline constexpr uint8_t kKeyPressure = 0xA0;
inline constexpr uint8_t kControlChange = 0xB0;
inline constexpr uint8_t kProgramChange = 0xC0;
inline constexpr uint8_t kChannelPressure = 0xD0;
inline constexpr uint8_t kPitchBend = 0xE0;
inline constexpr uint8_t kSysex = 0xF0;
inline constexpr uint8_t kSysexContinuation = 0xF7;
inline constexpr uint8_t kMeta = 0xFF;

inline constexpr uint8_t kMetaEndOfTrack = 0x2F;
inline constexpr uint8_t kMetaTempo = 0x51;
inline constexpr uint8_t kMetaTimeSignature = 0x58;

inline constexpr uint8_t kResetAllControllers = 121;
inline constexpr uint8_t kAllNotesOff = 123;

inline constexpr uint8_t kindOf(uint8_t status) { return status & 0xF0; }
inline constexpr bool isChannelEvent(uint8_t status) { return status >= kNoteOff && status < kSysex; }
// A note-on of velocity 0 ends a note, as a note-off does.
inline constexpr bool startsNote(uint8_t status, uint8_t velocity) {
    return kindOf(status) == kNoteOn && velocity > 0;
}

}  // namespace runtime::codec::midi
