#include "platform/sim/sim_platform.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <stdexcept>

#include "runtime/codec/midi_bytes.h"
#include "runtime/view/rect_ops.h"
#include "runtime/run.h"

namespace platform::sim {
namespace {

constexpr int64_t kNever = std::numeric_limits<int64_t>::max();
constexpr intptr_t kWindowHandle = 0x10010;

// Unwinds the program's stack when the process would end.
struct ProcessExit {
    int code;
};
struct RunLimitReached {};

using runtime::view::intersect;

std::string describe(const runtime::Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.width) + "x" +
           std::to_string(r.height);
}

}  // namespace

SimPlatform::SimPlatform(Options options) : options_(options) {}

SimPlatform::~SimPlatform() {
    for (auto& [block, size] : blocks_) std::free(block);
}

std::optional<int> SimPlatform::run(int (*entry)(), int64_t untilUs) {
    limitUs_ = untilUs;
    try {
        runtime::runProgram(*this, entry);
    } catch (const ProcessExit& exit) {
        return exit.code;
    } catch (const RunLimitReached&) {
    }
    return std::nullopt;
}

void SimPlatform::at(int64_t timeUs, std::function<void()> action) {
    actions_.push_back({timeUs, actionOrder_++, std::move(action)});
}

void SimPlatform::record(std::string what, std::string detail) {
    calls_.push_back({now_, std::move(what), std::move(detail)});
}

std::vector<Call> SimPlatform::callsNamed(const std::string& what) const {
    std::vector<Call> found;
    for (const Call& c : calls_)
        if (c.what == what) found.push_back(c);
    return found;
}

std::vector<std::string> SimPlatform::operations() const {
    std::vector<std::string> found;
    for (const Call& c : calls_)
        if (c.what == "call") found.push_back(c.detail);
    return found;
}

void SimPlatform::pressEscape() {
    // A task-modal box disables the window, so the key never reaches it.
    if (!window_.created || window_.destroyed || !window_.visible || modalBoxes_ > 0) return;
    if (!window_.spec.escapeCloses) return;
    record("destroyWindow", "escape");
    window_.destroyed = true;
    window_.visible = false;
    if (tray_.shown) record("removeTrayIcon", "window destroyed");
    tray_.shown = false;
    trayWanted_ = false;
    host_->onWindowDestroyed();
}

void SimPlatform::trayClick(int action) {
    if (!tray_.shown) return;
    host_->onTrayEvent(action);
    record("trayEventReturned");
}

void SimPlatform::startShell() {
    options_.shellTray = true;
    if (trayWanted_ && !tray_.shown) {
        tray_.shown = true;
        record("trayAdded", tray_.tip);
    }
}

uint32_t SimPlatform::presentedAt(int x, int y) const {
    if (!options_.windowPicture) throw std::logic_error("this sim keeps no window picture");
    const runtime::Rect& r = window_.rect;
    if (x < 0 || y < 0 || x >= r.width || y >= r.height) return 0;
    return presented_[static_cast<std::size_t>(y) * r.width + x];
}

uint32_t SimPlatform::visibleAt(int x, int y, uint32_t desktop) const {
    const runtime::Rect& r = window_.rect;
    if (!window_.visible || x < r.left || y < r.top || x >= r.right() || y >= r.bottom()) return desktop;
    const uint32_t pixel = presentedAt(x - r.left, y - r.top);
    return pixel == window_.seeThroughKey ? desktop : pixel;
}

bool SimPlatform::startUp(runtime::Host& host) {
    host_ = &host;
    record("startUp");
    return !options_.failStartUp;
}

uint32_t SimPlatform::tickCountMillis() {
    return options_.tickCountStart + static_cast<uint32_t>(now_ / 1000);
}

void* SimPlatform::allocate(std::size_t bytes) {
    record("allocate", std::to_string(bytes));
    if (options_.failAllocationOf != 0 && bytes == options_.failAllocationOf) return nullptr;
    void* block = std::malloc(bytes);
    // The heap does not zero blocks: make that visible to tests.
    std::fill_n(static_cast<unsigned char*>(block), bytes, 0xCD);
    blocks_[block] = bytes;
    return block;
}

