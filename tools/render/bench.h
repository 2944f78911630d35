#pragma once
// render --bench: plays the program on the sim back-end as fast as it can,
// composing and presenting as the real back-end would but writing no
// picture, and reports the CPU time per simulated second.
#include <cstdint>

namespace render {

struct BenchOptions {
    int width = 1024, height = 768;
    double from = 0;      // simulated seconds before measuring
    double seconds = 10;  // simulated seconds measured
    uint32_t seed = 1;
    bool fullRedraw = false;   // only the baseline
};

// Prints the figures; with fullRedraw off, beside the full-redraw baseline
// of the same run and their ratio. Returns the process exit code.
int runBench(const BenchOptions& options);

}  // namespace render
