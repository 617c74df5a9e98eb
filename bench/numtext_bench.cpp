// Number texts are written for every listed point and every table line:
// a 400-point response table with 8 columns formats 3200 numbers.
#include <benchmark/benchmark.h>

#include "common/numtext.h"

namespace {

void BM_FormatScientific(benchmark::State& state) {
    suite::Real x = 1.2345678901234e-3L;
    for (auto _ : state) {
        benchmark::DoNotOptimize(suite::format_scientific(x, 16));
        x *= 1.0001L;
    }
}
BENCHMARK(BM_FormatScientific);

void BM_FormatGeneral(benchmark::State& state) {
    suite::Real x = 0.2L;
    for (auto _ : state) {
        benchmark::DoNotOptimize(suite::format_general(x));
        x *= 1.0001L;
    }
}
BENCHMARK(BM_FormatGeneral);

void BM_ParseReal(benchmark::State& state) {
    suite::Real x = 0;
    for (auto _ : state) benchmark::DoNotOptimize(suite::parse_real("1.5915494309189535E+0003", x));
}
BENCHMARK(BM_ParseReal);

}  // namespace

BENCHMARK_MAIN();
