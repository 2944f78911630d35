#include "platform/win32/win32_platform.h"

#include <algorithm>

#include "platform/win32/menus.h"
#include "platform/win32/system_library.h"
#include "platform/win32/text.h"
#include "platform/win32/window_paint.h"

namespace platform::win32 {

namespace {

constexpr wchar_t ownerClass[] = L"ChristmasCardOwner";
constexpr wchar_t mainClass[] = L"ChristmasCardWindow";
constexpr UINT_PTR wakeTimerId = 1;

COLORREF colorRef(uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

RECT toRect(const runtime::Rect& r) { return {r.left, r.top, r.right(), r.bottom()}; }

runtime::Size sizeOf(const RECT& r) { return {r.right - r.left, r.bottom - r.top}; }

// Docking our icon, which comes after we were shown, Wine's shell activates
// two windows of its own in one step, and keys stop reaching us. Not the
// desktop window: under Wine it stands for the programs outside Wine. Not a
// window on its way out either. Windows refuses SetForegroundWindow while
// the user is working with the shell.
void CALLBACK takeBackActivation(HWND, UINT, ULONG_PTR data, LRESULT) {
    HWND window = reinterpret_cast<HWND>(data);
    HWND foreground = GetForegroundWindow();
    if (IsWindowVisible(window) && foreground != GetDesktopWindow() && TrayIcon::hostOwns(foreground))
        SetForegroundWindow(window);
}

}  // namespace

template <LRESULT (Win32Platform::*handle)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK Win32Platform::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Platform*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = (self->*handle)(window, message, wParam, lParam);
    // Whatever the message made the view draw is invalidated at once.
    self->flushInvalid();
    return result;
}

bool Win32Platform::startUp(runtime::Host& host) {
    host_ = &host;
    instance_ = GetModuleHandleW(nullptr);
    QueryPerformanceFrequency(&counterFrequency_);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    createOwnerWindow();
    return true;
}

void Win32Platform::createOwnerWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc<&Win32Platform::ownerMessage>;
    windowClass.hInstance = instance_;
    windowClass.lpszClassName = ownerClass;
    if (!RegisterClassExW(&windowClass)) return;
    CreateWindowExW(WS_EX_TOOLWINDOW, ownerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                    instance_, this);
}

int64_t Win32Platform::nowMicros() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const int64_t frequency = counterFrequency_.QuadPart;
    const int64_t ticks = counter.QuadPart;
    // Split so that ticks * 10^6 cannot overflow after a long uptime.
    return ticks / frequency * 1'000'000 + ticks % frequency * 1'000'000 / frequency;
}

uint32_t Win32Platform::tickCountMillis() { return GetTickCount(); }

void* Win32Platform::allocate(std::size_t bytes) { return HeapAlloc(GetProcessHeap(), 0, bytes); }

