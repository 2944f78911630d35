#include "runtime/random.h"

namespace runtime {

void Random::seed(uint64_t seed) {
    state_ = 0;
    next();
    state_ += seed;
    next();
}

uint32_t Random::next() {
    const uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + kIncrement;
    const auto xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rot = static_cast<uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

int32_t Random::between(int32_t low, int32_t high) {
    if (high < low) return low;
    const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(high) - low) + 1;
    if (span > 0xFFFFFFFFULL) return static_cast<int32_t>(next());  // the whole 32-bit range
    // Lemire's multiply-shift with rejection of the short first bucket.
    const auto range = static_cast<uint32_t>(span);
    uint64_t product = static_cast<uint64_t>(next()) * range;
    auto low32 = static_cast<uint32_t>(product);
    if (low32 < range) {
        const uint32_t threshold = (0u - range) % range;
        while (low32 < threshold) {
            product = static_cast<uint64_t>(next()) * range;
            low32 = static_cast<uint32_t>(product);
        }
    }
    return static_cast<int32_t>(static_cast<int64_t>(low) + static_cast<int64_t>(product >> 32));
}

uint64_t clockSeed(uint32_t tickCountMillis, uint32_t seeding) {
    // splitmix64 of the pair spreads nearby tick counts over the state.
    uint64_t z = (static_cast<uint64_t>(seeding) << 32 | tickCountMillis) + 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

}  // namespace runtime
