#include "app/state.h"

namespace app {

runtime::IntArray flakeSlots;
int32_t flakeCursor = 0;
int32_t cardObject = 0;

void releaseSlots() { flakeSlots.release(); }

}  // namespace app
