#pragma once
// Built frame sets shared by every object that looks the same: twelve flakes
// turned to one gust angle at one zoom build their frames once. Entries live
// as long as an object uses them. Sets are handed out unbuilt.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

#include "runtime/view/frame_set.h"

namespace runtime::view {

class FrameCache {
public:
    // Frames are built on the view's background colour.
    explicit FrameCache(uint32_t background) : background_(background) {}
    std::shared_ptr<const FrameSet> get(const std::shared_ptr<const codec::Picture>& picture,
                                        const FrameKey& key);
    // Bytes of the frame sets still in use, each counted once, and of the index.
    std::size_t heldBytes() const;

private:
    void dropUnused();

    uint32_t background_;
    std::map<FrameKey, std::weak_ptr<const FrameSet>> entries_;
    size_t pruneAt_ = 64;
};

}  // namespace runtime::view