void Win32Platform::release(void* block) {
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

runtime::Size Win32Platform::screenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool Win32Platform::createMainWindow(const runtime::WindowSpec& spec) {
    if (!owner_) return false;
    backColor_ = spec.backColor;
    background_ = CreateSolidBrush(colorRef(spec.backColor));
    escapeCloses_ = spec.escapeCloses;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc<&Win32Platform::mainMessage>;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background_;
    windowClass.lpszClassName = mainClass;
    if (spec.programIcon) {
        windowClass.hIcon = LoadIconW(instance_, L"DEFAULT_ICON");
        windowClass.hIconSm = static_cast<HICON>(
            LoadImageW(instance_, L"DEFAULT_ICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                       GetSystemMetrics(SM_CYSMICON), 0));
    }
    if (!RegisterClassExW(&windowClass)) return false;

    const runtime::Rect& design = spec.design;
    HWND owner = spec.noTaskbarButton ? owner_ : nullptr;
    main_ = CreateWindowExW(0, mainClass, widen(spec.caption).c_str(), WS_POPUP, design.left,
                            design.top, design.width, design.height, owner, nullptr, instance_, this);
    if (!main_) return false;
    stripFrame();
    if (spec.topmost)
        SetWindowPos(main_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void Win32Platform::stripFrame() {
    constexpr LONG_PTR frame = WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    const LONG_PTR style = GetWindowLongPtrW(main_, GWL_STYLE);
    if (!(style & frame)) return;
    SetWindowLongPtrW(main_, GWL_STYLE, style & ~frame);
    SetWindowPos(main_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Win32Platform::moveMainWindow(const runtime::Rect& rect) {
    if (!main_) return;
    SetWindowPos(main_, nullptr, rect.left, rect.top, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Platform::showMainWindow() {
    if (!main_) return;
    ShowWindow(main_, SW_SHOW);
    SetForegroundWindow(main_);
}

runtime::Size Win32Platform::windowSize() {
    RECT r{};
    if (main_) GetWindowRect(main_, &r);
    return sizeOf(r);
}

runtime::Size Win32Platform::clientSize() {
    RECT r{};
    if (main_) GetClientRect(main_, &r);
    return sizeOf(r);
}

intptr_t Win32Platform::windowHandle() { return reinterpret_cast<intptr_t>(main_); }

// The program layers the window itself through user32; this is the same
// layering for a caller that asks the back-end.
void Win32Platform::setSeeThrough(std::optional<uint32_t> colourKey) {
    if (!main_) return;
    const LONG_PTR style = GetWindowLongPtrW(main_, GWL_EXSTYLE);
    if (!colourKey) {
        SetWindowLongPtrW(main_, GWL_EXSTYLE, style & ~LONG_PTR{WS_EX_LAYERED});
        return;
    }
    SetWindowLongPtrW(main_, GWL_EXSTYLE, style | WS_EX_LAYERED);
    SetLayeredWindowAttributes(main_, colorRef(*colourKey), 255, LWA_COLORKEY);
}

void Win32Platform::setWindowMenu(const std::vector<runtime::MenuEntry>& topLevel) {
    if (!main_) return;
    HMENU bar = buildMenuBar(topLevel);
    HMENU previous = GetMenu(main_);
    // Attaching "no menu" again would only make the frame recalculate.
    if (!bar && !previous) return;
    SetMenu(main_, bar);
    if (previous) DestroyMenu(previous);
}

void Win32Platform::setViewRect(const runtime::Rect& rect) {
    if (main_) InvalidateRect(main_, &viewRect_, FALSE);  // what the view leaves is background
    viewRect_ = toRect(rect);
    view_.resize(rect.width, rect.height, backColor_);
}

runtime::Surface Win32Platform::viewSurface() { return view_.surface(); }

void Win32Platform::invalidateView(const runtime::Rect& area) {
    if (!main_ || area.empty()) return;
    RECT r = toRect(area);
    OffsetRect(&r, viewRect_.left, viewRect_.top);
    pendingInvalid_.push_back(r);
}

// A view step leaves a few dozen rectangles: one region for them all costs a
// single call into the window manager instead of one each.
void Win32Platform::flushInvalid() {
    if (pendingInvalid_.empty() || !main_) return;
    const auto count = static_cast<DWORD>(pendingInvalid_.size());
    const DWORD rectBytes = count * sizeof(RECT);
    regionData_.resize(sizeof(RGNDATAHEADER) + rectBytes);
    auto* data = reinterpret_cast<RGNDATA*>(regionData_.data());
    data->rdh = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, count, rectBytes, pendingInvalid_[0]};
    for (const RECT& r : pendingInvalid_) UnionRect(&data->rdh.rcBound, &data->rdh.rcBound, &r);
    std::copy(pendingInvalid_.begin(), pendingInvalid_.end(), reinterpret_cast<RECT*>(data->Buffer));
    if (HRGN region = ExtCreateRegion(nullptr, static_cast<DWORD>(regionData_.size()), data)) {
        InvalidateRgn(main_, region, FALSE);
        DeleteObject(region);
    } else {
        // Out of GDI objects: the areas must still be painted.
        for (const RECT& r : pendingInvalid_) InvalidateRect(main_, &r, FALSE);
    }
    pendingInvalid_.clear();
}

void Win32Platform::presentNow() {
    flushInvalid();
    if (main_) UpdateWindow(main_);
}

void Win32Platform::requestWake(int64_t atMicros) {
    wakeDue_ = atMicros;
    wakePending_ = true;
    if (owner_) armWakeTimer();
}

void Win32Platform::armWakeTimer() {
    // A window timer counts whole milliseconds (at least 10, landing on the
    // system tick): round up so the wake never comes early.
    const int64_t waitMillis = (wakeDue_ - nowMicros() + 999) / 1000;
    const auto elapse = static_cast<UINT>(
        std::clamp<int64_t>(waitMillis, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM));
    SetTimer(owner_, wakeTimerId, elapse, nullptr);
}

void Win32Platform::onWakeTimer() {
    if (wakePending_ && nowMicros() < wakeDue_) {
        armWakeTimer();
        return;
    }
    KillTimer(owner_, wakeTimerId);
    if (!wakePending_) return;
    wakePending_ = false;
    host_->onWake();
}

void Win32Platform::messageBox(const runtime::MessageBoxSpec& box) {
    UINT flags = MB_OK | MB_TOPMOST | MB_SETFOREGROUND;
    if (box.icon == runtime::BoxIcon::stop) flags |= MB_ICONSTOP;
    if (box.taskModal) flags |= MB_TASKMODAL;
    HWND active = GetActiveWindow();
    MessageBoxW(nullptr, widen(box.text).c_str(), widen(box.title).c_str(), flags);
    // The box has no owner and our windows were still disabled when it
    // went, so nothing gave the activation back: without it Escape no
    // longer reaches the window.
    if (active && IsWindow(active) && IsWindowVisible(active)) SetForegroundWindow(active);
}

int Win32Platform::popupMenu(const std::vector<runtime::MenuEntry>& items) {
    HWND window = main_ ? main_ : owner_;
    HMENU menu = buildPopup(items);
    if (!window || !menu) {
        if (menu) DestroyMenu(menu);
        return -1;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    // In the foreground a click elsewhere closes the menu; the null message
    // after it lets the next popup open at the first click.
    SetForegroundWindow(window);
    const int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTBUTTON | TPM_RIGHTBUTTON,
                                       cursor.x + 3, cursor.y + 3, 0, window, nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return command - 1;
}

void Win32Platform::setTrayIcon(std::span<const uint8_t> ico, const std::string& tip) {
    if (main_) tray_.set(main_, ico, tip);
}

void Win32Platform::removeTrayIcon() { tray_.remove(); }

void Win32Platform::playMidi(const runtime::codec::MidiSong& song, int count) {
    midi_.play(song, count);
}

void Win32Platform::stopMidi() { midi_.stop(); }

void* Win32Platform::loadSystemLibrary(const std::string& name) {
    return win32::loadSystemLibrary(name);
}

void* Win32Platform::findExport(void* library, const std::string& name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name.c_str()));
}

void Win32Platform::runMessageLoop() {
    if (!main_) return;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Win32Platform::exitProcess(int code) { ExitProcess(static_cast<UINT>(code)); }

LRESULT Win32Platform::ownerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        owner_ = window;
        break;
    case WM_TIMER:
        if (wParam != wakeTimerId) break;
        onWakeTimer();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32Platform::mainMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        main_ = window;
        break;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT paints everything
    case WM_PAINT:
        paintMainWindow(window, view_, viewRect_, background_);
        return 0;
    case WM_SIZE:
        host_->onSizeChanged();
        return 0;
    case WM_ACTIVATE: {
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);  // gives the focus
        if (LOWORD(wParam) != WA_INACTIVE)
            host_->onActivated();
        else if (HWND shell = TrayIcon::hostWindow())
            // Answered once the shell is through with the step under way: who
            // has the activation is known only then.
            SendMessageCallbackW(shell, WM_NULL, 0, 0, takeBackActivation, reinterpret_cast<ULONG_PTR>(window));
        return result;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (wParam != VK_ESCAPE || !escapeCloses_) break;
        DestroyWindow(window);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        tray_.remove();
        host_->onWindowDestroyed();
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        main_ = nullptr;
        break;
    case TrayIcon::callbackMessage:
        if (const int action = TrayIcon::actionFor(lParam)) host_->onTrayEvent(action);
        return 0;
    default:
        if (message == taskbarCreated_ && taskbarCreated_) tray_.showAgain();
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace platform::win32
