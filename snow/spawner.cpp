#include "app/state.h"
#include "form/main_form.h"
#include "runtime/operations.h"
#include "snow/snow.h"

namespace snow {

void 时钟1_周期事件() {
    using namespace form;
    using app::flakeCursor;
    using app::flakeSlots;
    时钟1.setPeriod(0);
    动画物体雪花.setZoom(runtime::randomInt(150, 500));
    const int step = runtime::randomInt(1, 2);
    flakeCursor = flakeCursor + 1;
    if (flakeCursor == flakeSlots.count()) flakeCursor = 1;
    const int32_t old = flakeSlots.at(flakeCursor);
    if (动画框桌面.objectExists(old)) {
        动画框桌面.stopForwardMotion(old);
        动画框桌面.destroyObject(old);
    }
    const int x = runtime::randomInt(1, runtime::screenWidth());
    flakeSlots.at(flakeCursor) = 动画框桌面.createObject(动画物体雪花, x, -50);
    动画框桌面.startForwardMotion(flakeSlots.at(flakeCursor), step, 1, 2000, true);
    时钟1.setPeriod(500);
}

}  // namespace snow
