#pragma once
#include <cstdint>
#include <vector>

#include "tools/assetgen/geometry.h"

namespace assetgen {

// Coverage of a picture's pixels, kept as kSub × kSub samples per pixel so
// that shapes can be combined, grown and shrunk before they are painted.
class Mask {
public:
    static constexpr int kSub = 8;

    Mask(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    // Adds the inside of `path` (non-zero rule), in pixel coordinates.
    Mask& add(const Path& path);
    Mask& unite(const Mask& other);
    Mask& subtract(const Mask& other);
    Mask& intersect(const Mask& other);

    // Every sample within `radius` pixels of the shape, or the shape less
    // everything within `radius` of its outside.
    Mask grown(double radius) const;
    Mask shrunk(double radius) const;
    // Moved by whole samples, rounded from pixels.
    Mask shifted(double dx, double dy) const;

    // Share of the pixel's samples inside, 0..1.
    double coverage(int x, int y) const;
    bool empty() const;

private:
    std::vector<double> squaredDistanceToSet() const;

    int width_;
    int height_;
    int sw_;
    int sh_;
    std::vector<uint8_t> samples_;
};

}  // namespace assetgen
