#pragma once
#include <cstdint>
#include <string>

#include "runtime/geometry.h"

namespace runtime {

// How the main window is made.
struct WindowSpec {
    Rect design;                 // where it is created, hidden
    std::string caption;         // shown nowhere: the window has no caption bar
    uint32_t backColor = 0;      // 0xRRGGBB
    bool topmost = false;
    bool noTaskbarButton = false;  // owned by an invisible tool window
    bool escapeCloses = false;
    bool programIcon = false;    // the executable's "DEFAULT_ICON"
};

}  // namespace runtime
