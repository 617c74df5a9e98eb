// The pole and zero finder: a 20th-order LC ladder and a cascade of ten
// biquads whose poles span four decades must be found whole (every pole
// within a relative 1e-9 of its closed form) in under 100 ms each; the
// examples' poles and zeros must agree with the reference files beside
// them (examples/polezero/closed_forms.cpp) to a relative 1e-9. A run that
// misses a point or its precision stops with an error instead of a time.
// The 99-section RC ladder, wider than one sampling circle reaches, is
// timed too, its poles held to the same 1e-9.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/engine/sweep.h"
#include "analysis/polezero/polezero_finder.h"
#include "bench/ladder_circuits.h"
#include "bench/polezero_circuits.h"
#include "bench/prepared_circuit.h"
#include "common/textfile.h"

namespace {

using Prepared = bench::PreparedCircuit;

// The largest relative distance from a reference point to the nearest
// found one; infinite when the counts differ.
bench::Real worst_error(const std::vector<analysis::PoleZeroPoint>& found,
                        const std::vector<bench::Pole>& ref) {
    if (found.size() != ref.size()) return INFINITY;
    bench::Real worst = 0;
    for (const bench::Pole& r : ref) {
        bench::Real best = INFINITY;
        for (const analysis::PoleZeroPoint& f : found)
            best = std::min(best, std::abs(bench::Pole(f.re, f.im) - r));
        worst = std::max(worst, best / std::abs(r));
    }
    return worst;
}

void report(benchmark::State& state, const analysis::PoleZeroSearch& r, bench::Real error) {
    state.counters["found"] = static_cast<double>(r.found.size());
    state.counters["rel_error"] = static_cast<double>(error);
    state.counters["solves"] = static_cast<double>(r.evaluations);
    if (!(error <= 1e-9L)) state.SkipWithError("points missing or off by more than a relative 1e-9");
}

// The two circuits of the targets: a 20th-order LC ladder, and ten biquads
// whose poles span four decades.
Prepared target_circuit(bool ladder) {
    if (ladder)
        return Prepared(bench::butterworth_ladder_netlist(20, 2000 * std::numbers::pi_v<bench::Real>), 12);
    return Prepared(bench::biquad_cascade_netlist(), 59);
}
const char* target_label(bool ladder) {
    return ladder ? "LC ladder, order 20" : "ten biquads, 1 to 1e4 rad/s";
}

void BM_FindPoles(benchmark::State& state) {
    const bool ladder = state.range(0) == 0;
    Prepared p = target_circuit(ladder);
    analysis::PoleZeroSearch r;
    for (auto _ : state) {
        r = analysis::find_poles_zeros(*p.c, p.s, true);
        benchmark::DoNotOptimize(r.found.data());
    }
    report(state, r,
           worst_error(r.found, ladder ? bench::butterworth_poles(20, 2000 * std::numbers::pi_v<bench::Real>)
                                       : bench::biquad_cascade_poles()));
    state.SetLabel(target_label(ladder));
}
BENCHMARK(BM_FindPoles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Neither has finite zeros: all twenty lie at infinity.
void BM_FindZeros(benchmark::State& state) {
    const bool ladder = state.range(0) == 0;
    Prepared p = target_circuit(ladder);
    analysis::PoleZeroSearch r;
    for (auto _ : state) {
        r = analysis::find_poles_zeros(*p.c, p.s, false);
        benchmark::DoNotOptimize(r.found.data());
    }
    report(state, r, r.at_infinity == 20 && r.found.empty() ? 0 : INFINITY);
    state.SetLabel(target_label(ladder));
}
BENCHMARK(BM_FindZeros)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Wider than one circle resolves: the 99-section RC ladder, 99 real poles
// over 4.2 decades, found whole beyond the first circle.
void BM_FindPolesRcLadder(benchmark::State& state) {
    Prepared p(bench::rc_ladder_netlist(), 100);
    analysis::PoleZeroSearch r;
    for (auto _ : state) {
        r = analysis::find_poles_zeros(*p.c, p.s, true);
        benchmark::DoNotOptimize(r.found.data());
    }
    report(state, r, worst_error(r.found, bench::rc_ladder_poles()));
    state.SetLabel("RC ladder, 99 sections, 249 to 4e6 rad/s");
}
BENCHMARK(BM_FindPolesRcLadder)->Unit(benchmark::kMillisecond);

struct Example {
    const char* name;
    int output;
    bool poles;
};
const Example examples[] = {
    {"elliptic-ladder", 4, true},   {"elliptic-ladder", 4, false}, {"lc-notch", 1, true},
    {"lc-notch", 1, false},         {"tow-thomas-notch", 9, true}, {"tow-thomas-notch", 9, false},
    {"tow-thomas-biquad", 3, true}, {"gyrator-bandpass", 2, true},
};

void BM_Example(benchmark::State& state) {
    const Example& x = examples[state.range(0)];
    const std::string stem = std::string(SUITE_SOURCE_DIR) + "/examples/" + x.name;
    Prepared p(suite::read_text(stem + ".net"), x.output);
    suite::TextScanner in(suite::read_text(stem + (x.poles ? ".r" : ".z" + std::to_string(x.output))));
    std::vector<bench::Pole> ref;
    for (const analysis::PoleZeroPoint& q : analysis::read_pole_zero_file(in, stem, 1000).points)
        ref.push_back({q.re, q.im});
    analysis::PoleZeroSearch r;
    for (auto _ : state) {
        r = analysis::find_poles_zeros(*p.c, p.s, x.poles);
        benchmark::DoNotOptimize(r.found.data());
    }
    report(state, r, worst_error(r.found, ref));
    state.SetLabel(std::string(x.name) + (x.poles ? " poles" : " zeros"));
}
BENCHMARK(BM_Example)->DenseRange(0, std::size(examples) - 1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
