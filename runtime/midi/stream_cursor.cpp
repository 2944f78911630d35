#include "runtime/midi/stream_cursor.h"

#include <algorithm>

namespace runtime::midi {

StreamCursor::StreamCursor(PassStream pass, int count)
    : pass_(std::move(pass)), passesLeft_(count) {
    if (pass_.events.empty()) passesLeft_ = 0;
    else if (pass_.lengthTicks == 0 && passesLeft_ < 0) passesLeft_ = 1;
}

bool StreamCursor::done() const { return passesLeft_ == 0; }

std::size_t StreamCursor::fill(std::span<StreamEvent> out) {
    if (done() || out.empty()) return 0;
    if (position_ == 0) ++passesStarted_;
    const std::size_t n = std::min(out.size(), pass_.events.size() - position_);
    std::copy_n(pass_.events.begin() + static_cast<std::ptrdiff_t>(position_), n, out.begin());
    position_ += n;
    if (position_ == pass_.events.size()) {
        position_ = 0;
        if (passesLeft_ > 0) --passesLeft_;
    }
    return n;
}

}  // namespace runtime::midi
