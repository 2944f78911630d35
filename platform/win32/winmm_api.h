#pragma once
// The few winmm functions the MIDI player calls, resolved at run time from
// the system directory. winmm is never linked: the loader would take a
// winmm.dll planted beside the executable. A test fills the table with its
// own stand-ins.
#include <windows.h>
#include <mmsystem.h>

namespace platform::win32 {

struct WinmmApi {
    decltype(&::midiOutGetNumDevs) midiOutGetNumDevs = nullptr;
    decltype(&::midiStreamOpen) midiStreamOpen = nullptr;
    decltype(&::midiStreamProperty) midiStreamProperty = nullptr;
    decltype(&::midiStreamOut) midiStreamOut = nullptr;
    decltype(&::midiStreamRestart) midiStreamRestart = nullptr;
    decltype(&::midiStreamClose) midiStreamClose = nullptr;
    decltype(&::midiOutPrepareHeader) midiOutPrepareHeader = nullptr;
    decltype(&::midiOutUnprepareHeader) midiOutUnprepareHeader = nullptr;
    decltype(&::midiOutReset) midiOutReset = nullptr;
    decltype(&::midiOutShortMsg) midiOutShortMsg = nullptr;
};

// The system's winmm, loaded once; nullptr if it or one of the functions is
// missing.
const WinmmApi* systemWinmm();

}  // namespace platform::win32
