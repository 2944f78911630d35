#pragma once
// The sim's system libraries: each name of the search list is a library,
// and "User32.dll" exports emulations of the window functions the program
// calls by name.
#include <string>

namespace platform::sim {

void* systemLibrary(const std::string& name);   // nullptr for unknown names
void* windowFunction(void* library, const std::string& name);

}  // namespace platform::sim
