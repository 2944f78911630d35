#include <windows.h>

#include "app/entry.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_platform.h"
#include "runtime/run.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything can load a library.
    platform::win32::restrictDllSearch();
    platform::win32::Win32Platform platform;
    runtime::runProgram(platform, app::entryRoutine);
}
