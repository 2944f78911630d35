#pragma once
// The native Linux back-end: an X11 window (ARGB under a compositor, X
// Shape without), GTK 3 message boxes, GLib's loop.
#include <memory>
#include <optional>
#include <vector>

#include "platform/linux/fluid_player.h"
#include "platform/linux/glib_sources.h"
#include "platform/linux/x_display.h"
#include "platform/linux/x_window.h"
#include "runtime/platform.h"

namespace platform::linux_x11 {

class LinuxPlatform final : public runtime::Platform {
public:
    LinuxPlatform();
    ~LinuxPlatform() override;

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
    void setViewRect(const runtime::Rect& rect) override;
    runtime::Surface viewSurface() override;
    void invalidateView(const runtime::Rect& area) override;
    void presentNow() override;
    void requestWake(int64_t atMicros) override;
    void messageBox(const runtime::MessageBoxSpec& box) override;
    int popupMenu(const std::vector<runtime::MenuEntry>& items) override;
    void playMidi(const runtime::codec::MidiSong& song, int count) override;
    void stopMidi() override;
    void runMessageLoop() override;
    [[noreturn]] void exitProcess(int code) override;

private:
    void onXEvents();
    void handle(XEvent& event);
    void closeWindow();
    void makeWindow(bool argb);
    void present();
    void reshape();

    runtime::Host* host_ = nullptr;
    std::unique_ptr<XDisplay> display_;
    std::unique_ptr<XWindow> window_;
    std::unique_ptr<WakeSource> wake_;
    std::unique_ptr<XEventSource> events_;
    FluidPlayer music_;
    GMainLoop* loop_ = nullptr;
    runtime::WindowSpec spec_;
    runtime::Rect monitor_;          // the primary monitor, screen coordinates
    runtime::Rect rect_;             // the window, relative to the monitor
    bool shown_ = false;
    bool destroyed_ = false;
    bool windowManager_ = false;
    int modalBoxes_ = 0;
    std::optional<uint32_t> key_;
    runtime::Rect viewRect_;
    std::vector<uint32_t> view_;
    std::vector<runtime::Rect> invalid_;
    std::vector<runtime::Rect> unshaped_;   // view areas drawn since the shape was last set
    int stepsUnshaped_ = 0;
    static constexpr int kClickShapeSteps = 8;
};

}  // namespace platform::linux_x11
