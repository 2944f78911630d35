#include "tools/assetgen/snowflake_shape.h"

#include <vector>

namespace assetgen {
namespace {

// A side branch pair: where it leaves the arm, how long it is, and how far
// it leans out from the arm towards the tip.
struct Branch {
    double at;
    double length;
    double degrees;
};

constexpr Branch kBranches[] = {{0.40, 0.30, 55}, {0.66, 0.22, 50}};

Point along(double degrees, double r) {
    const double a = degrees * kPi / 180;
    return {r * std::sin(a), -r * std::cos(a)};
}

}  // namespace

Mask snowflakeMask(int size, double degrees, const FlakeStyle& style) {
    const double radius = size / 2.0;
    const Affine place = Affine::rotate(degrees).then(Affine::scale(radius, radius))
                             .then(Affine::translate(radius, radius));
    Mask mask(size, size);
    const auto add = [&](const Path& unit) { mask.add(unit.transformed(place)); };

    for (int arm = 0; arm < 6; ++arm) {
        const double heading = arm * 60.0;
        // The round end of the arm just reaches the edge.
        add(capsule({0, 0}, along(heading, 1 - style.armWidth / 2), style.armWidth));
        for (const Branch& b : kBranches) {
            const Point root = along(heading, b.at);
            for (int side : {-1, 1})
                add(capsule(root, root + along(heading + side * b.degrees, b.length), style.branchWidth));
        }
    }
    std::vector<Point> corners;
    for (int i = 0; i < 6; ++i) corners.push_back(along(i * 60.0, style.hexagonRadius));
    add(polygon(corners));

    if (style.holes) {
        Mask holes(size, size);
        const double holeRadius = style.hexagonRadius * 0.16;
        holes.add(circle({0, 0}, holeRadius).transformed(place));
        for (int i = 0; i < 6; ++i)
            holes.add(circle(along(30 + i * 60.0, style.hexagonRadius * 0.52), holeRadius).transformed(place));
        mask.subtract(holes);
    }
    return mask;
}

}  // namespace assetgen
