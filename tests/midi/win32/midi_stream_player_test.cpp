// The Windows MIDI stream player against a recording stand-in for winmm,
// then against the real winmm of the machine (under Wine: no MIDI device).
// Run under Wine; the exit code is the number of failed checks.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include "platform/win32/midi_stream_player.h"
#include "runtime/midi/pass_stream.h"
#include "tests/midi/song_builder.h"
#include "tests/midi/win32/fake_winmm.h"

namespace {

using platform::win32::MidiStreamPlayer;
using runtime::midi::StreamEvent;

int failures = 0;

#define CHECK(condition)                                                   \
    do {                                                                   \
        if (!(condition)) {                                                \
            ++failures;                                                    \
            std::printf("  FAILED line %d: %s\n", __LINE__, #condition);   \
        }                                                                  \
    } while (0)

// Polls until `done` holds; false after a generous time-out.
bool waitFor(const std::function<bool()>& done) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
        Sleep(1);
    }
    return true;
}

std::size_t countOf(const std::vector<std::string>& names, const std::string& name) {
    return static_cast<std::size_t>(std::count(names.begin(), names.end(), name));
}

std::vector<fake_winmm::Call> callsNamed(const std::string& name) {
    std::vector<fake_winmm::Call> found;
    for (const auto& call : fake_winmm::calls())
        if (call.name == name) found.push_back(call);
    return found;
}

// Where `name` first or last appears; -1 if it does not.
long firstIndex(const std::vector<std::string>& names, const std::string& name) {
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : static_cast<long>(it - names.begin());
}
long lastIndex(const std::vector<std::string>& names, const std::string& name) {
    const auto it = std::find(names.rbegin(), names.rend(), name);
    return it == names.rend() ? -1 : static_cast<long>(names.rend() - it - 1);
}

// A short tune on two channels: one pass fits one buffer.
runtime::codec::MidiSong shortSong() {
    midi_test::SongBuilder b;
    b.tempo(0, 500000).channelEvent(0, 0xC4, 11).channelEvent(0, 0xC5, 10);
    for (int i = 0; i < 8; ++i) b.note(480 * i, 432, 4, 71 + i).note(480 * i, 200, 5, 55);
    return b.end(480 * 9).build();
}

// A tune of 300 events on one channel: two buffers.
runtime::codec::MidiSong longSong() {
    midi_test::SongBuilder b;
    for (int i = 0; i < 149; ++i) b.note(120 * i, 100, 0, 60 + i % 12);
    return b.end(120 * 150).build();
}

bool startedPlaying() {
    return countOf(fake_winmm::callNames(), "StreamRestart") > 0;
}

