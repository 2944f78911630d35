#pragma once
// Directions are degrees clockwise from straight up; view y grows downward.

namespace runtime::view {

int normalizeAngle(int angle);  // 0..359

struct SinCos {
    double sin = 0;
    double cos = 1;
};
// Exact at multiples of 90 degrees, so straight motion never drifts.
SinCos sinCosOf(int angle);

}  // namespace runtime::view
