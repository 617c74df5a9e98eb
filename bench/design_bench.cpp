// Filter design from a mask, timed whole: the design of one approximation
// at its order (sections, topologies compared by the engine, standard
// values with the neighbour search), the drawing, the nominal check
// against the mask and the first-order yield (10^5 samples) of the parts'
// tolerances over a 400-segment sweep:
//   - a 10th-order elliptic band-pass (target: under 1 s);
//   - a 6th-order low-pass (target: under 0.2 s);
// and the whole choice among the five approximations for each mask.
#include <benchmark/benchmark.h>

#include "analysis/design/design.h"
#include "analysis/design/drawing.h"
#include "analysis/design/engine_check.h"
#include "analysis/tolerance/yield.h"

namespace {

using namespace analysis::design;

analysis::ResponseMask mask_of(const std::vector<std::string>& lines) {
    return analysis::parse_mask(lines, "bench.msk").mask;
}

const std::vector<std::string> band_pass = {"unidade Hz", "modulo 50 500 - -50", "modulo 800 1250 -1 0",
                                            "modulo 2000 20000 - -50"};
const std::vector<std::string> low_pass = {"unidade Hz", "modulo 10 1000 -1 0", "modulo 2500 20000 - -35"};

// The design of `a` at prototype order n, drawn, checked and its yield taken.
void design_drawn_checked(const analysis::ResponseMask& mask, Approximation a, int n,
                          benchmark::State& state) {
    const Requirement r = requirement_from_mask(mask).requirement;
    const DesignOptions o;
    for (auto _ : state) {
        const Design d = design_filter(r, a, n, o);
        const FilterDrawing drawing = draw_cascade(d.cascade, d.netlist, {"bench"});
        const FilterCheck f = check_filter(d.netlist, mask, 400);
        const Analysed x =
            analyse_lines(netlist_lines(d.netlist, {}), d.netlist.output_node, {10, 20000, true, 400},
                          o.resistor_variability(), o.capacitor_tolerance, design_pivot_tolerance);
        const auto k = analysis::mask_constraints(mask, *x.sweep, x.circuit->segments);
        const analysis::LinearModel m = analysis::linear_model(*x.circuit, *x.engine, *x.sweep, k);
        const analysis::YieldEstimate y = analysis::first_order_yield(m, x.circuit->variability, 100000, 1);
        benchmark::DoNotOptimize(drawing.values.size());
        benchmark::DoNotOptimize(y.fraction);
        state.counters["meets"] = f.meets;
        state.counters["opamps"] = d.opamps;
        state.counters["sections"] = static_cast<double>(d.sections.size());
    }
}

void BM_EllipticBandPass10(benchmark::State& state) {
    design_drawn_checked(mask_of(band_pass), Approximation::elliptic, 5, state);
}
BENCHMARK(BM_EllipticBandPass10)->Unit(benchmark::kMillisecond);

void BM_LowPass6(benchmark::State& state) {
    design_drawn_checked(mask_of(low_pass), Approximation::butterworth, 6, state);
}
BENCHMARK(BM_LowPass6)->Unit(benchmark::kMillisecond);

// Every approximation at its minimum order, as choose_design does it.
void BM_ChooseAmongApproximations(benchmark::State& state) {
    const analysis::ResponseMask mask = mask_of(state.range(0) == 0 ? band_pass : low_pass);
    const Requirement r = requirement_from_mask(mask).requirement;
    for (auto _ : state) {
        const DesignChoice c = choose_design(r, {});
        benchmark::DoNotOptimize(c.designs.size());
    }
    state.SetLabel(state.range(0) == 0 ? "band-pass mask" : "low-pass mask");
}
BENCHMARK(BM_ChooseAmongApproximations)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
