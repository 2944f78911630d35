#include "platform/win32/system_library.h"

#include "platform/win32/text.h"

namespace platform::win32 {

void restrictDllSearch() {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE loadSystemLibrary(const std::string& name) {
    return LoadLibraryExW(widen(name).c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace platform::win32
