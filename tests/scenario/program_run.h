#pragma once
// Runs the whole program on the sim back-end and reads what it did.
#include <string>
#include <vector>

#include "app/entry.h"
#include "platform/sim/sim_platform.h"

namespace scenario {

constexpr int64_t kSecond = 1'000'000;

inline std::vector<std::string> events(const platform::sim::SimPlatform& sim) {
    std::vector<std::string> out;
    for (const auto& c : sim.callsNamed("event")) out.push_back(c.detail);
    return out;
}

// Index of the first call named `what` (with `detail`, if given), or -1.
inline int firstCall(const platform::sim::SimPlatform& sim, const std::string& what, const std::string& detail = {}) {
    const auto& calls = sim.calls();
    for (std::size_t i = 0; i < calls.size(); ++i)
        if (calls[i].what == what && (detail.empty() || calls[i].detail == detail)) return static_cast<int>(i);
    return -1;
}

inline int countCalls(const platform::sim::SimPlatform& sim, const std::string& what, const std::string& detail = {}) {
    int n = 0;
    for (const auto& c : sim.calls()) n += c.what == what && (detail.empty() || c.detail == detail);
    return n;
}

}  // namespace scenario
