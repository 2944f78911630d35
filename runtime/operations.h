#pragma once
// The run time's operations that are not a control's: boxes, random numbers,
// the heap, sound, the tray, the orderly end and the fatal error stop.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/controls.h"
#include "runtime/form.h"

namespace runtime {

// Prepares the back-end; stops with the form-data message if it cannot.
void startUp();
// Loads the start window from its form; returns once it is on screen.
void loadStartWindow(const Form& form);
void runMessageLoop();

void* allocate(std::size_t bytes);   // stops the program if the heap is out
void release(void* block);
void registerAtExit(void (*routine)());

// A modal box with an OK button and no icon; returns when it is closed.
void messageBox(std::string_view text, int buttons, std::string_view title);

void setRandomSeed();
int32_t randomInt(int32_t low, int32_t high);   // inclusive, uniform

int screenWidth();

void playMidi(int count, std::span<const uint8_t> smf);
void stopPlaying();
void setTrayIcon(std::span<const uint8_t> ico, std::string_view tip);
// Pops up the item's visible children at the cursor; the chosen item's
// selected event follows after the menu has closed.
void popupMenu(const MenuItem& item);

[[noreturn]] void endProgram(int exitCode);
[[noreturn]] void runtimeErrorStop(int code, std::string_view message);

// Looks a system function up by name (first call only) in the libraries the
// run time searches; a name found nowhere stops the program.
void* systemFunction(const char* name);

template <class Signature, class... Args>
auto callSystem(const char* name, Args... args) {
    return reinterpret_cast<Signature*>(systemFunction(name))(args...);
}

}  // namespace runtime