void startsThenStopsInOrder() {
    fake_winmm::reset();
    const auto song = shortSong();
    const auto pass = runtime::midi::buildPassStream(song);
    MidiStreamPlayer player(&fake_winmm::table());
    player.play(song, -1);
    CHECK(waitFor(startedPlaying));

    const std::vector<std::string> start = {
        "StreamOpen", "StreamProperty",
        "OutPrepareHeader", "StreamOut", "OutPrepareHeader", "StreamOut", "OutPrepareHeader", "StreamOut",
        "StreamRestart"};
    CHECK(fake_winmm::callNames() == start);
    const auto calls = fake_winmm::calls();
    CHECK(calls[0].value == MIDI_MAPPER);
    CHECK(calls[0].extra == CALLBACK_FUNCTION);
    CHECK(calls[1].value == (MIDIPROP_SET | MIDIPROP_TIMEDIV));
    CHECK(calls[1].extra == 480);
    // Three buffers of their own, each prepared before it is sent, each a pass.
    for (int i = 0; i < 3; ++i) {
        const auto& prepare = calls[2 + 2 * i];
        const auto& out = calls[3 + 2 * i];
        CHECK(prepare.header == out.header);
        CHECK(out.events == pass.events);
        for (int j = 0; j < i; ++j) CHECK(calls[3 + 2 * j].header != out.header);
    }

    // A buffer back is sent again at once, refilled with the next pass,
    // without being prepared again.
    CHECK(fake_winmm::finishOldest());
    CHECK(waitFor([] { return countOf(fake_winmm::callNames(), "StreamOut") == 4; }));
    const auto afterRefill = fake_winmm::calls();
    CHECK(afterRefill.size() == start.size() + 1);
    CHECK(afterRefill.back().header == calls[3].header);
    CHECK(afterRefill.back().events == pass.events);

    player.stop();
    // Stopping: reset (all buffers back), all notes off and reset the
    // controllers on both channels, every buffer released, then closed.
    const auto names = fake_winmm::callNames();
    const std::vector<std::string> stopTail(names.begin() + static_cast<long>(afterRefill.size()), names.end());
    const std::vector<std::string> expectedStop = {
        "OutReset", "OutShortMsg", "OutShortMsg", "OutShortMsg", "OutShortMsg",
        "OutUnprepareHeader", "OutUnprepareHeader", "OutUnprepareHeader", "StreamClose"};
    CHECK(stopTail == expectedStop);
    std::vector<uint64_t> messages;
    for (const auto& call : callsNamed("OutShortMsg")) messages.push_back(call.value);
    CHECK(messages == std::vector<uint64_t>(pass.closingMessages.begin(), pass.closingMessages.end()));
    auto unprepared = callsNamed("OutUnprepareHeader");
    std::vector<const MIDIHDR*> released;
    for (const auto& call : unprepared) released.push_back(call.header);
    std::sort(released.begin(), released.end());
    CHECK(std::adjacent_find(released.begin(), released.end()) == released.end());
    CHECK(fake_winmm::queuedBuffers() == 0);
}

void playsCountPassesAndClosesByItself() {
    fake_winmm::reset();
    MidiStreamPlayer player(&fake_winmm::table());
    player.play(longSong(), 1);
    CHECK(waitFor(startedPlaying));
    CHECK(countOf(fake_winmm::callNames(), "StreamOut") == 2);
    CHECK(fake_winmm::finishOldest());
    CHECK(fake_winmm::finishOldest());
    CHECK(waitFor([] { return countOf(fake_winmm::callNames(), "StreamClose") == 1; }));
    const auto names = fake_winmm::callNames();
    CHECK(countOf(names, "OutReset") == 0);
    CHECK(countOf(names, "OutShortMsg") == 0);  // the stream itself ended with them
    CHECK(countOf(names, "OutUnprepareHeader") == 2);
    CHECK(names.back() == "StreamClose");
    player.stop();
    CHECK(fake_winmm::callNames().size() == names.size());
}

void playAgainStopsThenStartsFromTheBeginning() {
    fake_winmm::reset();
    const auto song = longSong();
    const auto pass = runtime::midi::buildPassStream(song);
    MidiStreamPlayer player(&fake_winmm::table());
    player.play(song, -1);
    CHECK(waitFor(startedPlaying));
    CHECK(fake_winmm::finishOldest());
    CHECK(waitFor([] { return countOf(fake_winmm::callNames(), "StreamOut") == 4; }));

    player.play(song, -1);
    CHECK(waitFor([] { return countOf(fake_winmm::callNames(), "StreamRestart") == 2; }));
    const auto names = fake_winmm::callNames();
    const long close = firstIndex(names, "StreamClose");
    const long reopen = lastIndex(names, "StreamOpen");
    CHECK(firstIndex(names, "OutReset") < close);
    CHECK(close >= 0 && close < reopen);
    const auto outs = callsNamed("StreamOut");
    CHECK(outs.size() == 7);
    CHECK(std::equal(outs[4].events.begin(), outs[4].events.end(), pass.events.begin()));
    player.stop();
}

