#pragma once
// Plays a parsed song on the default MIDI output (the MIDI mapper) through
// the Windows MIDI stream API, on a thread the player owns.
#include <memory>

#include "platform/win32/winmm_api.h"
#include "runtime/codec/midi_song.h"

namespace platform::win32 {

class MidiStreamPlayer {
public:
    // Without winmm (nullptr) every play is silent.
    explicit MidiStreamPlayer(const WinmmApi* winmm);
    ~MidiStreamPlayer();
    MidiStreamPlayer(const MidiStreamPlayer&) = delete;
    MidiStreamPlayer& operator=(const MidiStreamPlayer&) = delete;

    // Stops any playback and waits for its end, then plays `song` from its
    // beginning in the background and returns at once; count passes, a
    // negative count without end. Failures are silent; with no MIDI output
    // device nothing is opened.
    void play(const runtime::codec::MidiSong& song, int count);
    // Returns once the playback has stopped and the output is closed.
    // Nothing playing: no effect.
    void stop();

private:
    class Session;
    const WinmmApi* winmm_;
    std::unique_ptr<Session> session_;
};

}  // namespace platform::win32
