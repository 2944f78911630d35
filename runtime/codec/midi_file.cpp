#include "runtime/codec/midi_file.h"

#include <algorithm>
#include <string>

#include "runtime/codec/byte_reader.h"
#include "runtime/codec/midi_bytes.h"

namespace runtime::codec {
namespace {

using Result = Decoded<MidiSong>;

// Bounds on what a file may ask for: ticks times tempos (below 2^24) add up
// to less than 2^56, and the event list stays a sane size.
constexpr int64_t kMaxTick = int64_t{1} << 32;
constexpr std::size_t kMaxEvents = std::size_t{1} << 20;
constexpr uint32_t kDefaultTempoUs = 500000;

using namespace midi;

bool hasTag(ByteReader& in, const char* tag) {
    std::span<const uint8_t> bytes;
    return in.take(4, bytes) && std::equal(bytes.begin(), bytes.end(), tag);
}

// A variable-length quantity: at most four bytes, seven bits each.
bool readVarLen(ByteReader& in, uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        uint8_t byte = 0;
        if (!in.u8(byte)) return false;
        value = value << 7 | (byte & 0x7F);
        if (!(byte & 0x80)) return true;
    }
    return false;
}

int dataBytesOf(uint8_t status) {
    const uint8_t kind = kindOf(status);
    return kind == kProgramChange || kind == kChannelPressure ? 1 : 2;
}

class TrackReader {
public:
    TrackReader(std::span<const uint8_t> chunk, uint16_t track, std::vector<MidiEvent>& events)
        : in_(chunk), track_(track), events_(events) {}

    // Reads events up to the end-of-track; returns the reason on failure.
    std::string run() {
        for (;;) {
            uint32_t delta = 0;
            if (!readVarLen(in_, delta))
                return in_.atEnd() ? "track ends without an end-of-track event" : "delta time longer than four bytes";
            tick_ += delta;
            if (tick_ > kMaxTick) return "song too long";
            if (events_.size() == kMaxEvents) return "too many events";
            MidiEvent event;
            event.tick = tick_;
            event.track = track_;
            if (auto reason = readEvent(event); !reason.empty()) return reason;
            const bool ended = event.status == kMeta && event.data1 == kMetaEndOfTrack;
            events_.push_back(std::move(event));
            if (ended) return {};
        }
    }

    int64_t endTick() const { return tick_; }

private:
    std::string readEvent(MidiEvent& event) {
        uint8_t first = 0;
        if (!in_.u8(first)) return "track ends inside an event";
        if (first < 0x80) {
            if (running_ == 0) return "data byte without a running status";
            event.status = running_;
            event.runningStatus = true;
            return readChannelData(event, first);
        }
        event.status = first;
        if (first < kSysex) {
            running_ = first;
            uint8_t data1 = 0;
            if (!in_.u8(data1)) return "track ends inside an event";
            return readChannelData(event, data1);
        }
        // Meta and system-exclusive events cancel the running status.
        running_ = 0;
        if (first == kMeta) {
            if (!in_.u8(event.data1)) return "track ends inside a meta event";
            if (auto reason = readPayload(event); !reason.empty()) return reason;
            if (event.data1 == kMetaTempo) {
                if (event.data.size() != 3) return "tempo event of the wrong length";
                event.tempoUs = uint32_t{event.data[0]} << 16 | uint32_t{event.data[1]} << 8 | event.data[2];
            }
            return {};
        }
        if (first == kSysex || first == kSysexContinuation) return readPayload(event);
        return "status byte not allowed in a file";
    }

    std::string readChannelData(MidiEvent& event, uint8_t data1) {
        if (data1 >= 0x80) return "channel event data out of range";
        event.data1 = data1;
        if (dataBytesOf(event.status) == 2) {
            if (!in_.u8(event.data2)) return "track ends inside an event";
            if (event.data2 >= 0x80) return "channel event data out of range";
        }
        return {};
    }

    std::string readPayload(MidiEvent& event) {
        uint32_t length = 0;
        std::span<const uint8_t> bytes;
        if (!readVarLen(in_, length) || !in_.take(length, bytes)) return "track ends inside an event";
        event.data.assign(bytes.begin(), bytes.end());
        return {};
    }

    ByteReader in_;
    uint16_t track_;
    std::vector<MidiEvent>& events_;
    int64_t tick_ = 0;
    uint8_t running_ = 0;
};

// Absolute times through the tempo map: each tempo change starts a segment.
// Times are kept exact, in microseconds times the division, and rounded down
// once per event: rounding each segment's start would drift over many changes.
void applyTempoMap(MidiSong& song) {
    int64_t segmentTick = 0, segmentStart = 0;
    int64_t tempo = kDefaultTempoUs;
    const auto exactTimeOf = [&](int64_t tick) { return segmentStart + (tick - segmentTick) * tempo; };
    for (MidiEvent& event : song.events) {
        event.timeUs = exactTimeOf(event.tick) / song.division;
        if (event.status == kMeta && event.data1 == kMetaTempo) {
            segmentStart = exactTimeOf(event.tick);
            segmentTick = event.tick;
            tempo = event.tempoUs;
        }
    }
    song.lengthUs = exactTimeOf(song.endTick) / song.division;
}

}  // namespace

Decoded<MidiSong> parseMidiFile(std::span<const uint8_t> bytes) {
    ByteReader in(bytes);
    if (!hasTag(in, "MThd")) return Result::refused("not a MIDI file (no \"MThd\")");
    uint32_t headerLength = 0;
    MidiSong song;
    if (!in.u32be(headerLength)) return Result::refused("file ends inside the header");
    if (headerLength != 6) return Result::refused("header length is not 6");
    if (!in.u16be(song.format) || !in.u16be(song.trackCount) || !in.u16be(song.division))
        return Result::refused("file ends inside the header");
    if (song.format > 1) return Result::refused("only formats 0 and 1 are played");
    if (song.trackCount == 0) return Result::refused("no tracks");
    if (song.format == 0 && song.trackCount != 1) return Result::refused("format 0 with several tracks");
    if (song.division & 0x8000) return Result::refused("SMPTE time division is not supported");
    if (song.division == 0) return Result::refused("time division of 0");

    for (uint16_t track = 0; track < song.trackCount; ++track) {
        uint32_t length = 0;
        std::span<const uint8_t> chunk;
        if (!hasTag(in, "MTrk")) return Result::refused("chunk is not a track (no \"MTrk\")");
        if (!in.u32be(length) || !in.take(length, chunk))
            return Result::refused("track chunk runs past the end of the file");
        TrackReader reader(chunk, track, song.events);
        if (auto reason = reader.run(); !reason.empty()) return Result::refused(reason);
        song.endTick = std::max(song.endTick, reader.endTick());
    }

    // Tracks were read in order, so a stable sort keeps track order, then
    // file order, among events of the same tick.
    std::stable_sort(song.events.begin(), song.events.end(),
                     [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
    applyTempoMap(song);
    return Result::ok(std::move(song));
}

}  // namespace runtime::codec
