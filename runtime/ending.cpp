#include <cstdlib>
#include <string>

#include "runtime/operations.h"
#include "runtime/run.h"
#include "runtime/runtime.h"

namespace runtime {
namespace {

// What every end shares after the at-exit routine: the sound stops and no
// dead icon is left in the tray.
[[noreturn]] void finish(int exitCode) {
    Platform& p = Runtime::current().platform();
    p.stopMidi();
    p.removeTrayIcon();
    p.exitProcess(exitCode);
    std::abort();   // a back-end whose exit returned: never run on
}

}  // namespace

void endProgram(int exitCode) {
    Runtime& r = Runtime::current();
    if (auto routine = r.atExit) {
        r.atExit = nullptr;   // exactly once, even if the routine ends the program itself
        r.platform().traceEvent("program", "at-exit routine");
        routine();
    }
    finish(exitCode);
}

void runtimeErrorStop(int code, std::string_view message) {
    std::string text = "运行时出错!\r\n\r\n";
    if (code != 0) text += "错误代码：" + std::to_string(code) + "\r\n\r\n";
    if (!message.empty()) text += "错误信息：" + std::string(message) + "\r\n";
    Runtime::current().platform().messageBox({text, "错误", BoxIcon::stop, false});
    finish(-1);
}

void runProgram(Platform& platform, int (*entry)()) {
    Runtime runtime(platform);
    endProgram(entry());
}

}  // namespace runtime
