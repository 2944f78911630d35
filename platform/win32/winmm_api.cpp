#include "platform/win32/winmm_api.h"

namespace platform::win32 {
namespace {

template <class Function>
bool resolve(HMODULE library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return function != nullptr;
}

bool load(WinmmApi& api) {
    const HMODULE winmm = LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return winmm != nullptr &&
           resolve(winmm, "midiOutGetNumDevs", api.midiOutGetNumDevs) &&
           resolve(winmm, "midiStreamOpen", api.midiStreamOpen) &&
           resolve(winmm, "midiStreamProperty", api.midiStreamProperty) &&
           resolve(winmm, "midiStreamOut", api.midiStreamOut) &&
           resolve(winmm, "midiStreamRestart", api.midiStreamRestart) &&
           resolve(winmm, "midiStreamClose", api.midiStreamClose) &&
           resolve(winmm, "midiOutPrepareHeader", api.midiOutPrepareHeader) &&
           resolve(winmm, "midiOutUnprepareHeader", api.midiOutUnprepareHeader) &&
           resolve(winmm, "midiOutReset", api.midiOutReset) &&
           resolve(winmm, "midiOutShortMsg", api.midiOutShortMsg);
}

}  // namespace

const WinmmApi* systemWinmm() {
    static WinmmApi api;
    static const bool loaded = load(api);
    return loaded ? &api : nullptr;
}

}  // namespace platform::win32
