#pragma once
// How the run time writes an operation for Platform::traceCall:
// subject.operation(argument,...)=result, numbers in decimal.
#include <concepts>
#include <string>
#include <string_view>

namespace runtime {

inline std::string textOf(std::string_view s) { return std::string(s); }
inline std::string textOf(const char* s) { return s; }
inline std::string textOf(bool b) { return b ? "true" : "false"; }
inline std::string textOf(std::integral auto n) { return std::to_string(n); }
inline std::string textOf(double d) {
    // Whole numbers, the usual case, without a fraction.
    if (d == static_cast<double>(static_cast<long long>(d))) return std::to_string(static_cast<long long>(d));
    return std::to_string(d);
}

template <class... Args>
std::string callText(std::string_view operation, const Args&... args) {
    std::string text(operation);
    text += '(';
    bool first = true;
    ((text += (first ? "" : ","), text += textOf(args), first = false), ...);
    return text + ')';
}

}  // namespace runtime
