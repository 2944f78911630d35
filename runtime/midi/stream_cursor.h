#pragma once
// Walks the passes of a playback and hands them out as buffer loads, cut on
// event boundaries. A load never spans two passes, and every pass starts
// again from the song's first event.
#include <cstddef>
#include <span>

#include "runtime/midi/pass_stream.h"

namespace runtime::midi {

class StreamCursor {
public:
    // count: the number of passes; negative repeats without end. A pass that
    // takes no time is sent once only: looping it would spin without sound.
    StreamCursor(PassStream pass, int count);

    // Copies the next events into `out`; returns how many (0: all sent).
    std::size_t fill(std::span<StreamEvent> out);

    bool done() const;
    // Passes begun so far: 1 once the first event has been handed out.
    int passesStarted() const { return passesStarted_; }
    const PassStream& pass() const { return pass_; }

private:
    PassStream pass_;
    int passesLeft_;  // negative: without end
    int passesStarted_ = 0;
    std::size_t position_ = 0;  // next event of the current pass
};

}  // namespace runtime::midi
