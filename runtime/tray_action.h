#pragma once
#include <cstdint>

namespace runtime::trayAction {

// Mouse actions on the tray icon, as the window's tray event receives them.
inline constexpr int32_t none = 0;             // anything else: not reported
inline constexpr int32_t leftUp = 1;
inline constexpr int32_t leftDoubleClick = 2;
inline constexpr int32_t rightUp = 3;          // or the system's context-menu request

}  // namespace runtime::trayAction
