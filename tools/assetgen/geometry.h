#pragma once
#include <cmath>
#include <vector>

namespace assetgen {

struct Point {
    double x = 0;
    double y = 0;
};

inline Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
inline Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
inline Point operator*(Point a, double s) { return {a.x * s, a.y * s}; }

constexpr double kPi = 3.14159265358979323846;

// x' = a·x + c·y + e, y' = b·x + d·y + f. Pixel y grows downward, so a
// positive rotation turns clockwise on screen.
struct Affine {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

    Point apply(Point p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
    // This transform, then `next`.
    Affine then(const Affine& n) const {
        return {n.a * a + n.c * b, n.b * a + n.d * b, n.a * c + n.c * d,
                n.b * c + n.d * d, n.a * e + n.c * f + n.e, n.b * e + n.d * f + n.f};
    }
    static Affine translate(double dx, double dy) { return {1, 0, 0, 1, dx, dy}; }
    static Affine scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static Affine rotate(double degrees) {
        const double r = degrees * kPi / 180;
        return {std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0, 0};
    }
    // Leans the top to the right by `slope` pixels per pixel of height.
    static Affine shear(double slope) { return {1, 0, -slope, 1, 0, 0}; }
};

// Closed outlines of straight edges; curves are flattened as they are added.
// Filled with the non-zero rule, so holes run the other way round.
class Path {
public:
    void moveTo(Point p);
    void lineTo(Point p);
    void quadTo(Point control, Point p);
    void cubicTo(Point c1, Point c2, Point p);

    void append(const Path& other);
    Path transformed(const Affine& t) const;
    const std::vector<std::vector<Point>>& contours() const { return contours_; }

private:
    std::vector<std::vector<Point>> contours_;
};

Path polygon(const std::vector<Point>& points);
Path ellipse(Point centre, double rx, double ry);
inline Path circle(Point centre, double r) { return ellipse(centre, r, r); }
Path rectangle(double left, double top, double width, double height);
// A thick segment with round ends.
Path capsule(Point from, Point to, double width);

}  // namespace assetgen
