#pragma once
#include <optional>
#include <string>
#include <utility>

namespace runtime::codec {

// A decoder's answer: the value, or the reason the bytes were refused.
template <class T>
class Decoded {
public:
    static Decoded ok(T value) { Decoded d; d.value_ = std::move(value); return d; }
    static Decoded refused(std::string reason) { Decoded d; d.reason_ = std::move(reason); return d; }

    explicit operator bool() const { return value_.has_value(); }
    const T& value() const& { return *value_; }
    T&& value() && { return std::move(*value_); }
    const std::string& reason() const { return reason_; }

private:
    Decoded() = default;
    std::optional<T> value_;
    std::string reason_;
};

}  // namespace runtime::codec
