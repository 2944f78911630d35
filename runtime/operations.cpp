#include "runtime/operations.h"

#include <string>

#include "runtime/codec/midi_file.h"
#include "runtime/errors.h"
#include "runtime/runtime.h"
#include "runtime/text_limits.h"
#include "runtime/trace_text.h"

namespace runtime {
namespace {
Runtime& rt() { return Runtime::current(); }
}  // namespace

void startUp() {
    if (!rt().platform().startUp(rt())) runtimeErrorStop(0, errors::kFormData);
}

void loadStartWindow(const Form& form) { rt().loadStartWindow(form); }

void runMessageLoop() { rt().platform().runMessageLoop(); }

void* allocate(std::size_t bytes) {
    void* block = rt().platform().allocate(bytes);
    if (!block) runtimeErrorStop(0, errors::fillIn(errors::kAllocateFormat, std::to_string(bytes)));
    return block;
}

void release(void* block) {
    rt().traceCall([&] { return callText("release", block ? "block" : "null"); });
    if (block) rt().platform().release(block);
}

void registerAtExit(void (*routine)()) { rt().atExit = routine; }

void messageBox(std::string_view text, int /*buttons: only OK is used*/, std::string_view title) {
    rt().platform().messageBox({std::string(text), std::string(title), BoxIcon::none, true});
}

void setRandomSeed() {
    Runtime& r = rt();
    const uint64_t seed = clockSeed(r.platform().tickCountMillis(), ++r.seedings);
    r.random.seed(seed);
    r.traceCall([&] { return callText("setRandomSeed") + "=" + textOf(seed); });
}

int32_t randomInt(int32_t low, int32_t high) {
    const int32_t value = rt().random.between(low, high);
    rt().traceCall([&] { return callText("randomInt", low, high) + "=" + textOf(value); });
    return value;
}

int screenWidth() { return rt().platform().screenSize().width; }

void playMidi(int count, std::span<const uint8_t> smf) {
    auto song = codec::parseMidiFile(smf);
    if (!song) return;   // refused data: nothing happens
    rt().platform().playMidi(song.value(), count);
}

void stopPlaying() { rt().platform().stopMidi(); }

void setTrayIcon(std::span<const uint8_t> ico, std::string_view tip) {
    rt().platform().setTrayIcon(ico, cutToGbkBytes(tip, kTrayTipBytes));
}

void popupMenu(const MenuItem& item) {
    Runtime& r = rt();
    const std::vector<int> shown = r.children(item.index(), true);
    const int chosen = r.platform().popupMenu(r.menuEntries(shown));
    if (chosen >= 0 && chosen < static_cast<int>(shown.size())) r.postSelected(shown[chosen]);
}

}  // namespace runtime
