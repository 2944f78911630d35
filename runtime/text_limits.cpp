#include "runtime/text_limits.h"

#include <algorithm>

namespace runtime {

std::string cutToGbkBytes(std::string_view utf8, int maxBytes) {
    int used = 0;
    std::size_t at = 0;
    while (at < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        // A lead byte tells the UTF-8 length; stray continuation bytes
        // count as one character each, so nothing is ever split.
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        length = std::min(length, utf8.size() - at);
        const int cost = lead < 0x80 ? 1 : 2;
        if (used + cost > maxBytes) break;
        used += cost;
        at += length;
    }
    return std::string(utf8.substr(0, at));
}

}  // namespace runtime
