#include "platform/win32/tray_icon.h"

#include <iterator>

#include "platform/win32/text.h"
#include "runtime/codec/ico.h"
#include "runtime/tray_action.h"

namespace platform::win32 {

namespace {

// The file's directory is read by our own bounds-checked reader:
// LookupIconIdFromDirectoryEx expects the resource layout, not the file's.
HICON iconFromIco(std::span<const uint8_t> ico) {
    const auto images = runtime::codec::readIco(ico);
    if (!images) return nullptr;
    const runtime::codec::IcoImage* image = runtime::codec::pickTrayImage(images.value());
    if (!image) return nullptr;
    return CreateIconFromResourceEx(const_cast<PBYTE>(image->bytes.data()),
                                    static_cast<DWORD>(image->bytes.size()), TRUE, 0x00030000,
                                    image->width, image->height, LR_DEFAULTCOLOR);
}

}  // namespace

TrayIcon::~TrayIcon() { remove(); }

void TrayIcon::set(HWND owner, std::span<const uint8_t> ico, const std::string& tip) {
    HICON icon = iconFromIco(ico);
    if (!icon) return;
    if (wanted_ && owner != data_.hWnd) remove();
    HICON previous = wanted_ ? data_.hIcon : nullptr;

    data_.cbSize = sizeof data_;
    data_.hWnd = owner;
    data_.uID = 1;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data_.uCallbackMessage = callbackMessage;
    data_.hIcon = icon;
    copyCut(widen(tip), data_.szTip, std::size(data_.szTip));
    wanted_ = true;
    show();
    if (previous) DestroyIcon(previous);
}

void TrayIcon::remove() {
    if (!wanted_) return;
    if (shown_) Shell_NotifyIconW(NIM_DELETE, &data_);
    DestroyIcon(data_.hIcon);
    data_ = {};
    wanted_ = shown_ = false;
}

void TrayIcon::showAgain() {
    if (!wanted_) return;
    shown_ = false;
    show();
}

void TrayIcon::show() {
    // The shell may have kept or lost the icon: try the likely call first.
    const DWORD first = shown_ ? NIM_MODIFY : NIM_ADD;
    const DWORD second = shown_ ? NIM_ADD : NIM_MODIFY;
    shown_ = Shell_NotifyIconW(first, &data_) || Shell_NotifyIconW(second, &data_);
    if (!shown_) return;
    data_.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &data_);
}

int TrayIcon::actionFor(LPARAM lParam) {
    switch (LOWORD(lParam)) {
    case WM_LBUTTONUP: return runtime::trayAction::leftUp;
    case WM_LBUTTONDBLCLK: return runtime::trayAction::leftDoubleClick;
    case WM_CONTEXTMENU: return runtime::trayAction::rightUp;
    default: return runtime::trayAction::none;
    }
}

HWND TrayIcon::hostWindow() { return FindWindowW(L"Shell_TrayWnd", nullptr); }

bool TrayIcon::hostOwns(HWND window) {
    DWORD hostProcess = 0;
    DWORD windowProcess = 0;
    GetWindowThreadProcessId(hostWindow(), &hostProcess);
    GetWindowThreadProcessId(window, &windowProcess);
    return hostProcess && hostProcess == windowProcess;
}

}  // namespace platform::win32
