#pragma once
// A form: the description of a window and its controls, with the program's
// handlers bound to their events. The loader makes live controls from it.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "runtime/geometry.h"
#include "runtime/view/sprite.h"
#include "runtime/view/view.h"
#include "runtime/window_spec.h"

namespace runtime {

using Handler = void (*)();

struct WindowForm {
    std::string name;
    WindowSpec spec;   // handed to the back-end as it stands
    Handler created = nullptr;
    Handler positionChanged = nullptr;
    Handler sizeChanged = nullptr;
    Handler firstActivated = nullptr;
    Handler activated = nullptr;
    void (*trayEvent)(int32_t action) = nullptr;
};

struct MenuItemForm {
    std::string name;
    std::string text;
    int level = 0;   // 0 top level, 1 its child, ...
    bool checked = false;
    bool disabled = false;
    bool hidden = false;
    Handler selected = nullptr;
};

struct TimerForm {
    std::string name;
    int period = 0;
    Handler periodic = nullptr;
};

// The view is always visible and without a border.
struct ViewForm {
    std::string name;
    Rect design;
    uint32_t BackColor = 0;
    void (*collided)(int32_t mover, int32_t left, int32_t top, int32_t other) = nullptr;
};

// Templates are never shown, so they need no place of their own.
struct SpriteTemplateForm {
    std::string name;
    std::span<const uint8_t> picture;   // GIF bytes
    view::SpriteProps props;            // everything but the decoded picture
};

struct Form {
    WindowForm window;
    std::vector<MenuItemForm> menu;     // form order; nesting by level
    std::vector<TimerForm> timers;
    ViewForm view;
    std::vector<SpriteTemplateForm> templates;
};

}  // namespace runtime
