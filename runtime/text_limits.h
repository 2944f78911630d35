#pragma once
// Texts cut to fit a limit counted in the bytes of the Chinese code page
// (GBK): 1 for an ASCII character, 2 for any other.
#include <string>
#include <string_view>

namespace runtime {

// The tray tip's limit, in those bytes.
inline constexpr int kTrayTipBytes = 62;

// The longest whole-character start of a UTF-8 text that fits `maxBytes`.
std::string cutToGbkBytes(std::string_view utf8, int maxBytes);

}  // namespace runtime
