#pragma once
// The events of a Windows MIDI stream buffer. Every event we send is a short
// one (delta, stream id, event: 12 bytes); the parsed song carries no
// system-exclusive payloads, so no long events are ever needed.
#include <cstddef>
#include <cstdint>

namespace runtime::midi {

struct StreamEvent {
    uint32_t deltaTime = 0;  // ticks since the previous event, in the song's division
    uint32_t streamId = 0;   // always 0
    uint32_t event = 0;      // type in the high byte, parameters in the low 24 bits

    friend bool operator==(const StreamEvent&, const StreamEvent&) = default;
};
static_assert(sizeof(StreamEvent) == 12);

// Event types, the high byte of StreamEvent::event.
inline constexpr uint32_t kShortMessage = 0x00;  // parameters: status | data1 << 8 | data2 << 16
inline constexpr uint32_t kTempo = 0x01;         // parameters: microseconds per quarter note
inline constexpr uint32_t kNop = 0x02;           // only carries its delta time

// A stream buffer must stay under 64 KB.
inline constexpr std::size_t kMaxBufferBytes = 65535;
inline constexpr std::size_t kMaxBufferEvents = kMaxBufferBytes / sizeof(StreamEvent);

// Microseconds per quarter note until the song says otherwise.
inline constexpr uint32_t kDefaultTempoUs = 500000;

constexpr uint32_t shortMessage(uint8_t status, uint8_t data1, uint8_t data2) {
    return uint32_t{status} | uint32_t{data1} << 8 | uint32_t{data2} << 16;
}

constexpr uint32_t eventType(uint32_t event) { return event >> 24; }
constexpr uint32_t eventParameters(uint32_t event) { return event & 0xFFFFFF; }
constexpr uint32_t makeEvent(uint32_t type, uint32_t parameters) {
    return type << 24 | (parameters & 0xFFFFFF);
}

}  // namespace runtime::midi
