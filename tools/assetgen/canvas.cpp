#include "tools/assetgen/canvas.h"

namespace assetgen {

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height) {}

void Canvas::paint(const Mask& mask, const Paint& paint, double opacity) {
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const double c = mask.coverage(x, y) * opacity;
            if (c <= 0) continue;
            const Colour src = paint({x + 0.5, y + 0.5});
            Pixel& p = pixels_[static_cast<std::size_t>(y) * width_ + x];
            p.colour = {src.r * c + p.colour.r * (1 - c), src.g * c + p.colour.g * (1 - c),
                        src.b * c + p.colour.b * (1 - c)};
            p.alpha = c + p.alpha * (1 - c);
        }
}

void Canvas::paint(const Mask& mask, Colour colour, double opacity) {
    paint(mask, [colour](Point) { return colour; }, opacity);
}

}  // namespace assetgen
