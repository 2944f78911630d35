#include "runtime/errors.h"
#include "runtime/operations.h"
#include "runtime/runtime.h"
#include "runtime/window_api.h"

namespace runtime {

void* systemFunction(const char* name) {
    Runtime& r = Runtime::current();
    if (auto known = r.functions.find(name); known != r.functions.end()) return known->second;
    Platform& p = r.platform();
    for (const char* libraryName : windowApi::kLibrarySearchOrder) {
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
