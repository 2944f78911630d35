#include "form/main_form.h"

#include "assets/assets.h"
#include "greeting/greeting.h"
#include "snow/snow.h"
#include "tray/tray.h"

namespace form {
namespace {

runtime::Form makeForm() {
    runtime::Form f;
    f.window = {
        .name = "主窗口",
        .spec = {.design = {50, 50, 439, 319},
                 .caption = "",
                 .backColor = kColourKey,
                 .topmost = true,
                 .noTaskbarButton = true,
                 .escapeCloses = true,
                 .programIcon = true},
        .created = greeting::主窗口_创建完毕,
        .sizeChanged = 主窗口_尺寸被改变,
        .firstActivated = greeting::主窗口_首次激活,
        .trayEvent = tray::主窗口_托盘事件,
    };
    // Form order matters: the handles in main_form.h are indices into it.
    f.menu = {
        {.name = "托盘事件", .text = "托盘事件", .level = 0, .hidden = true},
        {.name = "声音", .text = "声音", .level = 1, .checked = true, .selected = tray::声音_被选择},
        {.name = "帮助", .text = "帮助", .level = 1, .selected = tray::帮助_被选择},
        {.name = "退出", .text = "退出", .level = 1, .selected = tray::退出_被选择},
    };
    f.timers = {
        {.name = "时钟1", .period = 0, .periodic = snow::时钟1_周期事件},
        {.name = "时钟2", .period = 0, .periodic = snow::时钟2_周期事件},
    };
    f.view = {
        .name = "动画框桌面",
        .design = {0, 0, 280, 216},
        .BackColor = kColourKey,
        .collided = snow::动画框桌面_碰撞到物体,
    };

    runtime::view::SpriteProps flake;
    flake.TransparentColor = kColourKey;
    flake.PlayGIF = true;
    flake.zoom = 500;
    flake.angle = 180;
    flake.RotateFollow = true;
    flake.CollideAllowed = true;
    flake.type = 0;

    runtime::view::SpriteProps card;
    card.TransparentColor = kColourKey;
    card.PlayGIF = true;
    card.zoom = 0;
    card.angle = 180;
    card.RotateFollow = false;
    card.CollideAllowed = true;
    card.type = 1;

    f.templates = {
        {.name = "动画物体雪花", .picture = assets::snowflakeGif(), .props = flake},
        {.name = "动画物体圣诞卡", .picture = assets::cardGif(), .props = card},
    };
    return f;
}

}  // namespace

const runtime::Form& mainForm() {
    static const runtime::Form form = makeForm();
    return form;
}

void 主窗口_尺寸被改变() {
    动画框桌面.move(0, 0, 主窗口.width(), 主窗口.height());
}

}  // namespace form
