#pragma once
// Texts cross into the system as UTF-16: the run time's UTF-8 goes through
// the W functions, so the Chinese texts show whatever the code page.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform::win32 {

std::wstring widen(std::string_view utf8);

// Copies `text` into `dest` (capacity units, NUL included), cut to fit
// without splitting a surrogate pair. capacity must be at least 1.
void copyCut(std::wstring_view text, wchar_t* dest, std::size_t capacity);

}  // namespace platform::win32
