#pragma once
// The one interface a back-end implements. The run time calls down through
// Platform; the back-end calls back up through Host. Texts are UTF-8.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "runtime/codec/midi_song.h"
#include "runtime/geometry.h"
#include "runtime/surface.h"
#include "runtime/tray_action.h"

namespace runtime {

// What the back-end reports to the run time. All calls come on the GUI
// thread, including from inside the back-end's modal loops (message boxes,
// popup menus), so timers and the view keep running behind them.
class Host {
public:
    virtual ~Host() = default;
    // A wake asked for with Platform::requestWake has come due (or later).
    virtual void onWake() = 0;
    // The main window's outer size changed after loading.
    virtual void onSizeChanged() = 0;
    // The main window was activated after loading.
    virtual void onActivated() = 0;
    // Mouse action on the tray icon, one of runtime/tray_action.h.
    virtual void onTrayEvent(int action) = 0;
    // The main window has been destroyed (closed); the loop will return.
    virtual void onWindowDestroyed() = 0;
};

struct WindowSpec {
    Rect design;                 // where it is created, hidden
    std::string caption;         // shown nowhere: the window has no caption bar
    uint32_t backColor = 0;      // 0xRRGGBB
    bool topmost = false;
    bool noTaskbarButton = false;  // owned by an invisible tool window
    bool escapeCloses = false;
    bool programIcon = false;    // the executable's "DEFAULT_ICON"
};

enum class BoxIcon { none, stop };

struct MessageBoxSpec {
    std::string text;
    std::string title;
    BoxIcon icon = BoxIcon::none;
    // Every box is top-most and brought to the foreground, so it is never
    // hidden under the full-screen top-most window, and has no owner. A
    // task-modal box disables the program's windows while it is open; the
    // fatal error box leaves them enabled.
    bool taskModal = true;
};

// An item of a menu the back-end shows: the top level of the window menu,
// or the entries of a popup.
struct MenuEntry {
    std::string text;
    bool checked = false;
    bool disabled = false;
    bool hidden = false;
    std::vector<MenuEntry> children;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Prepares the back-end and reads the form data; false if that fails.
    virtual bool startUp(Host& host) = 0;

    // Monotonic clock in microseconds, and the system's millisecond tick
    // count (only for seeding the random generator).
    virtual int64_t nowMicros() = 0;
    virtual uint32_t tickCountMillis() = 0;

    // Process heap; allocate returns nullptr on failure.
    virtual void* allocate(std::size_t bytes) = 0;
    virtual void release(void* block) = 0;

    // Primary screen size in pixels.
    virtual Size screenSize() = 0;

    // The main window. Created hidden at spec.design; false on failure.
    virtual bool createMainWindow(const WindowSpec& spec) = 0;
    virtual void moveMainWindow(const Rect& rect) = 0;   // outer rectangle
    virtual void showMainWindow() = 0;                   // shows and activates
    virtual Size windowSize() = 0;                       // outer size
    virtual Size clientSize() = 0;
    virtual intptr_t windowHandle() = 0;
    // Rebuilds the window's menu from its top-level items.
    virtual void setWindowMenu(const std::vector<MenuEntry>& topLevel) = 0;

    // The animation view: a child area of the main window's client area.
    // setViewRect moves it (the back buffer becomes rect's size, contents
    // undefined); viewSurface is valid until the next setViewRect.
    virtual void setViewRect(const Rect& rect) = 0;
    virtual Surface viewSurface() = 0;
    // Marks an area of the view (view coordinates) to be presented.
    virtual void invalidateView(const Rect& area) = 0;
    // Presents every invalid area now instead of when the queue is idle.
    virtual void presentNow() = 0;

    // Asks for Host::onWake at or after `atMicros`; replaces the previous
    // request.
    virtual void requestWake(int64_t atMicros) = 0;

    // Modal message box with an OK button; returns when it is closed.
    virtual void messageBox(const MessageBoxSpec& box) = 0;
    // Pops up `items` at the cursor (top-left 3 px right of and below it);
    // returns the index of the chosen item, or -1. Blocks until it closes.
    virtual int popupMenu(const std::vector<MenuEntry>& items) = 0;

    // Adds or replaces the tray icon of the main window (ico file bytes).
    virtual void setTrayIcon(std::span<const uint8_t> ico, const std::string& tip) = 0;
    virtual void removeTrayIcon() = 0;

    // Stops any playback and waits for its end, then plays `song` from its
    // beginning in the background; count -1 loops without end. Silent on
    // failure. stopMidi returns once playback has stopped.
    virtual void playMidi(const codec::MidiSong& song, int count) = 0;
    virtual void stopMidi() = 0;

    // Loads a system library from the system directory only; nullptr if
    // missing. Libraries stay loaded until the process ends.
    virtual void* loadSystemLibrary(const std::string& name) = 0;
    virtual void* findExport(void* library, const std::string& name) = 0;

    // Dispatches until the main window has been destroyed.
    virtual void runMessageLoop() = 0;
    // Ends the process; never returns.
    [[noreturn]] virtual void exitProcess(int code) = 0;

    // Told of every event the run time raises on a control, handled or not
    // (the sim records them; a real back-end has no use for them).
    virtual void traceEvent(const std::string& control, const std::string& event) {
        (void)control;
        (void)event;
    }
};

}  // namespace runtime
