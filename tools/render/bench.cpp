#include "tools/render/bench.h"

#include <malloc.h>

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "app/entry.h"
#include "platform/sim/sim_platform.h"
#include "runtime/running_view.h"

namespace render {
namespace {

// What the program and the sim were at one moment of the run.
struct Reading {
    double cpuSeconds = 0;
    runtime::view::View::Stats view;
    std::size_t presented = 0;
    int objects = 0;
    std::size_t viewBytes = 0;
    std::size_t heapBytes = 0;
    std::size_t simCalls = 0;
    std::size_t simCallBytes = 0;   // the sim's record of calls, which grows with time
};

// Heap bytes a block takes, as mallinfo2 counts them: its usable size and header.
std::size_t blockBytes(const void* block) {
    return malloc_usable_size(const_cast<void*>(block)) + sizeof(std::size_t);
}

std::size_t stringBytes(const std::string& s) {
    return s.capacity() > std::string().capacity() ? blockBytes(s.data()) : 0;
}

std::size_t recordBytes(const std::vector<platform::sim::Call>& calls) {
    std::size_t bytes = calls.empty() ? 0 : blockBytes(calls.data());
    for (const platform::sim::Call& c : calls) bytes += stringBytes(c.what) + stringBytes(c.detail);
    return bytes;
}

Reading read(const platform::sim::SimPlatform& sim) {
    runtime::view::View& view = runtime::runningView();
    // Big blocks are mapped apart from the heap's arena: both count.
    const struct mallinfo2 heap = mallinfo2();
    return {double(std::clock()) / CLOCKS_PER_SEC, view.stats(), sim.presentedPixels(), view.objectCount(),
            view.heldBytes(), heap.uordblks + heap.hblkhd, sim.calls().size(), recordBytes(sim.calls())};
}

struct Measured {
    Reading start, end;
    double simSeconds = 0;
    double cpuPerSimSecond() const { return (end.cpuSeconds - start.cpuSeconds) / simSeconds; }
    double perStep(int64_t a, int64_t b) const {
        const int64_t steps = end.view.steps - start.view.steps;
        return steps ? double(b - a) / double(steps) : 0;
    }
};

std::optional<Measured> measure(const BenchOptions& o, bool fullRedraw) {
    // A stock Windows timer's granularity, so the run paces like the real one.
    platform::sim::SimPlatform sim({.screen = {o.width, o.height},
                                    .tickCountStart = o.seed,
                                    .wakeGranularityUs = 15625,
                                    .recordOperations = false});
    const auto start = static_cast<int64_t>(o.from * 1e6);
    const auto end = start + static_cast<int64_t>(o.seconds * 1e6);
    Measured m;
    bool started = false, ended = false;
    // The runs are alike up to `from`; only then does the baseline redraw all.
    sim.at(start, [&] {
        runtime::runningView().setFullRedraw(fullRedraw);
        m.start = read(sim);
        started = true;
    });
    sim.at(end, [&] {
        m.end = read(sim);
        ended = true;
    });
    sim.run(app::entryRoutine, end);
    if (!started || !ended) return std::nullopt;
    m.simSeconds = o.seconds;
    return m;
}

void printRow(const char* what, const char* format, double a, std::optional<double> b,
              std::optional<double> ratio = std::nullopt) {
    std::printf("  %-28s", what);
    std::printf(format, a);
    if (b) std::printf(format, *b);
    if (ratio) std::printf("   %.1fx", *ratio);
    std::printf("\n");
}

}  // namespace

int runBench(const BenchOptions& o) {
    const std::optional<Measured> main = measure(o, o.fullRedraw);
    const std::optional<Measured> base = o.fullRedraw ? std::nullopt : measure(o, true);
    if (!main || (!o.fullRedraw && !base)) {
        std::fprintf(stderr, "render: the program ended before the measured time was over\n");
        return 1;
    }
    const Measured& m = *main;
    std::printf("render --bench: %dx%d, seed %u, %.0f s simulated after %.0f s\n", o.width, o.height, o.seed,
                o.seconds, o.from);
    std::printf("  %-28s%14s%14s\n", "", o.fullRedraw ? "full redraw" : "dirty rects", base ? "full redraw" : "");
    auto other = [&](auto f) { return base ? std::optional<double>(f(*base)) : std::nullopt; };
    const double cpu = m.cpuPerSimSecond();
    printRow("CPU ms per simulated second", "%14.2f", cpu * 1e3, other([](const Measured& b) { return b.cpuPerSimSecond() * 1e3; }),
             base ? std::optional<double>(base->cpuPerSimSecond() / cpu) : std::nullopt);
    printRow("share of one core, %", "%14.3f", cpu * 100, other([](const Measured& b) { return b.cpuPerSimSecond() * 100; }));
    auto steps = [](const Measured& x) { return double(x.end.view.steps - x.start.view.steps); };
    printRow("view steps", "%14.0f", steps(m), other(steps));
    auto composited = [](const Measured& x) {
        return x.perStep(x.start.view.pixelsComposited, x.end.view.pixelsComposited);
    };
    auto minimum = [](const Measured& x) { return x.perStep(x.start.view.pixelsChanged, x.end.view.pixelsChanged); };
    auto presented = [](const Measured& x) {
        return x.perStep(int64_t(x.start.presented), int64_t(x.end.presented));
    };
    auto rects = [](const Measured& x) {
        return x.perStep(x.start.view.rectsInvalidated, x.end.view.rectsInvalidated);
    };
    printRow("pixels composited per step", "%14.0f", composited(m), other(composited));
    printRow("pixels of the minimum", "%14.0f", minimum(m), other(minimum));
    printRow("  composited / minimum", "%14.3f", composited(m) / minimum(m),
             other([&](const Measured& b) { return composited(b) / minimum(b); }));
    printRow("pixels presented per step", "%14.0f", presented(m), other(presented));
    printRow("rectangles per step", "%14.1f", rects(m), other(rects));
    printRow("frame sets built", "%14.0f", double(m.end.view.frameSetsBuilt - m.start.view.frameSetsBuilt),
             other([](const Measured& b) { return double(b.end.view.frameSetsBuilt - b.start.view.frameSetsBuilt); }));
    std::printf("  %-28s%14s%14s\n", "", "start", "end");
    printRow("view objects", "%14.0f", m.start.objects, double(m.end.objects));
    printRow("view held, KiB", "%14.1f", m.start.viewBytes / 1024.0, m.end.viewBytes / 1024.0);
    printRow("heap in use, KiB", "%14.1f", m.start.heapBytes / 1024.0, m.end.heapBytes / 1024.0);
    printRow("sim calls recorded", "%14.0f", double(m.start.simCalls), double(m.end.simCalls));
    printRow("  their heap, KiB", "%14.1f", m.start.simCallBytes / 1024.0, m.end.simCallBytes / 1024.0);
    printRow("heap less that record, KiB", "%14.1f", (m.start.heapBytes - m.start.simCallBytes) / 1024.0,
             (m.end.heapBytes - m.end.simCallBytes) / 1024.0);
    return 0;
}

}  // namespace render
