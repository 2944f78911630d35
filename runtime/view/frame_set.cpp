#include "runtime/view/frame_set.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "runtime/view/direction.h"

namespace runtime::view {
namespace {

// Keeps sizes and their products far from int overflow, whatever the zoom.
constexpr int kMaxSide = 16384;

int clampSide(double v) {
    return int(std::clamp(v, 0.0, double(kMaxSide)));
}

// round(side × zoom / 1000), half up, in integers: in floating point 285‰
// of 100 would come out 28, not 29.
int scaledSide(int side, int zoom) {
    return int(std::clamp<int64_t>((int64_t{side} * zoom + 500) / 1000, 0, kMaxSide));
}

// For each pixel of the built picture, the index of the source pixel it
// shows, or -1 outside the turned picture. The same for every frame.
std::vector<int64_t> sourceIndices(const codec::Picture& picture, const FrameKey& key, int width,
                                   int height) {
    const int srcW = picture.width;
    const int srcH = picture.height;
    int turnedW = 0, turnedH = 0;
    turnedSize(srcW, srcH, key.angle, turnedW, turnedH);
    const SinCos sc = sinCosOf(key.angle);
    const double scaleX = double(turnedW) / width;
    const double scaleY = double(turnedH) / height;
    std::vector<int64_t> indices(size_t(width) * height, -1);
    for (int v = 0; v < height; ++v) {
        const double ty = (v + 0.5) * scaleY - turnedH / 2.0;
        for (int u = 0; u < width; ++u) {
            const double tx = (u + 0.5) * scaleX - turnedW / 2.0;
            // Turning back by the angle finds the source point.
            const double sx = tx * sc.cos + ty * sc.sin + srcW / 2.0;
            const double sy = -tx * sc.sin + ty * sc.cos + srcH / 2.0;
            if (sx >= 0 && sy >= 0 && sx < srcW && sy < srcH)
                indices[size_t(v) * width + u] = int64_t(sy) * srcW + int64_t(sx);
        }
    }
    return indices;
}

// Sets bits [from, to) of a mask row.
void setBits(uint64_t* row, int from, int to) {
    while (from < to) {
        const int bit = from % 64;
        const int count = std::min(64 - bit, to - from);
        const uint64_t ones = count == 64 ? ~uint64_t(0) : (uint64_t(1) << count) - 1;
        row[from / 64] |= ones << bit;
        from += count;
    }
}

FrameImage buildFrame(const codec::Frame& source, const std::vector<int64_t>& indices,
                      std::optional<uint32_t> transparentColor, uint32_t background, int width,
                      int height) {
    FrameImage out;
    out.width = width;
    out.height = height;
    out.pixels.assign(size_t(width) * height, background);
    out.maskStride = (width + 63) / 64 + 1;
    out.mask.assign(size_t(out.maskStride) * height, 0);
    out.rowRuns.reserve(size_t(height) + 1);
    out.runs.reserve(size_t(height));
    // No 24-bit colour equals this: without a transparent colour only alpha counts.
    const uint32_t key = transparentColor.value_or(0xFFFFFFFF);
    const uint32_t* pixels = source.pixels.data();
    const int64_t available = int64_t(source.pixels.size());
    // A frame short of pixels has nothing there.
    auto opaqueAt = [&](int64_t at, uint32_t& rgb) {
        if (at < 0 || at >= available) return false;
        rgb = pixels[at] & 0xFFFFFF;
        return (pixels[at] >> 24) != 0 && rgb != key;
    };
    // Row by row, run by run: the mask is set a run at a time, not a bit.
    for (int v = 0; v < height; ++v) {
        out.rowRuns.push_back(uint32_t(out.runs.size()));
        const int64_t* at = indices.data() + size_t(v) * width;
        uint32_t* row = out.pixels.data() + size_t(v) * width;
        int u = 0;
        while (u < width) {
            uint32_t rgb = 0;
            while (u < width && !opaqueAt(at[u], rgb)) ++u;
            if (u == width) break;
            const int start = u;
            do {
                row[u++] = rgb;
            } while (u < width && opaqueAt(at[u], rgb));
            out.runs.push_back({start, u - start});
            setBits(out.mask.data() + size_t(v) * out.maskStride, start, u);
        }
    }
    out.rowRuns.push_back(uint32_t(out.runs.size()));
    return out;
}

}  // namespace

bool FrameKey::operator<(const FrameKey& o) const {
    return std::tie(picture, zoom, angle, transparentColor) <
           std::tie(o.picture, o.zoom, o.angle, o.transparentColor);
}

FrameKey frameKeyFor(const codec::Picture* picture, int zoom, bool rotateFollow, int angle,
                     std::optional<uint32_t> transparentColor) {
    FrameKey key;
    key.picture = picture;
    const bool scaled = zoom > 0 && zoom != 1000;
    key.zoom = scaled ? zoom : 1000;
    key.angle = rotateFollow ? normalizeAngle(angle) : 0;
    if (!scaled && transparentColor) key.transparentColor = *transparentColor & 0xFFFFFF;
    return key;
}

void turnedSize(int width, int height, int angle, int& outWidth, int& outHeight) {
    const int a = normalizeAngle(angle);
    if (a % 90 == 0) {
        outWidth = a % 180 == 0 ? width : height;
        outHeight = a % 180 == 0 ? height : width;
        return;
    }
    const SinCos sc = sinCosOf(a);
    const double c = std::fabs(sc.cos), s = std::fabs(sc.sin);
    // A hair below a whole number is that number, not the next one.
    outWidth = clampSide(std::ceil(width * c + height * s - 1e-9));
    outHeight = clampSide(std::ceil(width * s + height * c - 1e-9));
}

FrameSet::FrameSet(std::shared_ptr<const codec::Picture> picture, const FrameKey& key, uint32_t background)
    : source_(std::move(picture)), key_(key), background_(background) {
    if (!source_ || source_->width <= 0 || source_->height <= 0) return;
    turnedSize(source_->width, source_->height, key.angle, width_, height_);
    if (key.zoom != 1000) {
        width_ = scaledSide(width_, key.zoom);
        height_ = scaledSide(height_, key.zoom);
    }
    count_ = int(source_->frames.size());
}

const FrameImage& FrameSet::frame(int index) const {
    if (!built()) build();
    return frames_[size_t(index)];
}

void FrameSet::build() const {
    const std::vector<int64_t> indices = width_ > 0 && height_ > 0
                                             ? sourceIndices(*source_, key_, width_, height_)
                                             : std::vector<int64_t>{};
    frames_.reserve(size_t(count_));
    for (const codec::Frame& f : source_->frames)
        frames_.push_back(buildFrame(f, indices, key_.transparentColor, background_, width_, height_));
}

}  // namespace runtime::view
