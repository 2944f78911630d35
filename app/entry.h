#pragma once

namespace app {

// The program's entry routine, called once by the back-end's start-up.
int entryRoutine();

}  // namespace app
