#pragma once
// A recording stand-in for the winmm functions the MIDI player resolves: a
// device that keeps the buffers queued until the test lets one finish, and
// hands them all back on a reset, through the player's callback, as winmm
// does. It also notes every misuse (a call from inside the callback, a
// buffer released while queued, a call after the close, ...).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/winmm_api.h"
#include "runtime/midi/stream_event.h"

namespace fake_winmm {

struct Call {
    std::string name;            // the function, without "midi": "StreamOpen", "OutReset", ...
    const MIDIHDR* header = nullptr;
    uint64_t value = 0;          // StreamOpen: the device; StreamProperty: the flags; OutShortMsg: the message
    uint64_t extra = 0;          // StreamOpen: the open flags; StreamProperty: the time division
    std::vector<runtime::midi::StreamEvent> events;  // StreamOut: what the buffer held
};

struct Options {
    MMRESULT openResult = MMSYSERR_NOERROR;
    int failingOut = 0;  // the n-th StreamOut (from 1) fails; 0: none
    UINT devices = 1;    // what midiOutGetNumDevs answers
};

// Forgets everything and sets up a new device.
void reset(const Options& options = {});
const platform::win32::WinmmApi& table();

std::vector<Call> calls();
std::vector<std::string> callNames();
std::vector<std::string> misuses();
int queuedBuffers();
// The oldest queued buffer has played: hands it back. False if none queued.
bool finishOldest();

}  // namespace fake_winmm