void failuresAreSilentAndLeaveNothingOpen() {
    fake_winmm::reset({.openResult = MIDIERR_INVALIDSETUP});
    {
        MidiStreamPlayer player(&fake_winmm::table());
        player.play(shortSong(), -1);
        player.stop();
        player.play(shortSong(), -1);
    }
    CHECK(fake_winmm::callNames() == (std::vector<std::string>{"StreamOpen", "StreamOpen"}));

    // No output device: nothing is opened at all.
    fake_winmm::reset({.devices = 0});
    {
        MidiStreamPlayer player(&fake_winmm::table());
        player.play(shortSong(), -1);
        player.play(longSong(), 1);
    }
    CHECK(fake_winmm::callNames().empty());

    // The second buffer cannot be queued: the first comes back through a
    // reset, both are released, the stream never starts and is closed.
    fake_winmm::reset({.failingOut = 2});
    MidiStreamPlayer player(&fake_winmm::table());
    player.play(shortSong(), -1);
    CHECK(waitFor([] { return countOf(fake_winmm::callNames(), "StreamClose") == 1; }));
    const auto names = fake_winmm::callNames();
    CHECK(countOf(names, "StreamRestart") == 0);
    CHECK(countOf(names, "StreamOut") == 2);
    CHECK(countOf(names, "OutUnprepareHeader") == 2);
    CHECK(firstIndex(names, "OutReset") > lastIndex(names, "StreamOut"));
    CHECK(firstIndex(names, "OutReset") < firstIndex(names, "OutUnprepareHeader"));
    CHECK(names.back() == "StreamClose");
    player.stop();
}

// The machine's own winmm. Under Wine here there is no MIDI device: opening
// the mapper fails, and play and stop must still return quietly.
void realWinmmWithoutDevice() {
    const auto* winmm = platform::win32::systemWinmm();
    CHECK(winmm != nullptr);
    if (!winmm) return;
    const UINT devices = winmm->midiOutGetNumDevs();
    std::printf("  MIDI output devices: %u\n", devices);
    if (devices == 0) {
        HMIDISTRM stream = nullptr;
        UINT device = MIDI_MAPPER;
        const MMRESULT opened = winmm->midiStreamOpen(&stream, &device, 1, 0, 0, CALLBACK_NULL);
        std::printf("  midiStreamOpen on the mapper: %u\n", opened);
        CHECK(opened == MIDIERR_INVALIDSETUP);
    }

    // Nothing may hang: a watchdog ends the test if the player does.
    std::atomic<bool> over{false};
    std::thread watchdog([&over] {
        for (int i = 0; i < 600 && !over; ++i) Sleep(100);
        if (!over) {
            std::printf("  FAILED: the player hangs\n");
            std::fflush(stdout);
            ExitProcess(100);
        }
    });
    {
        MidiStreamPlayer player(winmm);
        player.play(shortSong(), -1);
        player.stop();
        player.stop();
        player.play(longSong(), 1);
        player.play(shortSong(), -1);
        Sleep(200);  // let the playback get going (or fail) before the end
    }
    over = true;
    watchdog.join();
}

void run(const char* name, void (*test)()) {
    const int before = failures;
    std::printf("%s\n", name);
    test();
    for (const auto& misuse : fake_winmm::misuses()) {
        ++failures;
        std::printf("  FAILED: misuse of winmm: %s\n", misuse.c_str());
    }
    fake_winmm::reset();
    std::printf("  %s\n", failures == before ? "ok" : "FAILED");
}

}  // namespace

int main() {
    run("starts then stops in order", startsThenStopsInOrder);
    run("plays count passes and closes by itself", playsCountPassesAndClosesByItself);
    run("play again stops, then starts from the beginning", playAgainStopsThenStartsFromTheBeginning);
    run("failures are silent and leave nothing open", failuresAreSilentAndLeaveNothingOpen);
    run("real winmm without a device", realWinmmWithoutDevice);
    std::printf("%d failed checks\n", failures);
    return std::min(failures, 99);
}
