#pragma once
// The program-wide state.
#include <cstdint>

#include "runtime/int_array.h"

namespace app {

extern runtime::IntArray flakeSlots;   // snowflake ids, slots 1..50
extern int32_t flakeCursor;            // the slot filled last
extern int32_t cardObject;             // the card's id

// The program's at-exit routine: frees the block of flakeSlots.
void releaseSlots();

}  // namespace app
