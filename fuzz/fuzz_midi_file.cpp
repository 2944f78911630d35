// Any bytes: a song in time order that ends after its last event, or a reason.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "runtime/codec/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto parsed = runtime::codec::parseMidiFile(std::span(data, size));
    if (!parsed) {
        if (parsed.reason().empty()) std::abort();
        return 0;
    }
    const runtime::codec::MidiSong& song = parsed.value();
    int64_t tick = 0, timeUs = 0;
    for (const auto& event : song.events) {
        if (event.tick < tick || event.timeUs < timeUs || event.track >= song.trackCount) std::abort();
        tick = event.tick;
        timeUs = event.timeUs;
    }
    if (song.endTick < tick || song.lengthUs < timeUs) std::abort();
    return 0;
}
