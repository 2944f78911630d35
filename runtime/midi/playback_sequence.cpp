#include "runtime/midi/playback_sequence.h"

#include <algorithm>

namespace runtime::midi {

PlaybackSequence::PlaybackSequence(PassStream pass, int count, int slotCount, std::size_t slotEvents)
    : cursor_(std::move(pass), count), slots_(static_cast<std::size_t>(std::max(slotCount, 1))) {
    const std::size_t capacity = std::clamp<std::size_t>(slotEvents, 1, kMaxBufferEvents);
    for (Slot& slot : slots_) slot.storage.resize(capacity);
}

bool PlaybackSequence::refill(Slot& slot) {
    slot.filled = cursor_.fill(slot.storage);
    slot.queued = slot.filled > 0;
    return slot.queued;
}

std::vector<int> PlaybackSequence::start() {
    std::vector<int> toSend;
    for (int i = 0; i < slotCount(); ++i)
        if (refill(slots_[static_cast<std::size_t>(i)])) toSend.push_back(i);
    return toSend;
}

bool PlaybackSequence::bufferDone(int slot) {
    Slot& s = slots_.at(static_cast<std::size_t>(slot));
    if (!s.queued) return false;
    s.queued = false;
    return !stopping_ && refill(s);
}

bool PlaybackSequence::anyQueued() const {
    return std::any_of(slots_.begin(), slots_.end(), [](const Slot& s) { return s.queued; });
}

bool PlaybackSequence::stopRequested() {
    if (stopping_) return false;
    stopping_ = true;
    cutShort_ = anyQueued() || !cursor_.done();
    return anyQueued();
}

bool PlaybackSequence::finished() const {
    return !anyQueued() && (stopping_ || cursor_.done());
}

std::span<const uint32_t> PlaybackSequence::closingMessages() const {
    if (!cutShort_) return {};
    return cursor_.pass().closingMessages;
}

}  // namespace runtime::midi