void SimPlatform::release(void* block) {
    record("release", std::to_string(blocks_.count(block) ? blocks_[block] : 0));
    if (blocks_.erase(block)) std::free(block);
}

bool SimPlatform::createMainWindow(const runtime::WindowSpec& spec) {
    record("createMainWindow", describe(spec.design));
    if (options_.failCreateWindow) return false;
    window_.created = true;
    window_.spec = spec;
    window_.rect = spec.design;
    resetPicture(spec.design.width, spec.design.height, spec.backColor);
    return true;
}

void SimPlatform::moveMainWindow(const runtime::Rect& rect) {
    record("moveMainWindow", describe(rect));
    window_.rect = rect;
    resetPicture(rect.width, rect.height, window_.spec.backColor);
    invalid_.push_back({0, 0, viewRect_.width, viewRect_.height});
}

void SimPlatform::resetPicture(int width, int height, uint32_t colour) {
    if (options_.windowPicture) presented_.assign(static_cast<std::size_t>(width) * height, colour);
}

void SimPlatform::showMainWindow() {
    record("showMainWindow");
    window_.visible = true;
}

runtime::Size SimPlatform::windowSize() { return {window_.rect.width, window_.rect.height}; }

runtime::Size SimPlatform::clientSize() {
    // No border; only the menu strip, if the system keeps one, is not client area.
    const runtime::Size client{window_.rect.width, std::max(0, window_.rect.height - options_.menuStripHeight)};
    record("clientSize", std::to_string(client.width) + "x" + std::to_string(client.height));
    return client;
}

intptr_t SimPlatform::windowHandle() { return window_.created && !window_.destroyed ? kWindowHandle : 0; }

void SimPlatform::setSeeThrough(std::optional<uint32_t> colourKey) {
    record("setSeeThrough", colourKey ? std::to_string(*colourKey) : "none");
    window_.seeThroughKey = colourKey;
}

void SimPlatform::setWindowMenu(const std::vector<runtime::MenuEntry>& topLevel) {
    record("setWindowMenu");
    window_.menu = topLevel;
}

void SimPlatform::setViewRect(const runtime::Rect& rect) {
    record("setViewRect", describe(rect));
    viewRect_ = rect;
    viewBuffer_.assign(static_cast<std::size_t>(rect.width) * rect.height, 0);
    invalid_.clear();
}

runtime::Surface SimPlatform::viewSurface() {
    return {viewBuffer_.data(), viewRect_.width, viewRect_.height, viewRect_.width};
}

void SimPlatform::invalidateView(const runtime::Rect& area) { invalid_.push_back(area); }

void SimPlatform::presentNow() { paintInvalid(); }

// Copies the invalid parts of the view to the window, as WM_PAINT would.
void SimPlatform::paintInvalid() {
    const runtime::Rect client{0, 0, window_.rect.width, window_.rect.height};
    for (const runtime::Rect& area : invalid_) {
        const runtime::Rect inView = intersect(area, {0, 0, viewRect_.width, viewRect_.height});
        const runtime::Rect onWindow =
            intersect({inView.left + viewRect_.left, inView.top + viewRect_.top, inView.width, inView.height}, client);
        presentedPixels_ += static_cast<std::size_t>(std::max(0, onWindow.width)) * std::max(0, onWindow.height);
        if (!options_.windowPicture) continue;
        for (int y = onWindow.top; y < onWindow.bottom(); ++y) {
            const uint32_t* from = &viewBuffer_[static_cast<std::size_t>(y - viewRect_.top) * viewRect_.width +
                                                (onWindow.left - viewRect_.left)];
            std::copy_n(from, onWindow.width, &presented_[static_cast<std::size_t>(y) * client.width + onWindow.left]);
        }
    }
    invalid_.clear();
}

void SimPlatform::requestWake(int64_t atMicros) {
    const int64_t g = std::max<int64_t>(1, options_.wakeGranularityUs);
    int64_t at = std::max(atMicros, now_);
    at = (at + g - 1) / g * g;
    wake_ = at;
}

