#include "runtime/view/frame_set.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "runtime/view/direction.h"

namespace runtime::view {
namespace {

// Keeps sizes and their products far from int overflow, whatever the zoom.
constexpr int kMaxSide = 16384;

int clampSide(double v) {
    return int(std::clamp(v, 0.0, double(kMaxSide)));
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

FrameImage buildFrame(const codec::Frame& source, const std::vector<int64_t>& indices,
                      std::optional<uint32_t> transparentColor, int width, int height) {
    FrameImage out;
    out.width = width;
    out.height = height;
    out.pixels.assign(size_t(width) * height, 0);
    out.maskStride = (width + 63) / 64 + 1;
    out.mask.assign(size_t(out.maskStride) * height, 0);
    out.rowRuns.reserve(size_t(height) + 1);
    const size_t available = source.pixels.size();
    for (int v = 0; v < height; ++v) {
        out.rowRuns.push_back(uint32_t(out.runs.size()));
        uint64_t* maskRow = out.mask.data() + size_t(v) * out.maskStride;
        int runStart = -1;
        for (int u = 0; u <= width; ++u) {
            bool opaque = false;
            if (u < width) {
                const int64_t at = indices[size_t(v) * width + u];
                // A frame short of pixels has nothing there.
                if (at >= 0 && size_t(at) < available) {
                    const uint32_t p = source.pixels[size_t(at)];
                    const uint32_t rgb = p & 0xFFFFFF;
                    opaque = (p >> 24) != 0 && rgb != transparentColor;
                    if (opaque) {
                        out.pixels[size_t(v) * width + u] = rgb;
                        maskRow[u / 64] |= uint64_t(1) << (u % 64);
                    }
                }
            }
            if (opaque && runStart < 0) runStart = u;
            if (!opaque && runStart >= 0) {
                out.runs.push_back({runStart, u - runStart});
                runStart = -1;
            }
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

std::shared_ptr<const FrameSet> buildFrameSet(std::shared_ptr<const codec::Picture> picture,
                                              const FrameKey& key) {
    auto set = std::make_shared<FrameSet>();
    set->source = picture;
    if (!picture || picture->width <= 0 || picture->height <= 0) return set;
    int w = 0, h = 0;
    turnedSize(picture->width, picture->height, key.angle, w, h);
    if (key.zoom != 1000) {
        w = clampSide(std::round(w * (key.zoom / 1000.0)));
        h = clampSide(std::round(h * (key.zoom / 1000.0)));
    }
    set->width = w;
    set->height = h;
    const std::vector<int64_t> indices =
        w > 0 && h > 0 ? sourceIndices(*picture, key, w, h) : std::vector<int64_t>{};
    set->frames.reserve(picture->frames.size());
    for (const codec::Frame& frame : picture->frames)
        set->frames.push_back(buildFrame(frame, indices, key.transparentColor, w, h));
    return set;
}

}  // namespace runtime::view
