// The Monte Carlo run on a 100-equation circuit: N = 1000 circuits at the
// 401 points of a 400-segment sweep, one factorisation per circuit and
// point (target: under 10 s). The nominal sweep is done before the timing.
#include <benchmark/benchmark.h>

#include "analysis/engine/montecarlo.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"
#include "bench/ladder_circuits.h"
#include "bench/prepared_circuit.h"

namespace {

void BM_MonteCarlo(benchmark::State& state) {
    bench::PreparedCircuit p(
        state.range(0) == 0 ? bench::rc_ladder_netlist() : bench::active_ladder_netlist(), 100, 400);
    analysis::sweep(*p.c, *p.e, *p.sw, p.s, p.log);
    const int samples = static_cast<int>(state.range(1));
    for (auto _ : state) {
        const analysis::MonteCarloResult r = analysis::monte_carlo(*p.c, *p.e, *p.sw, p.s, samples, 1);
        benchmark::DoNotOptimize(r.module_sd.data());
        if (r.accepted != samples) state.SkipWithError("rejected circuits");
    }
    state.counters["solves_per_s"] =
        benchmark::Counter(static_cast<double>(samples) * 401, benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(state.range(0) == 0 ? "RC ladder, 1000 x 401 points" : "active ladder, 1000 x 401 points");
}
BENCHMARK(BM_MonteCarlo)
    ->Args({0, 1000})
    ->Args({1, 1000})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
