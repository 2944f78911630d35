#include <array>

#include "runtime/errors.h"
#include "runtime/operations.h"
#include "runtime/runtime.h"

namespace runtime {
namespace {
constexpr std::array<const char*, 6> kSearchOrder = {
    "Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll", "Shell32.dll"};
}

void* systemFunction(const char* name) {
    Runtime& r = Runtime::current();
    if (auto known = r.functions.find(name); known != r.functions.end()) return known->second;
    Platform& p = r.platform();
    for (const char* libraryName : kSearchOrder) {
        auto [entry, added] = r.libraries.try_emplace(libraryName, nullptr);
        if (added) entry->second = p.loadSystemLibrary(libraryName);
        if (!entry->second) continue;
        if (void* function = p.findExport(entry->second, name)) {
            r.functions.emplace(name, function);
            return function;
        }
    }
    runtimeErrorStop(0, errors::fillIn(errors::kMissingExportFormat, name));
}

}  // namespace runtime
