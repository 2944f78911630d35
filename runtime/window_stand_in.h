#pragma once
// For a back-end without user32: the libraries of the search order by name,
// and User32's three window functions the program calls by name, answered
// by turning the window's layering into Platform::setSeeThrough.
#include <cstdint>
#include <string>

namespace runtime::standIn {

// The main window's extended style, as the stand-in's functions see it.
struct Window {
    int32_t exStyle = 0;
};

void* library(const std::string& name);   // nullptr for a name not searched
void* function(void* library, const std::string& name);

}  // namespace runtime::standIn
