// We Wish You a Merry Christmas in G major, 3/4, once through: a
// vibraphone tune with thirds and sixths under it, over a music-box waltz.
#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <string>

#include "runtime/codec/midi_bytes.h"
#include "tools/assetgen/generators.h"
#include "tools/assetgen/smf_writer.h"

namespace assetgen {
namespace {

using namespace runtime::codec::midi;

constexpr int kDivision = 480;
constexpr int64_t kBar = 3 * kDivision;
constexpr int64_t kPassEnd = 21 * kBar;  // 30240: the end of bar 21
constexpr uint32_t kTempo = 500000;      // 120 quarters a minute
constexpr uint8_t kVelocity = 100;
constexpr int kTrackCount = 49;
constexpr int kMelodyTrack = 5;
constexpr int kWaltzTrack = 6;

// One bar per string: notes joined by "+" sound together, then ":" and a
// length (e eighth, q quarter, h half, dh dotted half); "r" rests.
const char* const kMelody[] = {
    "r:h D5:q",                      // pick-up on beat 3
    "G5+B4:q G5:e A5:e G5:e F#5:e",  // We wish you a merry
    "E5+C5:q E5:q E5:q",             // Christmas, we
    "A5+C#5:q A5:e B5:e A5:e G5:e",  // wish you a merry
    "F#5+D5:q r:q D5:q",             // Christ- (the music box sings "-mas") we
    "B5+D#5:q B5:e C6:e B5:e A5:e",  // wish you a merry
    "G5+E5:q E5:q D5:e D5:e",        // Christmas and a
    "E5+C5:q A5+F#5:q F#5+D5:q",     // happy new
    "G5+B4:h D5:q",                  // year. Good
    "G5+B4:q G5:q G5:q",             // tidings we
    "F#5+D5:h F#5:q",                // bring to
    "G5+E5:q F#5+D5:q E5+C5:q",      // you and your
    "D5:h A5+F#5:q",                 // kin. Good
    "B5+G5:q A5+F#5:q G5+E5:q",      // tidings for
    "D6+B5:q D5+B4:q D5:e D5:e",     // Christmas and a
    "E5+C5:q A5+F#5:q F#5+D5:q",     // happy new
    "G5+B4:h D5:e D5:e",             // year, and a
    "E5+C5:dh",                      // hap-
    "A5+C5:dh",                      // py
    "F#5+D5:dh",                     // new
    "G5+B4:h r:q",                   // year!
};

// Oom-pah-pah, kept below the tune; its one D5 takes the tune's "-mas"
// in bar 5, where the melody track rests for the reverb change.
const char* const kWaltz[] = {
    "r:dh",
    "G3:q B3:q D4:q",        "C4:q E4:q G4:q",        "A3:q E4:q G4:q",
    "D4:q D5:q A4:q",        "B3:q F#4:q A4:q",       "E4:q B3:q G4:q",
    "C4:q F#4:q A4:q",       "G3:q B3:q D4:q",        "G3:q B3:q D4:q",
    "D4:q F#4:q A4:q",       "E4:q A4:q G4:q",        "D4:q F#4:q A4:q",
    "G3:q D4:q B3:q",        "G3:q D4:q G4:q",        "C4:q F#4:q A4:q",
    "G3:q B3:q D4:q",        "C4:q E4:q G4:e C5:e",   "D4:q F#4:q A4:e C5:e",
    "A3:q F#4:q A4:e C5:e",  "G3+D4+G4+B4:h r:q",
};

struct Note {
    int64_t start;
    int64_t length;  // as sounded
    uint8_t key;
};

uint8_t keyOf(const std::string& name) {
    static const int kSteps[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') throw std::invalid_argument("bad note " + name);
    int key = kSteps[name[0] - 'A'];
    std::size_t i = 1;
    if (name[i] == '#') ++key, ++i;
    const int octave = name.at(i) - '0';
    return static_cast<uint8_t>(12 * (octave + 1) + key);
}

int64_t lengthOf(const std::string& name) {
    if (name == "e") return kDivision / 2;
    if (name == "q") return kDivision;
    if (name == "h") return 2 * kDivision;
    if (name == "dh") return 3 * kDivision;
    throw std::invalid_argument("bad length " + name);
}

// Notes sound for about 90 % of their written length.
int64_t sounded(int64_t written) { return written * 9 / 10 + 4; }

template <std::size_t N>
std::vector<Note> notesOf(const char* const (&bars)[N]) {
    std::vector<Note> notes;
    int64_t tick = 0;
    for (std::size_t bar = 0; bar < N; ++bar) {
        std::istringstream words(bars[bar]);
        for (std::string word; words >> word;) {
            const auto colon = word.find(':');
            const int64_t length = lengthOf(word.substr(colon + 1));
            std::istringstream keys(word.substr(0, colon));
            for (std::string key; std::getline(keys, key, '+');)
                if (key != "r") notes.push_back({tick, sounded(length), keyOf(key)});
            tick += length;
        }
        if (tick != static_cast<int64_t>(bar + 1) * kBar) throw std::logic_error("bar of the wrong length");
    }
    return notes;
}

struct Controller {
    int64_t tick;
    uint8_t number;
    uint8_t value;
};

// A sounding track: its name, bank 0/1 and program at tick 0, then its
// controllers and notes. At one tick, notes end before controllers change
// and before new notes start.
TrackWriter soundingTrack(int index, int channel, uint8_t program, const std::vector<Controller>& controllers,
                          const std::vector<Note>& notes) {
    const auto ch = static_cast<uint8_t>(channel - 1);
    struct Event {
        int64_t tick;
        int order;  // 0 note end, 1 controller, 2 note start
        uint8_t status, data1, data2;
    };
    std::vector<Event> events;
    for (const Controller& c : controllers) events.push_back({c.tick, 1, uint8_t(kControlChange | ch), c.number, c.value});
    for (const Note& n : notes) {
        events.push_back({n.start, 2, uint8_t(kNoteOn | ch), n.key, kVelocity});
        events.push_back({n.start + n.length, 0, uint8_t(kNoteOn | ch), n.key, 0});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });

    TrackWriter track;
    track.name(0, "Track" + std::to_string(index));
    track.channel(0, uint8_t(kControlChange | ch), 0, 0);   // bank select 0/1
    track.channel(0, uint8_t(kControlChange | ch), 32, 1);
    track.channel(0, uint8_t(kProgramChange | ch), program);
    for (const Event& e : events) track.channel(e.tick, e.status, e.data1, e.data2);
    track.end(kPassEnd);
    return track;
}

}  // namespace

std::vector<uint8_t> makeCarol() {
    std::vector<TrackWriter> tracks(kTrackCount);
    tracks[0].tempo(0, kTempo);
    tracks[0].timeSignature(0, 3, 2);
    tracks[0].timeSignature(kPassEnd, 4, 2);
    tracks[0].end(kPassEnd);
    for (int i = 1; i < kTrackCount; ++i) {
        if (i == kMelodyTrack || i == kWaltzTrack) continue;
        tracks[i].name(0, "Track" + std::to_string(i));
        if (i == 1) tracks[i].tempo(0, kTempo);
        tracks[i].end(0);
    }
    constexpr uint8_t kVibraphone = 11, kMusicBox = 10, kReverb = 91;
    tracks[kMelodyTrack] = soundingTrack(
        kMelodyTrack, 5, kVibraphone,
        {{0, kReverb, 118}, {6280, kReverb, 116}, {11520, 0, 0}, {11520, 32, 1}}, notesOf(kMelody));
    tracks[kWaltzTrack] = soundingTrack(kWaltzTrack, 6, kMusicBox, {}, notesOf(kWaltz));
    return writeSmf(kDivision, tracks);
}

}  // namespace assetgen
