#pragma once
// For tests and tools: the animation view of the program now running.
#include "runtime/view/view.h"

namespace runtime {

view::View& runningView();

}  // namespace runtime
