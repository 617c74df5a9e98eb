// The engine on 100-equation circuits: one build-and-solve (every element's
// sensitivity included), and a whole 1000-segment sweep with sensitivities
// and deviations, as the plot and the command-line twin run it; the same
// sweep with the noise of every resistor and op-amp computed at each point
// (target: at most 20 % more), on the ladders and on the active ladder
// with ideal op-amps (whose input noise weighs every element at the input).
#include <benchmark/benchmark.h>

#include "analysis/engine/sweep.h"
#include "bench/ladder_circuits.h"
#include "bench/prepared_circuit.h"

namespace {

using Prepared = bench::PreparedCircuit;

std::string netlist_of(int which) {
    if (which == 0) return bench::rc_ladder_netlist();
    std::string s = bench::active_ladder_netlist();
    if (which == 2) {  // ideal op-amps: "A<k> sum 0 out 1E7 75" -> "O<k> sum 0 out"
        std::string out;
        for (std::size_t start = 0; start < s.size();) {
            std::size_t end = s.find('\n', start);
            std::string line = s.substr(start, end - start);
            if (line[0] == 'A') line = "O" + line.substr(1, line.rfind(" 1E7") - 1);
            out += line + "\n";
            start = end + 1;
        }
        s = out;
    }
    return s;
}

const char* label_of(int which) {
    return which == 0 ? "RC ladder" : which == 1 ? "active ladder" : "active ladder, ideal op-amps";
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
    state.SetLabel(label_of(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_FullSweep1000)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_FullSweepWithNoise1000(benchmark::State& state) {
    Prepared p(netlist_of(static_cast<int>(state.range(0))), 100, 1000);
    p.s.noise = {.on = true, .opamps = {10e-9L, 1e-12L}};
    analysis::prepare_noise(*p.c, *p.sw, p.s.noise);
    for (auto _ : state) {
        analysis::reset_sweep(*p.c, *p.e, *p.sw, p.log);
        analysis::sweep(*p.c, *p.e, *p.sw, p.s, p.log);
        benchmark::DoNotOptimize(p.sw->points[1000].noise);
    }
    state.counters["sources"] = static_cast<double>(p.sw->noise_sources.size());
    state.SetLabel(label_of(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_FullSweepWithNoise1000)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
