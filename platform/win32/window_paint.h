#pragma once
#include <windows.h>

#include "platform/win32/view_buffer.h"

namespace platform::win32 {

// Answers WM_PAINT: the update region is blitted from the view's buffer,
// and what lies outside the view is filled with the background.
void paintMainWindow(HWND window, const ViewBuffer& view, const RECT& viewRect, HBRUSH background);

}  // namespace platform::win32