void SimPlatform::dispatchUntil(int64_t endUs, const std::function<bool()>& done) {
    while (!done()) {
        const int64_t wake = wake_.value_or(kNever);
        auto next = std::min_element(actions_.begin(), actions_.end(), [](const Action& a, const Action& b) {
            return a.timeUs != b.timeUs ? a.timeUs < b.timeUs : a.order < b.order;
        });
        const int64_t action = next == actions_.end() ? kNever : next->timeUs;
        const int64_t t = std::min(wake, action);
        if (t > endUs) {
            now_ = std::max(now_, endUs);
            return;
        }
        now_ = std::max(now_, t);
        if (action <= wake) {
            std::function<void()> run = std::move(next->run);
            actions_.erase(next);
            run();
        } else {
            wake_.reset();
            host_->onWake();
            paintInvalid();   // the queue is idle after each wake
        }
    }
}

void SimPlatform::messageBox(const runtime::MessageBoxSpec& box) {
    record("messageBox", box.title + "|" + box.text + (box.icon == runtime::BoxIcon::stop ? "|stop" : ""));
    const int64_t closeAt = now_ + (boxOpenFor ? boxOpenFor(box) : 0);
    const int modal = box.taskModal ? 1 : 0;
    modalBoxes_ += modal;
    dispatchUntil(std::min(closeAt, limitUs_), [] { return false; });
    modalBoxes_ -= modal;
    if (now_ >= limitUs_ && closeAt > limitUs_) throw RunLimitReached{};
    record("messageBoxClosed", box.title);
}

int SimPlatform::popupMenu(const std::vector<runtime::MenuEntry>& items) {
    std::string detail;
    for (const auto& item : items) detail += (detail.empty() ? "" : ",") + item.text + (item.checked ? "✓" : "");
    record("popupMenu", detail);
    const MenuAnswer answer = onPopup ? onPopup(items) : MenuAnswer{};
    menuOpen_ = true;
    dispatchUntil(std::min(now_ + answer.openForUs, limitUs_), [] { return false; });
    menuOpen_ = false;
    record("popupMenuClosed", std::to_string(answer.choice));
    return answer.choice;
}

void SimPlatform::setTrayIcon(std::span<const uint8_t> ico, const std::string& tip) {
    record("setTrayIcon", tip);
    tray_.tip = tip;
    tray_.icon.assign(ico.begin(), ico.end());
    trayWanted_ = true;
    tray_.shown = options_.shellTray;
}

void SimPlatform::removeTrayIcon() {
    if (!tray_.shown) return;
    record("removeTrayIcon");
    tray_.shown = false;
    trayWanted_ = false;
}

void SimPlatform::playMidi(const runtime::codec::MidiSong& song, int count) {
    stopMidi();
    record("playMidi", std::to_string(count));
    if (!options_.midiDevice) return;   // silent: no output device
    Playback p{now_, std::nullopt, count, song.lengthUs, 0};
    for (const auto& e : song.events)
        if (runtime::codec::midi::startsNote(e.status, e.data2)) {
            p.firstNoteUs = e.timeUs;
            break;
        }
    playbacks_.push_back(p);
}

void SimPlatform::stopMidi() {
    if (playbacks_.empty() || playbacks_.back().stopUs) return;
    record("stopMidi");
    playbacks_.back().stopUs = now_;
}

void* SimPlatform::loadSystemLibrary(const std::string& name) {
    record("loadSystemLibrary", name);
    return Platform::loadSystemLibrary(name);
}

void SimPlatform::runMessageLoop() {
    record("messageLoop");
    dispatchUntil(limitUs_, [this] { return window_.destroyed; });
    if (!window_.destroyed) throw RunLimitReached{};
    record("messageLoopEnded");
}

void SimPlatform::exitProcess(int code) {
    record("exitProcess", std::to_string(code));
    throw ProcessExit{code};
}

void SimPlatform::traceEvent(const std::string& control, const std::string& event) {
    record("event", control + " " + event);
}

void SimPlatform::traceCall(const std::string& call) { record("call", call); }

}  // namespace platform::sim
