#pragma once
// A picture's frames as one object draws them: scaled and turned once, with
// the opaque runs of each row for drawing and a bit mask for collisions.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "runtime/codec/picture.h"

namespace runtime::view {

struct FrameImage {
    struct Run {
        int start = 0;
        int length = 0;
    };
    int width = 0;
    int height = 0;
    // 0x00RRGGBB, rows of `width`; transparent pixels hold the background
    // the set was built for, so drawn on that background a row is one copy.
    std::vector<uint32_t> pixels;
    std::vector<Run> runs;            // opaque pixels, row by row, left to right
    std::vector<uint32_t> rowRuns;    // runs of row y: [rowRuns[y], rowRuns[y + 1])
    std::vector<uint64_t> mask;       // bit x of row y set where opaque
    int maskStride = 0;               // words a row, one spare for unaligned reads
};

// What decides the look of the built frames. Objects whose keys are equal
// share one FrameSet.
struct FrameKey {
    const codec::Picture* picture = nullptr;
    int zoom = 1000;                           // 1000: not scaled
    int angle = 0;                             // 0: not turned
    std::optional<uint32_t> transparentColor;  // dropped when scaled
    bool operator==(const FrameKey&) const = default;
    bool operator<(const FrameKey& o) const;
};

// The frames of one key. The size is known at once, but the frames are built
// only when first drawn or tested for a collision: a flake turned while below
// the screen is often turned again, or gone, before either happens.
class FrameSet {
public:
    // Turns clockwise about the centre, then scales; nearest source pixel.
    // Pixels outside the turned picture, those the picture marks transparent
    // (alpha 0) and those of the transparent colour are left out.
    FrameSet(std::shared_ptr<const codec::Picture> picture, const FrameKey& key, uint32_t background);

    const codec::Picture& source() const { return *source_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int frameCount() const { return count_; }
    bool built() const { return frames_.size() == size_t(count_); }
    // Builds every frame on the first call.
    const FrameImage& frame(int index) const;
    // What is built so far: nothing, or every frame.
    const std::vector<FrameImage>& builtFrames() const { return frames_; }

private:
    void build() const;

    std::shared_ptr<const codec::Picture> source_;
    FrameKey key_;
    uint32_t background_;
    int width_ = 0;
    int height_ = 0;
    int count_ = 0;
    mutable std::vector<FrameImage> frames_;
};

// The key for a sprite's picture: `angle` counts only with RotateFollow,
// zoom only above 0 and not 1000.
FrameKey frameKeyFor(const codec::Picture* picture, int zoom, bool rotateFollow, int angle,
                     std::optional<uint32_t> transparentColor);

// Bounding box of a w×h picture turned about its centre.
void turnedSize(int width, int height, int angle, int& outWidth, int& outHeight);

}  // namespace runtime::view
