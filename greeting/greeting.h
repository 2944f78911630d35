#pragma once

namespace greeting {

// Created: the seven greetings, the seed, the see-through window, the timers.
void 主窗口_创建完毕();
// First activated: the carol, the tray icon and the card.
void 主窗口_首次激活();

}  // namespace greeting
