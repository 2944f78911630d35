#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "runtime/codec/midi_file.h"
#include "tests/assets/asset_bytes.h"

namespace {

using namespace asset_test;
using runtime::codec::MidiEvent;
using runtime::codec::MidiSong;
using runtime::codec::parseMidiFile;

constexpr uint8_t kMeta = 0xFF;

struct Note {
    int64_t on, off;
    uint8_t key;
    int channel;
    uint16_t track;
};

class Carol : public testing::Test {
protected:
    void SetUp() override {
        auto parsed = parseMidiFile(committed("carol.mid"));
        ASSERT_TRUE(parsed) << parsed.reason();
        song = std::move(parsed).value();
        // Pair every note-on with the note-on of velocity 0 that ends it.
        std::map<std::pair<int, int>, std::size_t> sounding;
        for (const MidiEvent& e : song.events) {
            const int kind = e.status & 0xF0, channel = e.status & 0x0F;
            if (kind == 0x80) ADD_FAILURE() << "note-off status at tick " << e.tick;
            if (kind != 0x90) continue;
            const auto key = std::make_pair(channel, int{e.data1});
            if (e.data2 > 0) {
                EXPECT_EQ(e.data2, 100) << "velocity at tick " << e.tick;
                EXPECT_FALSE(sounding.count(key)) << "key struck again while sounding at tick " << e.tick;
                sounding[key] = notes.size();
                notes.push_back({e.tick, -1, e.data1, channel, e.track});
            } else {
                ASSERT_TRUE(sounding.count(key)) << "end of a note never started, tick " << e.tick;
                EXPECT_TRUE(e.runningStatus) << "note end without running status at tick " << e.tick;
                notes[sounding[key]].off = e.tick;
                sounding.erase(key);
            }
        }
        EXPECT_TRUE(sounding.empty()) << sounding.size() << " notes left hanging";
    }

    std::vector<const MidiEvent*> eventsOf(int track) const {
        std::vector<const MidiEvent*> out;
        for (const MidiEvent& e : song.events)
            if (e.track == track) out.push_back(&e);
        return out;
    }

