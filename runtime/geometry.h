#pragma once

namespace runtime {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// Left/top plus extent, in pixels; an empty rectangle has no area.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;

    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool empty() const { return width <= 0 || height <= 0; }
};

}  // namespace runtime
