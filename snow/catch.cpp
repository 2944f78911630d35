#include "app/state.h"
#include "form/main_form.h"
#include "snow/snow.h"

namespace snow {

void 动画框桌面_碰撞到物体(int32_t mover, int32_t /*left*/, int32_t /*top*/, int32_t other) {
    if (other == app::cardObject) form::动画框桌面.destroyObject(mover);
}

}  // namespace snow
