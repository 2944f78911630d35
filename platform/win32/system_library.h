#pragma once
// Libraries come from the system directory only: a DLL planted beside the
// executable or in the current directory must never be loaded.
#include <string>

#include <windows.h>

namespace platform::win32 {

// Makes the system directory the only default search place for every later
// load, ours and the system's own. Called first thing at start.
void restrictDllSearch();

// nullptr if the library is missing from the system directory.
HMODULE loadSystemLibrary(const std::string& name);

}  // namespace platform::win32
