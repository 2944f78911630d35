#include "runtime/window_stand_in.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "runtime/runtime.h"
#include "runtime/trace_text.h"
#include "runtime/window_api.h"

namespace runtime::standIn {
namespace {

using namespace windowApi;

// One distinct address per library of the search order.
std::array<char, kLibrarySearchOrder.size()> libraries;

// The handle as Windows would look at it: a stale or foreign one finds no
// window.
Window* windowOf(intptr_t handle) {
    Runtime& r = Runtime::current();
    return handle != 0 && handle == r.platform().windowHandle() ? &r.standInWindow : nullptr;
}

// Windows matches library names without regard to case.
bool sameName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

uint32_t rgbOf(uint32_t colorRef) {
    return (colorRef & 0xFF) << 16 | (colorRef & 0xFF00) | (colorRef >> 16 & 0xFF);
}

int32_t getWindowLong(intptr_t handle, int32_t index) {
    Window* w = windowOf(handle);
    const int32_t value = w && index == GWL_EXSTYLE ? w->exStyle : 0;
    Runtime::current().traceCall([&] { return callText("GetWindowLongA", handle, index) + "=" + textOf(value); });
    return value;
}

int32_t setWindowLong(intptr_t handle, int32_t index, int32_t value) {
    Runtime::current().traceCall([&] { return callText("SetWindowLongA", handle, index, value); });
    Window* w = windowOf(handle);
    if (!w || index != GWL_EXSTYLE) return 0;
    const int32_t previous = w->exStyle;
    w->exStyle = value;
    // A window that stops being layered stops being see-through.
    if ((previous & WS_EX_LAYERED) && !(value & WS_EX_LAYERED))
        Runtime::current().platform().setSeeThrough(std::nullopt);
    return previous;
}

int32_t setLayeredWindowAttributes(intptr_t handle, uint32_t key, uint8_t alpha, uint32_t flags) {
    Runtime::current().traceCall(
        [&] { return callText("SetLayeredWindowAttributes", handle, key, int{alpha}, flags); });
    Window* w = windowOf(handle);
    if (!w || !(w->exStyle & WS_EX_LAYERED)) return 0;   // only a layered window takes them
    if ((flags & LWA_ALPHA) && alpha != 255) return 0;    // translucency is not offered
    Runtime::current().platform().setSeeThrough(flags & LWA_COLORKEY ? std::optional(rgbOf(key)) : std::nullopt);
    return 1;
}

}  // namespace

void* library(const std::string& name) {
    for (std::size_t i = 0; i < kLibrarySearchOrder.size(); ++i)
        if (sameName(kLibrarySearchOrder[i], name)) return &libraries[i];
    return nullptr;
}

void* function(void* library, const std::string& name) {
    if (library != standIn::library(kWindowLibrary)) return nullptr;
    if (name == "GetWindowLongA") return reinterpret_cast<void*>(static_cast<GetWindowLongA*>(&getWindowLong));
    if (name == "SetWindowLongA") return reinterpret_cast<void*>(static_cast<SetWindowLongA*>(&setWindowLong));
    if (name == "SetLayeredWindowAttributes")
        return reinterpret_cast<void*>(static_cast<SetLayeredWindowAttributes*>(&setLayeredWindowAttributes));
    return nullptr;
}

}  // namespace runtime::standIn
