#include "app/state.h"
#include "assets/assets.h"
#include "form/main_form.h"
#include "greeting/greeting.h"
#include "runtime/operations.h"

namespace greeting {

void 主窗口_首次激活() {
    using namespace form;
    runtime::playMidi(-1, assets::carol());
    runtime::setTrayIcon(assets::snowflakeIcon(), "Yorvane的圣诞卡");
    // The card stands 300 px from the right edge and 100 px from the bottom.
    const int x = static_cast<int>(主窗口.clientWidth() - 300.0);
    const int y = static_cast<int>(主窗口.clientHeight() - 100.0);
    app::cardObject = 动画框桌面.createObject(动画物体圣诞卡, x, y);
}

}  // namespace greeting
