#include "runtime/timer_model.h"

namespace runtime {

void TimerModel::setPeriod(int ms, int64_t nowUs) {
    if (ms < 0) ms = 0;
    if (ms == period_) return;
    period_ = ms;
    due_.reset();
    if (ms > 0) due_ = nowUs + static_cast<int64_t>(ms) * 1000;
}

void TimerModel::expired(int64_t nowUs) {
    if (period_ > 0) due_ = nowUs + static_cast<int64_t>(period_) * 1000;
    else due_.reset();
}

}  // namespace runtime
