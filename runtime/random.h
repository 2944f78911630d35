#pragma once
#include <cstdint>

namespace runtime {

// PCG32 (XSH RR): small, fast, and the same sequence on every platform.
class Random {
public:
    void seed(uint64_t seed);
    uint32_t next();
    // Uniform over [low, high] inclusive, without modulo bias.
    int32_t between(int32_t low, int32_t high);

private:
    uint64_t state_ = 0x853c49e6748fea9bULL;
    // Stream 54 of the reference generator, so its published outputs check ours.
    static constexpr uint64_t kIncrement = (54u << 1) | 1u;
};

// The seed for a seeding "from the clock": the tick count mixed with a
// counter that differs between seedings, so two seedings in the same
// millisecond still differ.
uint64_t clockSeed(uint32_t tickCountMillis, uint32_t seeding);

}  // namespace runtime
