#pragma once
// The main window's form: its controls, by the names the handlers use.
#include "runtime/controls.h"
#include "runtime/form.h"

namespace form {

inline constexpr runtime::MainWindow 主窗口{};

inline constexpr runtime::MenuItem 托盘事件{0};
inline constexpr runtime::MenuItem 声音{1};
inline constexpr runtime::MenuItem 帮助{2};
inline constexpr runtime::MenuItem 退出{3};

inline constexpr runtime::Timer 时钟1{0};
inline constexpr runtime::Timer 时钟2{1};

inline constexpr runtime::AnimationView 动画框桌面{};

inline constexpr runtime::SpriteTemplate 动画物体雪花{0};
inline constexpr runtime::SpriteTemplate 动画物体圣诞卡{1};

inline constexpr uint32_t kColourKey = 0xF0F0F0;

const runtime::Form& mainForm();

// Size changed: the view is stretched over the whole window.
void 主窗口_尺寸被改变();

}  // namespace form
