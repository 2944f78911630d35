#pragma once
#include <cstdint>

namespace tray {

// A right click on the tray icon opens its menu.
void 主窗口_托盘事件(int32_t action);
void 声音_被选择();
void 帮助_被选择();
void 退出_被选择();

}  // namespace tray
