#include "runtime/view/frame_cache.h"

#include <iterator>

namespace runtime::view {

std::shared_ptr<const FrameSet> FrameCache::get(
    const std::shared_ptr<const codec::Picture>& picture, const FrameKey& key) {
    auto found = entries_.find(key);
    if (found != entries_.end()) {
        // A live set keeps its picture alive, so its address names it safely.
        if (auto set = found->second.lock()) return set;
    }
    auto set = std::make_shared<const FrameSet>(picture, key, background_);
    entries_[key] = set;
    if (entries_.size() >= pruneAt_) dropUnused();
    return set;
}

std::size_t FrameCache::heldBytes() const {
    std::size_t bytes = entries_.size() * (sizeof(FrameKey) + sizeof(std::weak_ptr<const FrameSet>));
    for (const auto& [key, entry] : entries_) {
        const auto set = entry.lock();
        if (!set) continue;
        for (const FrameImage& f : set->builtFrames())
            bytes += sizeof f + f.pixels.capacity() * sizeof f.pixels[0] + f.runs.capacity() * sizeof f.runs[0] +
                     f.rowRuns.capacity() * sizeof f.rowRuns[0] + f.mask.capacity() * sizeof f.mask[0];
    }
    return bytes;
}

void FrameCache::dropUnused() {
    for (auto it = entries_.begin(); it != entries_.end();)
        it = it->second.expired() ? entries_.erase(it) : std::next(it);
    pruneAt_ = 2 * entries_.size() + 64;
}

}  // namespace runtime::view
