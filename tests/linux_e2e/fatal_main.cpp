// The card with a snow handler that reads past the end of the flake table:
// the end-to-end tests watch its fatal stop (the box, then exit code 255).
#include "app/state.h"
#include "form/main_form.h"
#include "platform/linux/linux_platform.h"
#include "runtime/operations.h"
#include "runtime/run.h"

namespace {

// The table has 50 slots: the index check stops the program (code 1).
void readPastTheEnd() { static_cast<void>(app::flakeSlots.at(51)); }

const runtime::Form& fatalForm() {
    static const runtime::Form form = [] {
        runtime::Form f = form::mainForm();
        f.timers.at(form::时钟1.index()).periodic = readPastTheEnd;
        return f;
    }();
    return form;
}

// app::entryRoutine with the form above.
int entryRoutine() {
    runtime::startUp();
    app::flakeCursor = 0;
    app::cardObject = 0;
    app::flakeSlots = runtime::IntArray::allocate(50);
    runtime::registerAtExit(app::releaseSlots);
    runtime::loadStartWindow(fatalForm());
    runtime::runMessageLoop();
    return 0;
}

}  // namespace

int main() {
    platform::linux_x11::LinuxPlatform platform;
    runtime::runProgram(platform, entryRoutine);
}
