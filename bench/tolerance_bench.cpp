// Tolerance design on 100-equation ladders swept at 401 points from 1 Hz
// to 10 kHz, against a mask of 400 points (one range per point, each a
// window of ±2.5 first-order deviations around the nominal module, so that
// every point takes part):
//   - the first-order yield with 10^5 samples of the linear model (target:
//     under 1 s), the linear model built from the sweep's sensitivities
//     included;
//   - the search for the cheapest standard tolerances reaching a yield of
//     99 % (target: under 2 s), over the ladders' 198 and 247 elements.
// The nominal sweep is done before the timing.
#include <benchmark/benchmark.h>

#include <cmath>

#include "analysis/tolerance/mask.h"
#include "analysis/tolerance/tightening.h"
#include "analysis/tolerance/yield.h"
#include "bench/ladder_circuits.h"
#include "bench/prepared_circuit.h"

namespace {

struct Masked {
    bench::PreparedCircuit p;
    analysis::ResponseMask mask;
    Masked(int ladder, analysis::Real width)
        : p(ladder == 0 ? bench::rc_ladder_netlist() : bench::active_ladder_netlist(), 100, 400) {
        analysis::sweep(*p.c, *p.e, *p.sw, p.s, p.log);
        mask.hertz = true;
        std::vector<analysis::MaskConstraint> all;
        for (int q = 1; q <= 400; ++q) all.push_back({q, analysis::MaskQuantity::module, -1e9L, 1e9L, q});
        const analysis::LinearModel wide = analysis::linear_model(*p.c, *p.e, *p.sw, all);
        const std::vector<analysis::Real> sigma = analysis::constraint_sigmas(wide, p.c->variability);
        for (int q = 1; q <= 400; ++q) {
            const analysis::Real f = p.sw->points[q].frequency, m = p.sw->points[q].module;
            const analysis::Real d = width * sigma[static_cast<std::size_t>(q - 1)];
            mask.ranges.push_back({analysis::MaskQuantity::module, f, f, true, true, m - d, m + d, q});
        }
    }
};

const char* label(int ladder) {
    return ladder == 0 ? "RC ladder, 198 elements" : "active ladder, 247 elements";
}

void BM_FirstOrderYield(benchmark::State& state) {
    const int ladder = static_cast<int>(state.range(0));
    Masked m(ladder, 2.5L);
    analysis::YieldEstimate y;
    for (auto _ : state) {
        const analysis::LinearModel model = analysis::linear_model(
            *m.p.c, *m.p.e, *m.p.sw, analysis::mask_constraints(m.mask, *m.p.sw, m.p.c->segments));
        if (model.constraints.size() != 400) state.SkipWithError("the mask does not cover 400 points");
        y = analysis::first_order_yield(model, m.p.c->variability, 100000, 1);
        benchmark::DoNotOptimize(y.passed);
    }
    state.counters["yield_percent"] = static_cast<double>(100 * y.fraction);
    state.SetLabel(label(ladder));
}
BENCHMARK(BM_FirstOrderYield)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Tightening(benchmark::State& state) {
    const int ladder = static_cast<int>(state.range(0));
    Masked m(ladder, 2.5L);
    const analysis::LinearModel model = analysis::linear_model(
        *m.p.c, *m.p.e, *m.p.sw, analysis::mask_constraints(m.mask, *m.p.sw, m.p.c->segments));
    analysis::ToleranceAssignment t;
    for (auto _ : state) {
        t = analysis::tighten_tolerances(*m.p.c, model, 0.99L, 100000, 1);
        if (!t.reached) state.SkipWithError("the target was not reached");
        benchmark::DoNotOptimize(t.cost);
    }
    state.counters["cost"] = t.cost;
    state.counters["yields_sampled"] = t.yield_evaluations;
    state.counters["yield_percent"] = static_cast<double>(100 * t.first_order.fraction);
    state.SetLabel(label(ladder));
}
BENCHMARK(BM_Tightening)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
