#pragma once
#include <cstdint>
#include <optional>

namespace runtime {

// A form timer: the period rules and its countdown on the run time's clock.
class TimerModel {
public:
    int period() const { return period_; }
    // Negative counts as 0; the same value changes nothing (a running
    // countdown goes on); any other value restarts the countdown now.
    void setPeriod(int ms, int64_t nowUs);
    std::optional<int64_t> due() const { return due_; }
    // Called when the countdown has run out: the next one starts now.
    void expired(int64_t nowUs);

private:
    int period_ = 0;
    std::optional<int64_t> due_;
};

}  // namespace runtime
