// The engine on 100-equation circuits: one build-and-solve (every element's
// sensitivity included), and a whole 1000-segment sweep with sensitivities
// and deviations, as the plot and the command-line twin run it.
#include <benchmark/benchmark.h>

#include "analysis/engine/sweep.h"
#include "bench/ladder_circuits.h"
#include "bench/prepared_circuit.h"

namespace {

using Prepared = bench::PreparedCircuit;

std::string netlist_of(int which) {
    return which == 0 ? bench::rc_ladder_netlist() : bench::active_ladder_netlist();
}

void BM_BuildAndSolve(benchmark::State& state) {
    Prepared p(netlist_of(static_cast<int>(state.range(0))), 100, 1000);
    p.e->normalised_sensitivities = true;
    p.e->omega = 6283.185307179586L;
    for (auto _ : state) {
        analysis::build_and_solve(*p.c, *p.e, p.s.pivot_tolerance);
        benchmark::DoNotOptimize(p.e->sens_re.get());
    }
    state.SetLabel(state.range(0) == 0 ? "RC ladder, 199 elements" : "active ladder, 248 elements");
}
BENCHMARK(BM_BuildAndSolve)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_FullSweep1000(benchmark::State& state) {
    Prepared p(netlist_of(static_cast<int>(state.range(0))), 100, 1000);
    for (auto _ : state) {
        analysis::reset_sweep(*p.c, *p.e, *p.sw, p.log);
        analysis::sweep(*p.c, *p.e, *p.sw, p.s, p.log);
        benchmark::DoNotOptimize(p.sw->points[1000].module_dev);
    }
    const double bytes = 2.0 * p.e->block_size * p.e->block_count * sizeof(suite::Real);
    state.counters["sens_MB"] = bytes / 1e6;
    state.SetLabel(state.range(0) == 0 ? "RC ladder" : "active ladder");
}
BENCHMARK(BM_FullSweep1000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
