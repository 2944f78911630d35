// One view step of the program's snowfall, compositing included, at three
// screen sizes; the same with every step redrawn in full; a gust step and a
// spawner step. Counters per step: the pixels composited, and the minimum
// (the area of the changed objects' old and new pictures).
#include <benchmark/benchmark.h>

#include "bench/view_scene.h"

namespace {

using bench::ViewScene;
using runtime::view::View;

// Steps before the flakes are placed anew, so they stay on the screen.
constexpr int kStepsPerScene = 128;

template <class Change>
void runSteps(benchmark::State& state, bool fullRedraw, Change change) {
    ViewScene scene({int(state.range(0)), int(state.range(1))}, 20241224);
    scene.view().setFullRedraw(fullRedraw);
    int64_t composited = 0, changed = 0, built = 0;
    for (auto _ : state) {
        if (scene.stepsSinceReset() == kStepsPerScene) {
            state.PauseTiming();
            scene.reset();
            state.ResumeTiming();
        }
        const View::Stats before = scene.view().stats();
        change(scene);
        scene.step();
        const View::Stats after = scene.view().stats();
        composited += after.pixelsComposited - before.pixelsComposited;
        changed += after.pixelsChanged - before.pixelsChanged;
        built += after.frameSetsBuilt - before.frameSetsBuilt;
    }
    using benchmark::Counter;
    state.counters["composited"] = Counter(double(composited), Counter::kAvgIterations);
    state.counters["minimum"] = Counter(double(changed), Counter::kAvgIterations);
    state.counters["ratio"] = changed ? double(composited) / double(changed) : 0;
    state.counters["builds"] = Counter(double(built), Counter::kAvgIterations);
}

void BM_Step(benchmark::State& state) {
    runSteps(state, false, [](ViewScene&) {});
}

void BM_StepFullRedraw(benchmark::State& state) {
    runSteps(state, true, [](ViewScene&) {});
}

void BM_GustStep(benchmark::State& state) {
    runSteps(state, false, [](ViewScene& s) { s.gust(); });
}

void BM_SpawnStep(benchmark::State& state) {
    runSteps(state, false, [](ViewScene& s) { s.spawn(); });
}

void screens(benchmark::internal::Benchmark* b) {
    b->ArgNames({"w", "h"})->Args({1024, 768})->Args({1920, 1080})->Args({3840, 2160});
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Step)->Apply(screens);
BENCHMARK(BM_StepFullRedraw)->Apply(screens);
BENCHMARK(BM_GustStep)->Apply(screens);
BENCHMARK(BM_SpawnStep)->Apply(screens);

}  // namespace

BENCHMARK_MAIN();
