#include "platform/win32/menus.h"

#include <algorithm>

#include "platform/win32/text.h"

namespace platform::win32 {

namespace {

void appendEntries(HMENU menu, const std::vector<runtime::MenuEntry>& entries, bool withSubmenus) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const runtime::MenuEntry& entry = entries[i];
        if (entry.hidden) continue;
        UINT flags = MF_STRING;
        if (entry.checked) flags |= MF_CHECKED;
        if (entry.disabled) flags |= MF_GRAYED;
        UINT_PTR command = i + 1;
        if (withSubmenus && !entry.children.empty()) {
            HMENU submenu = CreatePopupMenu();
            appendEntries(submenu, entry.children, true);
            flags |= MF_POPUP;
            command = reinterpret_cast<UINT_PTR>(submenu);
        }
        AppendMenuW(menu, flags, command, widen(entry.text).c_str());
    }
}

}  // namespace

HMENU buildMenuBar(const std::vector<runtime::MenuEntry>& topLevel) {
    const bool anyVisible = std::any_of(topLevel.begin(), topLevel.end(),
                                        [](const runtime::MenuEntry& e) { return !e.hidden; });
    if (!anyVisible) return nullptr;
    HMENU bar = CreateMenu();
    if (bar) appendEntries(bar, topLevel, true);
    return bar;
}

HMENU buildPopup(const std::vector<runtime::MenuEntry>& entries) {
    HMENU popup = CreatePopupMenu();
    if (popup) appendEntries(popup, entries, false);
    return popup;
}

}  // namespace platform::win32
