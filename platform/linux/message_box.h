#pragma once
#include "runtime/platform.h"

namespace platform::linux_x11 {

// Starts GTK for the boxes; false without a display it can open.
bool startBoxes();
// A modal GTK message box with an OK button, kept above every window; its
// loop is GLib's, so our wakes go on while it is open. Without GTK the
// text goes to standard error.
void showMessageBox(const runtime::MessageBoxSpec& box);

}  // namespace platform::linux_x11
