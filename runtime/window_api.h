#pragma once
// What the program relies on of the Windows window manager, written once:
// where its functions are searched for, and the three it calls by name with
// their constants and signatures.
#include <array>
#include <cstdint>

namespace runtime::windowApi {

// Searched in this order; the first library that exports a name provides it.
inline constexpr std::array<const char*, 6> kLibrarySearchOrder = {
    "Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll", "Shell32.dll"};
inline constexpr const char* kWindowLibrary = "User32.dll";

inline constexpr int32_t GWL_EXSTYLE = -20;
inline constexpr int32_t WS_EX_TOPMOST = 0x8;
inline constexpr int32_t WS_EX_LAYERED = 0x80000;
inline constexpr uint32_t LWA_COLORKEY = 1;
inline constexpr uint32_t LWA_ALPHA = 2;

// Window handles pass as pointer-sized integers, colours as 0x00BBGGRR.
using GetWindowLongA = int32_t(intptr_t window, int32_t index);
using SetWindowLongA = int32_t(intptr_t window, int32_t index, int32_t value);
using SetLayeredWindowAttributes = int32_t(intptr_t window, uint32_t key, uint8_t alpha, uint32_t flags);

}  // namespace runtime::windowApi
