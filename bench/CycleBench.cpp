// One pinning cycle on a settled desktop (its pins up, nothing changing), and the bare
// enumeration that any window watcher makes, on the same fake world: the fake's own cost is in
// both, so the difference is what Clavora's logic adds.
#include "BenchWorld.h"

#include <benchmark/benchmark.h>

namespace {

void BM_PinningCycle(benchmark::State& state) {
    CBenchDesk desk(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        desk.panel.runCycle();
        benchmark::DoNotOptimize(desk.panel.m_windows.data());
    }
    state.counters["pinned"] = desk.pinned;
    state.counters["candidates"] = static_cast<double>(desk.panel.m_windows.size());
    state.SetComplexityN(state.range(0) + state.range(1));
}
BENCHMARK(BM_PinningCycle)
    ->Args({10, 5})
    ->Args({100, 50})
    ->Args({500, 200})
    ->Args({2000, 500})
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

// EnumWindows with a visibility and a title read per window, nothing else.
void BM_BareEnumeration(benchmark::State& state) {
    CFakeDesktop desktop;
    addBenchWindows(desktop, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::size_t titled = 0;
        for (const WinHandle h : desktop.topLevelWindows()) {
            if (desktop.isVisible(h) && !desktop.windowTitle(h, kTitleBufferBytes).empty()) ++titled;
        }
        benchmark::DoNotOptimize(titled);
    }
}
BENCHMARK(BM_BareEnumeration)->Arg(10)->Arg(100)->Arg(500)->Arg(2000)->Unit(benchmark::kMicrosecond);

}  // namespace
