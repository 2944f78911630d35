#pragma once
#include <cstdint>

namespace snow {

// 时钟1: retires the next slot's flake and starts a new one.
void 时钟1_周期事件();
// 时钟2: a gust turns about a quarter of the tracked flakes.
void 时钟2_周期事件();
// The card swallows the flake that touched it.
void 动画框桌面_碰撞到物体(int32_t mover, int32_t left, int32_t top, int32_t other);

}  // namespace snow
