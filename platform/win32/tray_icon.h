#pragma once
// The main window's icon in the notification area. It is the user's only
// handle on a borderless window, so it comes back when the shell restarts.
#include <cstdint>
#include <span>
#include <string>

#include <windows.h>
#include <shellapi.h>

namespace platform::win32 {

class TrayIcon {
public:
    // The message the shell sends the owner window for mouse actions.
    static constexpr UINT callbackMessage = WM_APP + 1;

    TrayIcon() = default;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon();

    // Adds the icon (built from .ico file bytes) or replaces the current
    // one. Without a shell the data is kept for showAgain.
    void set(HWND owner, std::span<const uint8_t> ico, const std::string& tip);
    void remove();
    // The shell has (re)started: "TaskbarCreated".
    void showAgain();

    // The tray event for a callback in version 4 (the action in the low
    // word of lParam), 0 for actions not reported. A right click sends
    // WM_RBUTTONUP and then WM_CONTEXTMENU: only the latter counts.
    static int actionFor(LPARAM lParam);

    // The taskbar window that Shell_NotifyIcon talks to, if there is one.
    static HWND hostWindow();
    // Whether the window belongs to the process of that taskbar window.
    static bool hostOwns(HWND window);

private:
    void show();

    NOTIFYICONDATAW data_{};
    bool wanted_ = false;   // set and not removed
    bool shown_ = false;    // the shell has it
};

}  // namespace platform::win32
