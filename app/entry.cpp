#include "app/entry.h"

#include "app/state.h"
#include "form/main_form.h"
#include "runtime/operations.h"

namespace app {

int entryRoutine() {
    runtime::startUp();
    // A back-end may run the program more than once in one process (the
    // sim does): start each run from the initial values.
    flakeCursor = 0;
    cardObject = 0;
    flakeSlots = runtime::IntArray::allocate(50);
    runtime::registerAtExit(releaseSlots);
    runtime::loadStartWindow(form::mainForm());
    runtime::runMessageLoop();
    return 0;
}

}  // namespace app
