// The Win32 back-end's own rules: texts cut for the system, tray callbacks,
// the menus built from the menu tree, and what the view invalidates reaching
// the window.
// Run under Wine; the exit code is the number of failed checks.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

#include "platform/win32/menus.h"
#include "platform/win32/text.h"
#include "platform/win32/tray_icon.h"
#include "platform/win32/win32_platform.h"

namespace {

using namespace platform::win32;
using runtime::MenuEntry;

int failures = 0;

MenuEntry entry(const char* text, bool checked = false, bool disabled = false, bool hidden = false,
                std::vector<MenuEntry> children = {}) {
    return {text, checked, disabled, hidden, std::move(children)};
}

#define CHECK(condition)                                                   \
    do {                                                                   \
        if (!(condition)) {                                                \
            ++failures;                                                    \
            std::printf("  FAILED line %d: %s\n", __LINE__, #condition);   \
        }                                                                  \
    } while (0)

void widenConvertsUtf8() {
    CHECK(widen("") == L"");
    CHECK(widen("Yorvane的圣诞卡") == L"Yorvane\u7684\u5723\u8BDE\u5361");
    CHECK(widen("😀") == L"\xD83D\xDE00");
    CHECK(widen("a\r\nb") == L"a\r\nb");
}

void copyCutNeverSplitsACharacter() {
    struct Case {
        const wchar_t* text;
        std::size_t capacity;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"abc", 8, L"abc"},                       // fits
        {L"abc", 4, L"abc"},                       // fits exactly with its NUL
        {L"abcd", 4, L"abc"},                      // cut
        {L"ab\xD83D\xDE00", 4, L"ab"},             // the pair would be halved: left out
        {L"ab\xD83D\xDE00", 5, L"ab\xD83D\xDE00"}, // the pair fits
        {L"\x5723\x8BDE\x5361", 3, L"\x5723\x8BDE"},
        {L"abc", 1, L""},
    };
    for (const Case& c : cases) {
        wchar_t buffer[16];
        for (wchar_t& unit : buffer) unit = L'#';
        copyCut(c.text, buffer, c.capacity);
        const bool ok = std::wstring(buffer) == c.expected;
        if (!ok) std::printf("  case \"%ls\" capacity %u\n", c.text, static_cast<unsigned>(c.capacity));
        CHECK(ok);
    }
}

void trayActionsAreReportedOnce() {
    struct Case {
        UINT notification;
        int action;
    };
    // Version 4: the notification in the low word, the icon id in the high.
    const Case cases[] = {
        {WM_LBUTTONUP, 1},  {WM_LBUTTONDBLCLK, 2}, {WM_CONTEXTMENU, 3},
        {WM_RBUTTONUP, 0},  // a right click also sends WM_CONTEXTMENU: one menu, not two
        {WM_LBUTTONDOWN, 0}, {WM_RBUTTONDOWN, 0}, {WM_MOUSEMOVE, 0},  {NIN_SELECT, 0},
        {NIN_KEYSELECT, 0},
    };
    for (const Case& c : cases) {
        const int action = TrayIcon::actionFor(MAKELPARAM(c.notification, 1));
        if (action != c.action) std::printf("  notification 0x%x gave %d\n", c.notification, action);
        CHECK(action == c.action);
    }
}

std::wstring itemText(HMENU menu, int position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
    return text;
}

void menuBarLeavesOutHiddenItems() {
    const std::vector<MenuEntry> children{entry("声音", true), entry("帮助"), entry("退出")};
    // The form's tree: its only top-level item is hidden, so no strip at all.
    CHECK(buildMenuBar({entry("托盘事件", false, false, true, children)}) == nullptr);
    CHECK(buildMenuBar({}) == nullptr);

    HMENU bar = buildMenuBar(
        {entry("托盘事件", false, false, true, children), entry("文件", false, false, false, children)});
    CHECK(bar != nullptr);
    if (!bar) return;
    CHECK(GetMenuItemCount(bar) == 1);
    CHECK(itemText(bar, 0) == L"\u6587\u4EF6");
    HMENU submenu = GetSubMenu(bar, 0);
    CHECK(submenu != nullptr && GetMenuItemCount(submenu) == 3);
    DestroyMenu(bar);
}

void popupCommandsIndexTheGivenEntries() {
    const std::vector<MenuEntry> entries{entry("声音", true), entry("隐藏", false, false, true),
                                         entry("帮助", false, true), entry("退出")};
    HMENU popup = buildPopup(entries);
    CHECK(popup != nullptr);
    if (!popup) return;
    CHECK(GetMenuItemCount(popup) == 3);
    // Position -> command (index + 1) and state.
    struct Expect {
        UINT command;
        bool checked;
        bool grayed;
        const wchar_t* text;
    };
    const Expect expected[] = {{1, true, false, L"\u58F0\u97F3"},
                               {3, false, true, L"\u5E2E\u52A9"},
                               {4, false, false, L"\u9000\u51FA"}};
    for (int position = 0; position < 3; ++position) {
        const Expect& e = expected[position];
        CHECK(GetMenuItemID(popup, position) == e.command);
        const UINT state = GetMenuState(popup, static_cast<UINT>(position), MF_BYPOSITION);
        CHECK(((state & MF_CHECKED) != 0) == e.checked);
        CHECK(((state & MF_GRAYED) != 0) == e.grayed);
        CHECK(itemText(popup, position) == e.text);
    }
    DestroyMenu(popup);
}

}  // namespace

