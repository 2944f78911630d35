#pragma once
// The real back-end: user32 windows and timers, GDI for the view, the shell
// tray, the MIDI stream player. Everything runs on the GUI thread except the
// player's own thread.
#include <windows.h>

#include <cstddef>
#include <vector>

#include "platform/win32/midi_stream_player.h"
#include "platform/win32/tray_icon.h"
#include "platform/win32/view_buffer.h"
#include "runtime/platform.h"

namespace platform::win32 {

class Win32Platform final : public runtime::Platform {
public:
    Win32Platform() = default;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    bool startUp(runtime::Host& host) override;

    int64_t nowMicros() override;
    uint32_t tickCountMillis() override;

    void* allocate(std::size_t bytes) override;
    void release(void* block) override;

    runtime::Size screenSize() override;

    bool createMainWindow(const runtime::WindowSpec& spec) override;
    void moveMainWindow(const runtime::Rect& rect) override;
    void showMainWindow() override;
    runtime::Size windowSize() override;
    runtime::Size clientSize() override;
    intptr_t windowHandle() override;
    void setSeeThrough(std::optional<uint32_t> colourKey) override;
    void setWindowMenu(const std::vector<runtime::MenuEntry>& topLevel) override;

    void setViewRect(const runtime::Rect& rect) override;
    runtime::Surface viewSurface() override;
    void invalidateView(const runtime::Rect& area) override;
    void presentNow() override;

    void requestWake(int64_t atMicros) override;

    void messageBox(const runtime::MessageBoxSpec& box) override;
    int popupMenu(const std::vector<runtime::MenuEntry>& items) override;

    void setTrayIcon(std::span<const uint8_t> ico, const std::string& tip) override;
    void removeTrayIcon() override;

    void playMidi(const runtime::codec::MidiSong& song, int count) override;
    void stopMidi() override;

    void* loadSystemLibrary(const std::string& name) override;
    void* findExport(void* library, const std::string& name) override;

    void runMessageLoop() override;
    [[noreturn]] void exitProcess(int code) override;

private:
    template <LRESULT (Win32Platform::*handle)(HWND, UINT, WPARAM, LPARAM)>
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT ownerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT mainMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void createOwnerWindow();
    void stripFrame();
    void armWakeTimer();
    void onWakeTimer();
    void flushInvalid();

    runtime::Host* host_ = nullptr;
    HINSTANCE instance_ = nullptr;
    LARGE_INTEGER counterFrequency_{};
    UINT taskbarCreated_ = 0;

    // Invisible tool window: owns the main window (so it has no taskbar
    // button) and carries the wake timer, from start-up to the end.
    HWND owner_ = nullptr;
    HWND main_ = nullptr;
    HBRUSH background_ = nullptr;
    uint32_t backColor_ = 0;
    bool escapeCloses_ = false;

    RECT viewRect_{};
    ViewBuffer view_;
    std::vector<RECT> pendingInvalid_;   // view areas not yet invalidated
    std::vector<std::byte> regionData_;  // reused: a region's rectangles
    TrayIcon tray_;
    MidiStreamPlayer midi_{systemWinmm()};

    bool wakePending_ = false;
    int64_t wakeDue_ = 0;
};

}  // namespace platform::win32
