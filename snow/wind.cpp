#include "app/state.h"
#include "form/main_form.h"
#include "runtime/operations.h"
#include "snow/snow.h"

namespace snow {

void 时钟2_周期事件() {
    using namespace form;
    时钟2.setPeriod(0);
    // One gust in four blows to the right.
    const int angle = runtime::randomInt(1, 4) == 1 ? runtime::randomInt(135, 170)
                                                    : runtime::randomInt(190, 220);
    for (int32_t i = 1, n = app::flakeCursor; i <= n; ++i)
        if (runtime::randomInt(1, 4) == 1) 动画框桌面.setDirection(app::flakeSlots.at(i), angle);
    时钟2.setPeriod(700);
}

}  // namespace snow
