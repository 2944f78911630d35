#include "tools/assetgen/geometry.h"

namespace assetgen {
namespace {

constexpr int kCurveSteps = 16;
constexpr int kEllipseSteps = 96;

}  // namespace

void Path::moveTo(Point p) { contours_.push_back({p}); }

void Path::lineTo(Point p) {
    if (contours_.empty()) contours_.push_back({});
    contours_.back().push_back(p);
}

void Path::quadTo(Point control, Point p) {
    const Point start = contours_.back().back();
    for (int i = 1; i <= kCurveSteps; ++i) {
        const double t = static_cast<double>(i) / kCurveSteps, u = 1 - t;
        lineTo(start * (u * u) + control * (2 * u * t) + p * (t * t));
    }
}

void Path::cubicTo(Point c1, Point c2, Point p) {
    const Point start = contours_.back().back();
    for (int i = 1; i <= kCurveSteps; ++i) {
        const double t = static_cast<double>(i) / kCurveSteps, u = 1 - t;
        lineTo(start * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) + p * (t * t * t));
    }
}

void Path::append(const Path& other) {
    contours_.insert(contours_.end(), other.contours_.begin(), other.contours_.end());
}

Path Path::transformed(const Affine& t) const {
    Path out;
    for (const auto& contour : contours_) {
        out.contours_.emplace_back();
        for (Point p : contour) out.contours_.back().push_back(t.apply(p));
    }
    return out;
}

Path polygon(const std::vector<Point>& points) {
    Path path;
    path.moveTo(points.front());
    for (std::size_t i = 1; i < points.size(); ++i) path.lineTo(points[i]);
    return path;
}

Path ellipse(Point centre, double rx, double ry) {
    std::vector<Point> points;
    for (int i = 0; i < kEllipseSteps; ++i) {
        const double a = 2 * kPi * i / kEllipseSteps;
        points.push_back({centre.x + rx * std::cos(a), centre.y + ry * std::sin(a)});
    }
    return polygon(points);
}

Path rectangle(double left, double top, double width, double height) {
    return polygon({{left, top}, {left + width, top}, {left + width, top + height}, {left, top + height}});
}

Path capsule(Point from, Point to, double width) {
    const Point d = to - from;
    const double length = std::hypot(d.x, d.y);
    const double r = width / 2;
    const Point n = length > 0 ? Point{-d.y / length * r, d.x / length * r} : Point{0, r};
    const double base = std::atan2(n.y, n.x);
    std::vector<Point> points;
    constexpr int kHalf = kEllipseSteps / 2;
    for (int i = 0; i <= kHalf; ++i) {  // round end at `to`, then at `from`
        const double a = base - kPi * i / kHalf;
        points.push_back({to.x + r * std::cos(a), to.y + r * std::sin(a)});
    }
    for (int i = 0; i <= kHalf; ++i) {
        const double a = base + kPi - kPi * i / kHalf;
        points.push_back({from.x + r * std::cos(a), from.y + r * std::sin(a)});
    }
    return polygon(points);
}

}  // namespace assetgen
