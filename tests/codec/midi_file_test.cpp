#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "runtime/codec/midi_file.h"

namespace {

using runtime::codec::MidiEvent;
using runtime::codec::MidiSong;
using runtime::codec::parseMidiFile;
using Bytes = std::vector<uint8_t>;

void put32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

Bytes chunk(const char* tag, const Bytes& body) {
    Bytes out(tag, tag + 4);
    put32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes smf(uint16_t format, uint16_t division, const std::vector<Bytes>& tracks) {
    Bytes out = chunk("MThd", {0, static_cast<uint8_t>(format), 0, static_cast<uint8_t>(tracks.size()),
                               static_cast<uint8_t>(division >> 8), static_cast<uint8_t>(division)});
    for (const Bytes& t : tracks) {
        const Bytes c = chunk("MTrk", t);
        out.insert(out.end(), c.begin(), c.end());
    }
    return out;
}

const Bytes kEnd = {0x00, 0xFF, 0x2F, 0x00};

Bytes track(Bytes events) {
    events.insert(events.end(), kEnd.begin(), kEnd.end());
    return events;
}

TEST(MidiFile, RunningStatusAndOneByteEvents) {
    // Note on C4, then with running status: note on E4, C4 off (velocity 0),
    // E4 off; a program change and a channel pressure take one data byte.
    const Bytes bytes = smf(0, 96, {track({0x00, 0x91, 60, 100, 0x00, 64, 90, 0x30, 60, 0, 0x00, 64, 0,
                                           0x10, 0xC1, 11, 0x00, 0xD1, 40, 0x00, 0x81, 64, 5})});
    auto parsed = parseMidiFile(bytes);
    ASSERT_TRUE(parsed) << parsed.reason();
    const MidiSong& song = parsed.value();
    EXPECT_EQ(song.format, 0);
    EXPECT_EQ(song.trackCount, 1);
    EXPECT_EQ(song.division, 96);
    ASSERT_EQ(song.events.size(), 8u);

    struct Expected { int64_t tick; uint8_t status, data1, data2; bool running; };
    const Expected expected[] = {
        {0, 0x91, 60, 100, false}, {0, 0x91, 64, 90, true}, {48, 0x91, 60, 0, true},
        {48, 0x91, 64, 0, true},   {64, 0xC1, 11, 0, false}, {64, 0xD1, 40, 0, false},
        {64, 0x81, 64, 5, false},  {64, 0xFF, 0x2F, 0, false},
    };
    for (std::size_t i = 0; i < 8; ++i) {
        const MidiEvent& e = song.events[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(e.tick, expected[i].tick);
        EXPECT_EQ(e.status, expected[i].status);
        EXPECT_EQ(e.data1, expected[i].data1);
        EXPECT_EQ(e.data2, expected[i].data2);
        EXPECT_EQ(e.runningStatus, expected[i].running);
    }
    EXPECT_EQ(song.endTick, 64);
    EXPECT_EQ(song.lengthUs, 64 * 500000 / 96);  // the default tempo
}

TEST(MidiFile, TempoChangeMidFileRetimesWhatFollows) {
    // Track 0: tempo 500000 at 0, 250000 at 960; ends at 1920.
    const Bytes tempoTrack = track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,
                                    0x87, 0x40, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,
                                    0x87, 0x40, 0xFF, 0x01, 0x01, 'x'});
    // Track 1: notes at 480, 960 and 1440.
    const Bytes notes = track({0x83, 0x60, 0x90, 60, 100, 0x83, 0x60, 62, 100, 0x83, 0x60, 64, 100});
    auto parsed = parseMidiFile(smf(1, 480, {tempoTrack, notes}));
    ASSERT_TRUE(parsed) << parsed.reason();
    const MidiSong& song = parsed.value();

    std::vector<std::pair<int64_t, int64_t>> noteTimes;
    for (const MidiEvent& e : song.events)
        if (e.status == 0x90) noteTimes.emplace_back(e.tick, e.timeUs);
    EXPECT_EQ(noteTimes, (std::vector<std::pair<int64_t, int64_t>>{{480, 500000}, {960, 1000000}, {1440, 1250000}}));

    const auto tempo = std::find_if(song.events.begin(), song.events.end(),
                                    [](const MidiEvent& e) { return e.tick == 960 && e.data1 == 0x51; });
    ASSERT_NE(tempo, song.events.end());
    EXPECT_EQ(tempo->tempoUs, 250000u);
    EXPECT_EQ(tempo->timeUs, 1000000);
    EXPECT_EQ(song.endTick, 1920);
    EXPECT_EQ(song.lengthUs, 1500000);
}

void putVarLen(Bytes& out, uint32_t v) {
    int shift = 21;
    while (shift > 0 && (v >> shift) == 0) shift -= 7;
    for (; shift > 0; shift -= 7) out.push_back(static_cast<uint8_t>(0x80 | (v >> shift & 0x7F)));
    out.push_back(static_cast<uint8_t>(v & 0x7F));
}

// Segments of awkward lengths at awkward tempos: every time must be the
// exact one rounded down, not carry each segment's rounding into the next.
TEST(MidiFile, TimesThroughManyTempoChangesDoNotDrift) {
    struct Segment { uint32_t ticks, tempoUs; };
    struct Map { const char* what; uint16_t division; std::vector<Segment> segments; };
    std::vector<Segment> many, longest;
    for (uint32_t i = 0; i < 60; ++i) many.push_back({7 + i % 5, 400000 + 9973 * i});
    // Near the longest song the parser takes, near the slowest tempo: just
    // under 2^56 in microseconds times the division.
    for (uint32_t i = 0; i < 16; ++i) longest.push_back({0x0FFFFFFE, 0xFFFFFD + i % 2});
    const Map maps[] = {{"sixty changes", 480, many}, {"longest and slowest", 3, longest}};

    for (const Map& map : maps) {
        SCOPED_TRACE(map.what);
        // One track: each segment starts with its tempo and has a note halfway.
        Bytes events;
        uint32_t sinceLast = 0;
        for (const Segment& s : map.segments) {
            putVarLen(events, sinceLast);
            events.insert(events.end(), {0xFF, 0x51, 0x03, static_cast<uint8_t>(s.tempoUs >> 16),
                                         static_cast<uint8_t>(s.tempoUs >> 8), static_cast<uint8_t>(s.tempoUs)});
            putVarLen(events, s.ticks / 2);
            events.insert(events.end(), {0x90, 60, 100});
            sinceLast = s.ticks - s.ticks / 2;
        }
        putVarLen(events, sinceLast);
        events.insert(events.end(), {0xFF, 0x2F, 0x00});
        auto parsed = parseMidiFile(smf(0, map.division, {events}));
        ASSERT_TRUE(parsed) << parsed.reason();
        const MidiSong& song = parsed.value();
        ASSERT_EQ(song.events.size(), 2 * map.segments.size() + 1);

        // Exact: the sum of ticks times tempo over the segments, over the division.
        const auto exactUs = [&](int64_t tick) {
            __int128 sum = 0;
            for (const Segment& s : map.segments) {
                const int64_t ticks = std::min<int64_t>(tick, s.ticks);
                sum += __int128{ticks} * s.tempoUs;
                tick -= ticks;
            }
            return static_cast<int64_t>(sum / map.division);
        };
        for (const MidiEvent& e : song.events) EXPECT_EQ(e.timeUs, exactUs(e.tick)) << "tick " << e.tick;
        EXPECT_EQ(song.lengthUs, exactUs(song.endTick));
    }
}

TEST(MidiFile, TracksMergeByTimeKeepingTrackThenFileOrder) {
    const Bytes a = track({0x00, 0xB0, 7, 1, 0x00, 0xB0, 7, 2, 0x60, 0xB0, 7, 3});
    const Bytes b = track({0x00, 0xB1, 7, 4, 0x30, 0xB1, 7, 5, 0x30, 0xB1, 7, 6, 0x10, 0xB1, 7, 7});
    auto parsed = parseMidiFile(smf(1, 96, {a, b}));
    ASSERT_TRUE(parsed) << parsed.reason();
    std::vector<int> order;
    for (const MidiEvent& e : parsed.value().events)
        if (e.status < 0xF0) order.push_back(e.data2);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 4, 5, 3, 6, 7}));
    const auto& events = parsed.value().events;
    EXPECT_TRUE(std::is_sorted(events.begin(), events.end(),
                               [](const MidiEvent& x, const MidiEvent& y) { return x.tick < y.tick; }));
    EXPECT_EQ(parsed.value().endTick, 96 + 16);
}

