#include "tray/tray.h"

#include "assets/assets.h"
#include "form/main_form.h"
#include "runtime/operations.h"
#include "runtime/tray_action.h"

namespace tray {

void 主窗口_托盘事件(int32_t action) {
    if (action == runtime::trayAction::rightUp) runtime::popupMenu(form::托盘事件);
}

void 声音_被选择() {
    using form::声音;
    if (声音.checked()) {
        声音.setChecked(false);
        runtime::stopPlaying();
    } else {
        声音.setChecked(true);
        runtime::playMidi(-1, assets::carol());
    }
}

void 帮助_被选择() {
    runtime::messageBox("大家圣诞快乐！！祝你们过个好圣诞.呵呵\r\nQQ：20261225", 0, "圣诞快乐！！");
}

void 退出_被选择() { runtime::endProgram(0); }

}  // namespace tray
