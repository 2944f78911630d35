#pragma once
#include <vector>

#include <windows.h>

#include "runtime/platform.h"

namespace platform::win32 {

// The window's menu bar; nullptr when no top-level item is visible, so the
// window reserves no empty strip.
HMENU buildMenuBar(const std::vector<runtime::MenuEntry>& topLevel);

// A popup of `entries` without submenus; an entry's command is its index
// in `entries` plus one, hidden entries are left out.
HMENU buildPopup(const std::vector<runtime::MenuEntry>& entries);

}  // namespace platform::win32
