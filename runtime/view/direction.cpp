#include "runtime/view/direction.h"

#include <cmath>
#include <numbers>

namespace runtime::view {

int normalizeAngle(int angle) {
    const int a = angle % 360;
    return a < 0 ? a + 360 : a;
}

SinCos sinCosOf(int angle) {
    switch (normalizeAngle(angle)) {
    case 0: return {0, 1};
    case 90: return {1, 0};
    case 180: return {0, -1};
    case 270: return {-1, 0};
    default: {
        const double r = normalizeAngle(angle) * std::numbers::pi / 180.0;
        return {std::sin(r), std::cos(r)};
    }
    }
}

}  // namespace runtime::view
