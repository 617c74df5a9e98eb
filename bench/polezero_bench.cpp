// The pole and zero finder: a 20th-order LC ladder and a cascade of ten
// biquads whose poles span four decades must be found whole (every pole
// within a relative 1e-9 of its closed form) in under 100 ms each; the
// examples' poles and zeros must agree with the reference files beside
// them (examples/polezero/closed_forms.cpp) to a relative 1e-9. A run that
// misses a point or its precision stops with an error instead of a time.
// The 99-section RC ladder, wider than one sampling circle reaches, is
// timed too, its poles held to the same 1e-9.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/engine/sweep.h"
#include "analysis/polezero/polezero_finder.h"
#include "analysis/polezero/polezero_run.h"
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

// Cascades handled whole: the ten biquads, different or identical (a
// tenfold pair), their poles found and every one's deviations computed by
// the automatic observer, each copy in its own section. A pole off its
// closed form by more than a relative 1e-9, or one without deviations,
// stops the run with an error.
void BM_CascadeDeviations(benchmark::State& state) {
    const bool identical = state.range(0) == 1;
    Prepared p(bench::biquad_cascade_netlist(identical), 59);
    auto set = std::make_unique<analysis::PoleZeroSet>();
    const std::string file = std::filesystem::temp_directory_path() /
                             ("polezero_bench_cascade_" + std::to_string(::getpid()) + ".r");
    analysis::PoleZeroSearch r;
    int valid = 0;
    for (auto _ : state) {
        r = analysis::find_poles_zeros(*p.c, p.s, true);
        analysis::write_pole_zero_file(file, r.found);
        analysis::PoleZeroContext x{*p.c, *p.e, *p.sw, p.s, *set, "bench", true};
        p.sw->pz_valid = false;
        analysis::run_pole_zero(
            x, true, [&](const analysis::PoleZeroFileRequest&) { return std::optional<std::string>(file); },
            [](const std::string&) {});
        valid = 0;
        for (int k = 1; k <= set->entry_count; ++k) valid += set->entries[k].valid;
    }
    std::filesystem::remove(file);
    const bench::Real error = worst_error(r.found, bench::biquad_cascade_poles(identical));
    state.counters["valid"] = valid;
    report(state, r, valid == 20 ? error : INFINITY);
    state.SetLabel(identical ? "ten identical biquads, deviations of every copy"
                             : "ten biquads, 1 to 1e4 rad/s, deviations of every pole");
}
BENCHMARK(BM_CascadeDeviations)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
