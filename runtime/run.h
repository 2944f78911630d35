#pragma once
#include "runtime/platform.h"

namespace runtime {

// Runs the program on a back-end: makes the run time current, calls the
// entry routine, and ends in order with its return value as exit code.
[[noreturn]] void runProgram(Platform& platform, int (*entry)());

}  // namespace runtime
