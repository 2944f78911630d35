#pragma once
// The one interface a back-end implements. The run time calls down through
// Platform; the back-end calls back up through Host. Texts are UTF-8; the
// back-end converts them at its boundary and never splits a character.
//
// What a back-end must supply:
//   - a monotonic clock and the system's millisecond tick count;
//   - the heap;
//   - the main window: made hidden at its design rectangle, moved, shown
//     and activated, its outer and client sizes, its handle, top-most and
//     without a taskbar entry, closed by Escape (and Alt+Escape) when the
//     form says so, reporting size changes, activation and its destruction;
//   - see-through by colour key (setSeeThrough): pixels of the key show
//     what lies beneath and take no click, all others are opaque;
//   - the view's back buffer, and presenting its invalid areas;
//   - one wake at a time (requestWake), on the GUI thread, never early;
//   - modal message boxes and popup menus whose own loops keep delivering
//     wakes, so timers and the view run behind them;
//   - the message loop, and the process exit.
// What is optional, and what doing nothing means:
//   - the window menu (setWindowMenu): the program's has no visible item;
//   - the tray icon: without a notification area there is no icon and no
//     tray event, and Escape still ends the program; one that appears
//     later should get the icon;
//   - MIDI output (playMidi, stopMidi): silence, with no message;
//   - system libraries (loadSystemLibrary, findExport): a back-end without
//     user32 keeps the defaults, which answer the program's three window
//     functions through the run time's stand-in (runtime/window_stand_in.h)
//     and turn them into setSeeThrough;
//   - traceEvent, and traceCall where recordsCalls says so: a record of what
//     the program did, for the sim's tests.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/codec/midi_song.h"
#include "runtime/geometry.h"
#include "runtime/surface.h"
#include "runtime/tray_action.h"
#include "runtime/window_spec.h"
#include "runtime/window_stand_in.h"

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

    // Prepares the back-end before anything else; false if it cannot.
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
    virtual intptr_t windowHandle() = 0;                 // 0 once destroyed
    // From now on pixels of exactly `colourKey` (0xRRGGBB) are see-through
    // and take no click, every other pixel is opaque; nullopt: all opaque.
    virtual void setSeeThrough(std::optional<uint32_t> colourKey) = 0;
    // Rebuilds the window's menu from its top-level items.
    virtual void setWindowMenu(const std::vector<MenuEntry>& topLevel) { (void)topLevel; }

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

    // Adds or replaces the tray icon of the main window (ico file bytes);
    // the tip arrives already cut to fit.
    virtual void setTrayIcon(std::span<const uint8_t> ico, const std::string& tip) {
        (void)ico;
        (void)tip;
    }
    virtual void removeTrayIcon() {}

    // Stops any playback and waits for its end, then plays `song` from its
    // beginning in the background; count -1 loops without end. Silent on
    // failure. stopMidi returns once playback has stopped.
    virtual void playMidi(const codec::MidiSong& song, int count) {
        (void)song;
        (void)count;
    }
    virtual void stopMidi() {}

    // Loads a system library from the system directory only; nullptr if
    // missing. Libraries stay loaded until the process ends.
    virtual void* loadSystemLibrary(const std::string& name) { return standIn::library(name); }
    virtual void* findExport(void* library, const std::string& name) { return standIn::function(library, name); }

    // Dispatches until the main window has been destroyed.
    virtual void runMessageLoop() = 0;
    // Ends the process; never returns.
    [[noreturn]] virtual void exitProcess(int code) = 0;

    // Told of every event the run time raises on a control, handled or not,
    // and of every operation the program asks of a control, of the random
    // generator or of a window function answered by the stand-in.
    virtual void traceEvent(const std::string& control, const std::string& event) {
        (void)control;
        (void)event;
    }
    virtual bool recordsCalls() const { return false; }
    virtual void traceCall(const std::string& call) { (void)call; }
};

}  // namespace runtime