TEST(MidiFile, MetaAndSysexKeepTheirBytes) {
    const Bytes bytes = smf(0, 480, {track({0x00, 0xFF, 0x03, 0x06, 'T', 'r', 'a', 'c', 'k', '1',
                                           0x00, 0xFF, 0x58, 0x04, 0x03, 0x02, 0x18, 0x08,
                                           0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7,
                                           0x00, 0xF7, 0x01, 0x42})});
    auto parsed = parseMidiFile(bytes);
    ASSERT_TRUE(parsed) << parsed.reason();
    const auto& e = parsed.value().events;
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[0].data1, 0x03);
    EXPECT_EQ(e[0].data, (Bytes{'T', 'r', 'a', 'c', 'k', '1'}));
    EXPECT_EQ(e[1].data, (Bytes{3, 2, 0x18, 8}));
    EXPECT_EQ(e[2].status, 0xF0);
    EXPECT_EQ(e[2].data, (Bytes{0x7E, 0x7F, 0xF7}));
    EXPECT_EQ(e[3].status, 0xF7);
    EXPECT_EQ(e[3].data, (Bytes{0x42}));
}

Bytes smallValidSong() {
    return smf(1, 480, {track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}),
                        track({0x00, 0xC4, 11, 0x83, 0x60, 0x94, 74, 100, 0x81, 0x40, 74, 0})});
}

