#pragma once
// A headless, deterministic back-end: a virtual clock in microseconds, a
// scripted user, an emulated window with its styles and colour key, and a
// record of every call the run time makes.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "runtime/platform.h"

namespace platform::sim {

struct Call {
    int64_t timeUs = 0;
    std::string what;     // e.g. "messageBox", "event", "setViewRect"
    std::string detail;   // the arguments, as text
};

struct Options {
    runtime::Size screen{1024, 768};
    uint32_t tickCountStart = 1000;        // the system tick count at time 0
    int64_t wakeGranularityUs = 1;         // 15625 behaves like a stock Windows timer
    bool failStartUp = false;
    bool failCreateWindow = false;
    std::size_t failAllocationOf = 0;      // an allocation of this many bytes fails
    bool midiDevice = true;
    bool shellTray = true;                 // false: no notification area yet
    int menuStripHeight = 0;               // a strip the system keeps above the client area
    // false: operations are not recorded (traceCall), for long runs.
    bool recordOperations = true;
    // false: presents are counted but not copied, for long runs that never
    // look at the window (presentedAt and visibleAt then refuse).
    bool windowPicture = true;
};

// What the scripted user does with a popup menu.
struct MenuAnswer {
    int choice = -1;          // index into the shown items, -1 for none
    int64_t openForUs = 0;    // how long the menu stays open
};

struct Playback {
    int64_t startUs = 0;
    std::optional<int64_t> stopUs;
    int count = 0;
    int64_t passUs = 0;       // length of one pass
    int64_t firstNoteUs = 0;  // of the first note-on, from the start of a pass
};

struct SimWindow {
    bool created = false;
    bool visible = false;
    bool destroyed = false;
    runtime::WindowSpec spec;
    runtime::Rect rect;
    std::optional<uint32_t> seeThroughKey;   // 0xRRGGBB
    std::vector<runtime::MenuEntry> menu;
};

struct SimTray {
    bool shown = false;
    std::string tip;
    std::vector<uint8_t> icon;
};

class SimPlatform final : public runtime::Platform {
public:
    explicit SimPlatform(Options options = {});
    ~SimPlatform() override;

    // Runs the program until it ends (its exit code) or until virtual time
    // reaches untilUs (nullopt: still running).
    std::optional<int> run(int (*entry)(), int64_t untilUs);

    // The scripted user. Actions run on the GUI thread at their time, also
    // while a box or a menu is open.
    void at(int64_t timeUs, std::function<void()> action);
    std::function<int64_t(const runtime::MessageBoxSpec&)> boxOpenFor;   // default: closed at once
    std::function<MenuAnswer(const std::vector<runtime::MenuEntry>&)> onPopup;
    void pressEscape();
    void trayClick(int action);
    void startShell();   // a notification area appears (TaskbarCreated)

    // What happened.
    int64_t now() const { return now_; }
    const std::vector<Call>& calls() const { return calls_; }
    std::vector<Call> callsNamed(const std::string& what) const;
    // The operations the program asked for (traceCall), in order.
    std::vector<std::string> operations() const;
    const SimWindow& window() const { return window_; }
    const SimTray& tray() const { return tray_; }
    const std::vector<Playback>& playbacks() const { return playbacks_; }
    bool menuOpen() const { return menuOpen_; }
    std::size_t liveBlocks() const { return blocks_.size(); }
    std::size_t presentedPixels() const { return presentedPixels_; }
    // The window's presented pixels (0x00RRGGBB), window coordinates.
    uint32_t presentedAt(int x, int y) const;
    // What a person sees at screen (x, y) over a desktop of one colour.
    uint32_t visibleAt(int x, int y, uint32_t desktop) const;

    // Platform
    bool startUp(runtime::Host& host) override;
    int64_t nowMicros() override { return now_; }
    uint32_t tickCountMillis() override;
    void* allocate(std::size_t bytes) override;
    void release(void* block) override;
    runtime::Size screenSize() override { return options_.screen; }
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
    void runMessageLoop() override;
    [[noreturn]] void exitProcess(int code) override;
    void traceEvent(const std::string& control, const std::string& event) override;
    bool recordsCalls() const override { return options_.recordOperations; }
    void traceCall(const std::string& call) override;

    void record(std::string what, std::string detail = {});

private:
    struct Action {
        int64_t timeUs;
        uint64_t order;
        std::function<void()> run;
    };
    // Dispatches wakes and scripted actions until endUs or until `done`.
    void dispatchUntil(int64_t endUs, const std::function<bool()>& done);
    void paintInvalid();
    void resetPicture(int width, int height, uint32_t colour);

    Options options_;
    runtime::Host* host_ = nullptr;
    int64_t now_ = 0;
    int64_t limitUs_ = 0;
    std::optional<int64_t> wake_;
    std::vector<Action> actions_;
    uint64_t actionOrder_ = 0;
    std::vector<Call> calls_;
    std::map<void*, std::size_t> blocks_;
    SimWindow window_;
    SimTray tray_;
    bool trayWanted_ = false;
    std::vector<Playback> playbacks_;
    int modalBoxes_ = 0;   // open boxes that disable the window
    bool menuOpen_ = false;

    runtime::Rect viewRect_;
    std::vector<uint32_t> viewBuffer_;
    std::vector<runtime::Rect> invalid_;
    std::vector<uint32_t> presented_;   // the window's client area
    std::size_t presentedPixels_ = 0;
};

}  // namespace platform::sim
