#include "runtime/midi/pass_stream.h"

#include <algorithm>
#include <bitset>

#include "runtime/codec/midi_bytes.h"

namespace runtime::midi {
namespace {

using namespace codec::midi;

bool isTempo(const codec::MidiEvent& e) { return e.status == kMeta && e.data1 == kMetaTempo; }

// Appends an event `ticks` after the previous one; a gap wider than a delta
// time can hold is bridged with empty events.
void append(std::vector<StreamEvent>& events, int64_t ticks, uint32_t event) {
    constexpr int64_t kMaxDelta = UINT32_MAX;
    while (ticks > kMaxDelta) {
        events.push_back({UINT32_MAX, 0, makeEvent(kNop, 0)});
        ticks -= kMaxDelta;
    }
    events.push_back({static_cast<uint32_t>(ticks), 0, event});
}

}  // namespace

PassStream buildPassStream(const codec::MidiSong& song) {
    PassStream pass;
    pass.division = song.division;

    // Each pass plays at the tempo the file starts with, even when an earlier
    // pass ended on a later tempo change.
    const auto firstTempo = std::find_if(song.events.begin(), song.events.end(), isTempo);
    if (firstTempo != song.events.end() && firstTempo->tick > 0)
        append(pass.events, 0, makeEvent(kTempo, kDefaultTempoUs));

    std::bitset<16> channels;
    int64_t lastTick = 0;
    for (const codec::MidiEvent& e : song.events) {
        uint32_t event = 0;
        if (isChannelEvent(e.status)) {
            event = makeEvent(kShortMessage, shortMessage(e.status, e.data1, e.data2));
            channels.set(e.status & 0x0F);
        } else if (isTempo(e)) {
            event = makeEvent(kTempo, e.tempoUs);
        } else {
            continue;  // meta and system-exclusive events have nothing to send
        }
        const int64_t tick = std::max(e.tick, lastTick);
        append(pass.events, tick - lastTick, event);
        lastTick = tick;
    }

    for (int channel = 0; channel < 16; ++channel) {
        if (!channels[channel]) continue;
        const auto status = static_cast<uint8_t>(kControlChange | channel);
        pass.closingMessages.push_back(shortMessage(status, kAllNotesOff, 0));
        pass.closingMessages.push_back(shortMessage(status, kResetAllControllers, 0));
    }

    // The silence after the last event up to the end of the file belongs to
    // the pass: the closing messages (or an empty event) sit at the end tick.
    int64_t tail = std::max(song.endTick, lastTick) - lastTick;
    for (uint32_t message : pass.closingMessages) {
        append(pass.events, tail, makeEvent(kShortMessage, message));
        tail = 0;
    }
    if (tail > 0) append(pass.events, tail, makeEvent(kNop, 0));

    for (const StreamEvent& e : pass.events) pass.lengthTicks += e.deltaTime;
    return pass;
}

}  // namespace runtime::midi
