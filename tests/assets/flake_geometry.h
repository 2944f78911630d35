#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

namespace asset_test {

// Which pixels of a square picture belong to the flake.
using Shape = std::vector<bool>;

// `shape` turned `degrees` clockwise about the picture's centre, nearest pixel.
inline Shape turned(const Shape& shape, int size, double degrees) {
    const double a = degrees * 3.14159265358979323846 / 180, c = size / 2.0;
    Shape out(shape.size(), false);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // With y downward a clockwise turn is the usual rotation; undo it to find the source.
            const double dx = x + 0.5 - c, dy = y + 0.5 - c;
            const int sx = static_cast<int>(std::floor(c + dx * std::cos(a) + dy * std::sin(a)));
            const int sy = static_cast<int>(std::floor(c - dx * std::sin(a) + dy * std::cos(a)));
            if (sx >= 0 && sx < size && sy >= 0 && sy < size) out[y * size + x] = shape[sy * size + sx];
        }
    return out;
}

// Shared pixels over the pixels of either: 1 for the same shape.
inline double overlap(const Shape& a, const Shape& b) {
    int both = 0, either = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        both += a[i] && b[i];
        either += a[i] || b[i];
    }
    return either ? static_cast<double>(both) / either : 1;
}

}  // namespace asset_test