TEST(MidiFile, EveryTruncationIsRefused) {
    const Bytes bytes = smallValidSong();
    ASSERT_TRUE(parseMidiFile(bytes));
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        auto song = parseMidiFile(std::span(bytes).first(n));
        EXPECT_FALSE(song) << "length " << n;
        EXPECT_FALSE(song.reason().empty()) << "length " << n;
    }
}

struct Malformed {
    const char* what;
    Bytes bytes;
    const char* reason;
};

Bytes withByte(Bytes bytes, std::size_t at, uint8_t value) {
    bytes.at(at) = value;
    return bytes;
}

Bytes oneTrack(const Bytes& events) { return smf(0, 480, {events}); }

TEST(MidiFile, MalformedFilesAreRefusedWithAReason) {
    const Bytes valid = smallValidSong();
    Bytes longHeader = chunk("MThd", {0, 1, 0, 1, 1, 0xE0, 0});
    const Bytes aTrack = chunk("MTrk", kEnd);
    longHeader.insert(longHeader.end(), aTrack.begin(), aTrack.end());
    Bytes unknownChunk = smf(1, 480, {kEnd});
    const Bytes extra = chunk("XFIH", {1, 2, 3});
    unknownChunk.insert(unknownChunk.begin() + 14, extra.begin(), extra.end());
    unknownChunk[11] = 2;  // the header counts it as a track
    Bytes longGaps;  // 17 gaps of the longest delta time pass 2^32 ticks
    for (int i = 0; i < 17; ++i) longGaps.insert(longGaps.end(), {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x01, 0x00});

    const std::vector<Malformed> cases = {
        {"empty", {}, "not a MIDI file (no \"MThd\")"},
        {"RIFF wrapper", withByte(valid, 0, 'R'), "not a MIDI file (no \"MThd\")"},
        {"header length 7", longHeader, "header length is not 6"},
        {"header length 5", withByte(valid, 7, 5), "header length is not 6"},
        {"chunk not a track", withByte(valid, 14, 'X'), "chunk is not a track (no \"MTrk\")"},
        {"unknown chunk", unknownChunk, "chunk is not a track (no \"MTrk\")"},
        {"track longer than file", withByte(valid, 18, 0x7F), "track chunk runs past the end of the file"},
        {"format 2", withByte(valid, 9, 2), "only formats 0 and 1 are played"},
        {"no tracks", smf(1, 480, {}), "no tracks"},
        {"format 0, two tracks", smf(0, 480, {kEnd, kEnd}), "format 0 with several tracks"},
        {"SMPTE division", withByte(valid, 12, 0xE7), "SMPTE time division is not supported"},
        {"zero division", withByte(withByte(valid, 12, 0), 13, 0), "time division of 0"},
        {"no end of track", oneTrack({0x00, 0x90, 60, 100}), "track ends without an end-of-track event"},
        {"data first", oneTrack(track({0x00, 60, 100})), "data byte without a running status"},
        {"running status after meta", oneTrack(track({0x00, 0x90, 60, 100, 0x00, 0xFF, 0x01, 0x00, 0x00, 60, 0})),
         "data byte without a running status"},
        {"status in data", oneTrack(track({0x00, 0x90, 60, 0x90})), "channel event data out of range"},
        {"system common status", oneTrack(track({0x00, 0xF2, 0x00, 0x00})), "status byte not allowed in a file"},
        {"five-byte delta", oneTrack(track({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 100})),
         "delta time longer than four bytes"},
        {"short tempo", oneTrack(track({0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1})), "tempo event of the wrong length"},
        {"meta longer than track", oneTrack({0x00, 0xFF, 0x01, 0x7F, 'x', 0x00, 0xFF, 0x2F, 0x00}),
         "track ends inside an event"},
        {"song too long", oneTrack(track(longGaps)), "song too long"},
    };
    for (const Malformed& c : cases) {
        auto song = parseMidiFile(c.bytes);
        EXPECT_FALSE(song) << c.what;
        EXPECT_EQ(song.reason(), c.reason) << c.what;
    }
}

}  // namespace