    MidiSong song;
    std::vector<Note> notes;
};

std::string text(const MidiEvent& e) { return std::string(e.data.begin(), e.data.end()); }

TEST_F(Carol, HeaderAndLength) {
    EXPECT_EQ(song.format, 1);
    EXPECT_EQ(song.trackCount, 49);
    EXPECT_EQ(song.division, 480);
    EXPECT_EQ(song.endTick, 30240);
    EXPECT_EQ(song.lengthUs, 31500000);
}

TEST_F(Carol, TempoAndMeterTracks) {
    const auto t0 = eventsOf(0);
    ASSERT_EQ(t0.size(), 4u);
    EXPECT_EQ(t0[0]->tick, 0);
    EXPECT_EQ(t0[0]->data1, 0x51);
    EXPECT_EQ(t0[0]->tempoUs, 500000u);
    EXPECT_EQ(t0[1]->tick, 0);
    EXPECT_EQ(t0[1]->data1, 0x58);
    EXPECT_EQ(t0[1]->data, (Bytes{3, 2, 24, 8}));
    EXPECT_EQ(t0[2]->tick, 30240);
    EXPECT_EQ(t0[2]->data1, 0x58);
    EXPECT_EQ(t0[2]->data, (Bytes{4, 2, 24, 8}));
    EXPECT_EQ(t0[3]->tick, 30240);
    EXPECT_EQ(t0[3]->data1, 0x2F);

    const auto t1 = eventsOf(1);
    ASSERT_EQ(t1.size(), 3u);
    EXPECT_EQ(t1[0]->data1, 0x03);
    EXPECT_EQ(text(*t1[0]), "Track1");
    EXPECT_EQ(t1[1]->data1, 0x51);
    EXPECT_EQ(t1[1]->tempoUs, 500000u);
    EXPECT_EQ(t1[2]->data1, 0x2F);
}

TEST_F(Carol, EveryOtherTrackHasANameAndItsEnd) {
    for (int t = 2; t < 49; ++t) {
        SCOPED_TRACE(t);
        const auto events = eventsOf(t);
        ASSERT_GE(events.size(), 2u);
        EXPECT_EQ(events.front()->status, kMeta);
        EXPECT_EQ(events.front()->data1, 0x03);
        EXPECT_EQ(text(*events.front()), "Track" + std::to_string(t));
        EXPECT_EQ(events.back()->data1, 0x2F);
        if (t != 5 && t != 6) {
            EXPECT_EQ(events.size(), 2u);
        }
    }
}

TEST_F(Carol, TheTwoSoundingTracks) {
    struct Voice {
        int track, channel, program, notes;
        uint8_t lowest, highest;
    };
    const Voice voices[] = {
        {5, 4, 11, 86, 71, 86},  // vibraphone on channel 5, B4..D6
        {6, 5, 10, 64, 55, 74},  // music box on channel 6, G3..D5
    };
    for (const Voice& v : voices) {
        SCOPED_TRACE(v.track);
        int programs = 0;
        for (const MidiEvent* e : eventsOf(v.track)) {
            if (e->status >= 0xF0) continue;
            EXPECT_EQ(e->status & 0x0F, v.channel);
            if ((e->status & 0xF0) == 0xC0) {
                EXPECT_EQ(e->tick, 0);
                EXPECT_EQ(e->data1, v.program);
                ++programs;
            }
        }
        EXPECT_EQ(programs, 1);
        std::vector<Note> mine;
        std::copy_if(notes.begin(), notes.end(), std::back_inserter(mine), [&](const Note& n) { return n.track == v.track; });
        EXPECT_EQ(static_cast<int>(mine.size()), v.notes);
        const auto [lo, hi] = std::minmax_element(mine.begin(), mine.end(),
                                                  [](const Note& a, const Note& b) { return a.key < b.key; });
        EXPECT_EQ(lo->key, v.lowest);
        EXPECT_EQ(hi->key, v.highest);
    }
}

TEST_F(Carol, ControllersAreSetAtTickZeroBeforeTheProgram) {
    struct Change {
        int64_t tick;
        int number, value;
        bool operator==(const Change&) const = default;
    };
    const std::pair<int, std::vector<Change>> expected[] = {
        {5, {{0, 0, 0}, {0, 32, 1}, {0, 91, 118}, {6280, 91, 116}, {11520, 0, 0}, {11520, 32, 1}}},
        {6, {{0, 0, 0}, {0, 32, 1}}},
    };
    for (const auto& [track, changes] : expected) {
        std::vector<Change> seen;
        bool programSeen = false;
        for (const MidiEvent* e : eventsOf(track)) {
            if ((e->status & 0xF0) == 0xC0) programSeen = true;
            if ((e->status & 0xF0) != 0xB0) continue;
            seen.push_back({e->tick, e->data1, e->data2});
            if (e->data1 == 0 || e->data1 == 32) {
                EXPECT_TRUE(e->tick > 0 || !programSeen) << "bank after program";
            }
        }
        EXPECT_EQ(seen, changes) << "track " << track;
    }
}

TEST_F(Carol, TimingOfThePass) {
    ASSERT_FALSE(notes.empty());
    const auto first = std::min_element(notes.begin(), notes.end(), [](const Note& a, const Note& b) { return a.on < b.on; });
    EXPECT_EQ(first->on, 960) << "the pick-up on beat 3 of bar 1";
    EXPECT_EQ(std::count_if(notes.begin(), notes.end(), [](const Note& n) { return n.on < 1440; }), 1);
    const auto last = std::max_element(notes.begin(), notes.end(), [](const Note& a, const Note& b) { return a.off < b.off; });
    EXPECT_EQ(last->off, 29668);
    for (const MidiEvent& e : song.events) {
        if (e.tick == 960 && (e.status & 0xF0) == 0x90 && e.data2) {
            EXPECT_EQ(e.timeUs, 1000000);
        }
        if (e.tick == 29668) {
            EXPECT_EQ(e.timeUs, 30904166);
        }
    }
    // Every note sounds about 90 % of its written length, on an eighth-note grid.
    for (const Note& n : notes) {
        SCOPED_TRACE(n.on);
        EXPECT_EQ(n.on % 240, 0);
        const int64_t sounded = n.off - n.on;
        int64_t written = 240;
        while (written < sounded) written += 240;
        const double share = static_cast<double>(sounded) / written;
        EXPECT_GT(share, 0.85);
        EXPECT_LT(share, 0.95);
    }
}

// The tune in G major: F sharp, never F; the first two phrases, top voice
// of the melody track. In bar 5 the melody rests on beat 2 under the
// reverb change, and the music box plays the tune's D5 there.
TEST_F(Carol, WeWishYouAMerryChristmasInGMajor) {
    for (const Note& n : notes) EXPECT_NE(n.key % 12, 5) << "F natural at tick " << n.on;
    std::map<int64_t, int> top;
    for (const Note& n : notes)
        if (n.track == 5) top[n.on] = std::max(top[n.on], int{n.key});
    std::vector<int> tune;
    for (const auto& [tick, key] : top) tune.push_back(key);
    const int D5 = 74, E5 = 76, Fs5 = 78, G5 = 79, A5 = 81, B5 = 83, C6 = 84;
    const std::vector<int> opening = {D5, G5, G5, A5, G5, Fs5, E5, E5, E5, A5, A5, B5, A5, G5, Fs5, /* D5 */ D5,
                                      B5, B5, C6,  B5, A5, G5,  E5, D5, D5, E5, A5, Fs5, G5};
    ASSERT_GE(tune.size(), opening.size());
    EXPECT_EQ(std::vector<int>(tune.begin(), tune.begin() + static_cast<long>(opening.size())), opening);
    EXPECT_EQ(tune.back(), G5);
    EXPECT_TRUE(std::any_of(notes.begin(), notes.end(), [](const Note& n) { return n.track == 6 && n.on == 6240 && n.key == 74; }));
    // The last chord stands on G.
    int64_t lastOnset = 0;
    for (const Note& n : notes) lastOnset = std::max(lastOnset, n.on);
    int bass = 127;
    for (const Note& n : notes)
        if (n.on == lastOnset) bass = std::min(bass, int{n.key});
    EXPECT_EQ(bass % 12, 7);
}

TEST_F(Carol, MelodyHasThirdsAndSixths) {
    std::map<int64_t, std::vector<int>> chords;
    for (const Note& n : notes)
        if (n.track == 5) chords[n.on].push_back(n.key);
    int thirds = 0, sixths = 0;
    for (const auto& [tick, keys] : chords) {
        if (keys.size() < 2) continue;
        ASSERT_EQ(keys.size(), 2u) << tick;
        const int interval = std::abs(keys[0] - keys[1]);
        EXPECT_TRUE(interval == 3 || interval == 4 || interval == 8 || interval == 9) << tick;
        thirds += interval <= 4;
        sixths += interval >= 8;
    }
    EXPECT_GT(thirds, 5);
    EXPECT_GT(sixths, 3);
}

}  // namespace
