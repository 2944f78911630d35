#include "platform/sim/window_functions.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <strings.h>

#include "platform/sim/sim_platform.h"

namespace platform::sim {
namespace {

constexpr int32_t GWL_EXSTYLE = -20;
constexpr int32_t GWL_STYLE = -16;

struct Library {
    const char* name;
};
std::array<Library, 6> libraries = {{{"Kernel32.dll"}, {"Gdi32.dll"}, {"User32.dll"},
                                     {"Advapi32.dll"}, {"Mpr.dll"}, {"Shell32.dll"}}};

// Looks at the handle as Windows would: a stale or foreign one finds nothing.
SimWindow* windowOf(intptr_t handle) {
    SimPlatform& sim = SimPlatform::active();
    if (handle == 0 || handle != sim.windowHandle()) return nullptr;
    return &sim.mutableWindow();
}

int32_t GetWindowLongA(intptr_t handle, int32_t index) {
    SimPlatform& sim = SimPlatform::active();
    sim.record("GetWindowLongA", std::to_string(handle) + "," + std::to_string(index));
    SimWindow* w = windowOf(handle);
    if (!w) return 0;
    if (index == GWL_EXSTYLE) return w->exStyle;
    if (index == GWL_STYLE) return w->style;
    return 0;
}

int32_t SetWindowLongA(intptr_t handle, int32_t index, int32_t value) {
    SimPlatform& sim = SimPlatform::active();
    sim.record("SetWindowLongA", std::to_string(handle) + "," + std::to_string(index) + "," + std::to_string(value));
    SimWindow* w = windowOf(handle);
    if (!w) return 0;
    int32_t* field = index == GWL_EXSTYLE ? &w->exStyle : index == GWL_STYLE ? &w->style : nullptr;
    if (!field) return 0;
    const int32_t previous = *field;
    *field = value;
    return previous;
}

int32_t SetLayeredWindowAttributes(intptr_t handle, uint32_t key, uint8_t alpha, uint32_t flags) {
    SimPlatform& sim = SimPlatform::active();
    sim.record("SetLayeredWindowAttributes", std::to_string(handle) + "," + std::to_string(key) + "," +
                                                 std::to_string(alpha) + "," + std::to_string(flags));
    SimWindow* w = windowOf(handle);
    if (!w || !(w->exStyle & 0x80000)) return 0;   // only a layered window takes them
    w->colourKey = key;
    w->alpha = alpha;
    w->layeredFlags = flags;
    return 1;
}

}  // namespace

void* systemLibrary(const std::string& name) {
    for (Library& library : libraries)
        if (strcasecmp(library.name, name.c_str()) == 0) return &library;
    return nullptr;
}

void* windowFunction(void* library, const std::string& name) {
    if (library != &libraries[2]) return nullptr;   // only User32 exports these
    if (name == "GetWindowLongA") return reinterpret_cast<void*>(&GetWindowLongA);
    if (name == "SetWindowLongA") return reinterpret_cast<void*>(&SetWindowLongA);
    if (name == "SetLayeredWindowAttributes") return reinterpret_cast<void*>(&SetLayeredWindowAttributes);
    return nullptr;
}

}  // namespace platform::sim
