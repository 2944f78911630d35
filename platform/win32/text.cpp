#include "platform/win32/text.h"

#include <windows.h>

namespace platform::win32 {

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), units);
    return wide;
}

void copyCut(std::wstring_view text, wchar_t* dest, std::size_t capacity) {
    std::size_t length = text.size() < capacity ? text.size() : capacity - 1;
    // A low surrogate at the cut means its high half would be left alone.
    if (length < text.size() && IS_LOW_SURROGATE(text[length]) && length > 0) --length;
    text.copy(dest, length);
    dest[length] = L'\0';
}

}  // namespace platform::win32
