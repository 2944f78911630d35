#include <gtest/gtest.h>

#include "runtime/timer_model.h"

namespace {

using runtime::TimerModel;

struct PeriodCase {
    const char* name;
    int first;            // written at t = 0
    int second;           // written at t = 300 ms
    int period;           // what the timer then holds
    std::optional<int64_t> due;
};

void PrintTo(const PeriodCase& c, std::ostream* os) { *os << c.name; }

class PeriodRules : public testing::TestWithParam<PeriodCase> {};

TEST_P(PeriodRules, FollowTheWrite) {
    const PeriodCase& c = GetParam();
    TimerModel t;
    t.setPeriod(c.first, 0);
    t.setPeriod(c.second, 300'000);
    EXPECT_EQ(t.period(), c.period);
    EXPECT_EQ(t.due(), c.due);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, PeriodRules,
    testing::Values(PeriodCase{"sameValueKeepsCountdown", 500, 500, 500, 500'000},
                    PeriodCase{"newValueRestartsNow", 500, 700, 700, 1'000'000},
                    PeriodCase{"zeroStops", 500, 0, 0, std::nullopt},
                    PeriodCase{"negativeCountsAsZero", 500, -5, 0, std::nullopt},
                    PeriodCase{"negativeOnStoppedDoesNothing", 0, -1, 0, std::nullopt},
                    PeriodCase{"startFromStopped", 0, 1, 1, 301'000}),
    [](const auto& info) { return info.param.name; });

TEST(TimerModel, ExpiryStartsTheNextCountdown) {
    TimerModel t;
    t.setPeriod(500, 0);
    t.expired(510'000);
    EXPECT_EQ(t.due(), 1'010'000);
    t.setPeriod(0, 600'000);
    t.expired(700'000);
    EXPECT_FALSE(t.due());
}

}  // namespace
