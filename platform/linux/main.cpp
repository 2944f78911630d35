#include "app/entry.h"
#include "platform/linux/linux_platform.h"
#include "runtime/run.h"

int main() {
    platform::linux_x11::LinuxPlatform platform;
    runtime::runProgram(platform, app::entryRoutine);
}
