#pragma once
#include <functional>
#include <vector>

#include "tools/assetgen/mask.h"

namespace assetgen {

// 0..255 per channel, as real numbers until the end.
struct Colour {
    double r = 0, g = 0, b = 0;
};

inline Colour scaled(Colour c, double s) { return {c.r * s, c.g * s, c.b * s}; }
inline Colour plus(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Colour mix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A colour for each pixel centre, for gradients and shading.
using Paint = std::function<Colour(Point)>;

// A picture being painted: premultiplied colour and coverage per pixel,
// over nothing.
class Canvas {
public:
    struct Pixel {
        Colour colour;  // premultiplied by alpha
        double alpha = 0;
    };

    Canvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    void paint(const Mask& mask, const Paint& paint, double opacity = 1);
    void paint(const Mask& mask, Colour colour, double opacity = 1);

    const Pixel& at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

private:
    int width_;
    int height_;
    std::vector<Pixel> pixels_;
};

}  // namespace assetgen