struct QuietHost : runtime::Host {
    void onWake() override {}
    void onSizeChanged() override {}
    void onActivated() override {}
    void onTrayEvent(int) override {}
    void onWindowDestroyed() override {}
};

// The view's rectangles are gathered and reach the window together, moved
// to the view's place, once the message that drew them has been handled.
void invalidatedAreasReachTheWindowTogether() {
    QuietHost host;
    Win32Platform platform;
    CHECK(platform.startUp(host));
    runtime::WindowSpec spec;
    spec.design = {0, 0, 200, 100};
    spec.backColor = 0xF0F0F0;
    CHECK(platform.createMainWindow(spec));
    platform.setViewRect({10, 20, 150, 60});
    platform.showMainWindow();
    const HWND window = reinterpret_cast<HWND>(platform.windowHandle());
    CHECK(window != nullptr);
    if (!window) return;
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    for (const auto& areas : {std::vector<runtime::Rect>{{0, 0, 8, 6}},
                              std::vector<runtime::Rect>{{0, 0, 8, 6}, {100, 30, 20, 10}, {4, 2, 8, 6}}}) {
        ValidateRect(window, nullptr);
        for (const runtime::Rect& a : areas) platform.invalidateView(a);
        CHECK(GetUpdateRgn(window, update, FALSE) == NULLREGION);  // gathered, not yet sent
        SendMessageW(window, WM_NULL, 0, 0);
        GetUpdateRgn(window, update, FALSE);
        HRGN expected = CreateRectRgn(0, 0, 0, 0);
        for (const runtime::Rect& a : areas) {
            HRGN one = CreateRectRgn(a.left + 10, a.top + 20, a.right() + 10, a.bottom() + 20);
            CombineRgn(expected, expected, one, RGN_OR);
            DeleteObject(one);
        }
        CHECK(EqualRgn(update, expected));
        DeleteObject(expected);
    }
    DeleteObject(update);
}

int main() {
    widenConvertsUtf8();
    copyCutNeverSplitsACharacter();
    trayActionsAreReportedOnce();
    menuBarLeavesOutHiddenItems();
    popupCommandsIndexTheGivenEntries();
    invalidatedAreasReachTheWindowTogether();
    std::printf("%d failed\n", failures);
    return failures;
}
