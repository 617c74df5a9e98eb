// The progress of the long runs: what it is told, that a false answer
// stops the run with RunCancelled and nothing logged, and that a progress
// that lets the run go on changes none of its numbers.
#include "analysis/tolerance/progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/tolerance/tightening.h"
#include "analysis/tolerance/tolerance_report.h"
#include "analysis/tolerance/tolerance_testing.h"
#include "analysis/tolerance/yield.h"

namespace analysis::testing {
namespace {

struct Call {
    std::string stage;
    long long done, total;
};

// Records every call; answers false from call number `stop_at` (1-based) on.
struct Recorder {
    std::vector<Call> calls;
    std::size_t stop_at = 0;
    Progress progress() {
        return [this](const std::string& stage, long long done, long long total) {
            calls.push_back({stage, done, total});
            return stop_at == 0 || calls.size() < stop_at;
        };
    }
};

struct RcMask : SweptCircuit {
    LinearModel m;
    RcMask() : SweptCircuit("2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n", 2, 1, 4, 2) {
        change_all_variabilities(*a.c, 0);
        vary("R1", 0.05L);
        vary("C1", 0.03L);
        const Real module = a.sw->points[1].module;
        m = linear_model(*a.c, *a.e, *a.sw, {{1, MaskQuantity::module, module - 0.3L, module + 0.2L, 1}});
    }
};

TEST(RunProgress, FirstOrderYieldCountsItsSamplesAndStopsWhenTold) {
    RcMask s;
    const long long n = 20000;
    Recorder r;
    const YieldEstimate with = first_order_yield(s.m, s.a.c->variability, n, 7, r.progress());
    const YieldEstimate without = first_order_yield(s.m, s.a.c->variability, n, 7);
    EXPECT_EQ(with.passed, without.passed);
    // 0, every 4096 samples, and the end: 0, 4096, 8192, 12288, 16384, 20000.
    ASSERT_EQ(r.calls.size(), 6u);
    for (std::size_t i = 0; i < r.calls.size(); ++i) {
        EXPECT_EQ(r.calls[i].stage, first_order_stage);
        EXPECT_EQ(r.calls[i].total, n);
        EXPECT_EQ(r.calls[i].done, i + 1 < r.calls.size() ? static_cast<long long>(i) * 4096 : n);
    }
    Recorder stop;
    stop.stop_at = 3;
    EXPECT_THROW(first_order_yield(s.m, s.a.c->variability, n, 7, stop.progress()), RunCancelled);
    EXPECT_EQ(stop.calls.size(), 3u);  // nothing asked after the refusal
}

TEST(RunProgress, MonteCarloYieldTellsEveryCircuitAndStopsWhenTold) {
    RcMask s;
    Recorder r;
    const MonteCarloYield with = monte_carlo_yield(*s.a.c, *s.a.e, *s.a.sw, s.a.s, s.m, 50, 3, r.progress());
    const MonteCarloYield without = monte_carlo_yield(*s.a.c, *s.a.e, *s.a.sw, s.a.s, s.m, 50, 3);
    EXPECT_EQ(with.estimate.passed, without.estimate.passed);
    EXPECT_EQ(with.estimate.trials, 50);
    ASSERT_EQ(r.calls.size(), 51u);  // the start and every circuit, passed or not
    for (std::size_t i = 0; i < r.calls.size(); ++i) {
        EXPECT_EQ(r.calls[i].done, static_cast<long long>(i));
        EXPECT_EQ(r.calls[i].total, 50);
        EXPECT_EQ(r.calls[i].stage, monte_carlo_stage);
    }
    Recorder stop;
    stop.stop_at = 11;
    EXPECT_THROW(monte_carlo_yield(*s.a.c, *s.a.e, *s.a.sw, s.a.s, s.m, 50, 3, stop.progress()),
                 RunCancelled);
    EXPECT_EQ(stop.calls.size(), 11u);
    // The nominal records are untouched: the same run gives the same yield.
    EXPECT_EQ(monte_carlo_yield(*s.a.c, *s.a.e, *s.a.sw, s.a.s, s.m, 50, 3).estimate.passed,
              without.estimate.passed);
}

TEST(RunProgress, ReportsLogNothingOfACancelledRun) {
    RcMask s;
    std::vector<std::string> lines;
    const Log log = [&](const std::string& l) { lines.push_back(l); };
    Recorder whole;
    ASSERT_TRUE(report_yield(*s.a.c, *s.a.e, *s.a.sw, s.a.s, s.m, 5000, 40, 2, log, whole.progress()));
    const std::vector<std::string> finished = lines;
    // The first-order samples, then the circuits.
    EXPECT_EQ(whole.calls.front().stage, first_order_stage);
    EXPECT_EQ(whole.calls.back().stage, monte_carlo_stage);
    EXPECT_EQ(whole.calls.back().done, 40);
    for (std::size_t stop_at : {std::size_t{1}, std::size_t{3}, whole.calls.size()}) {
        lines.clear();
        Recorder r;
        r.stop_at = stop_at;
        EXPECT_THROW(report_yield(*s.a.c, *s.a.e, *s.a.sw, s.a.s, s.m, 5000, 40, 2, log, r.progress()),
                     RunCancelled);
        EXPECT_TRUE(lines.empty()) << stop_at;
    }
    lines.clear();
    ASSERT_TRUE(report_yield(*s.a.c, *s.a.e, *s.a.sw, s.a.s, s.m, 5000, 40, 2, log));
    EXPECT_EQ(lines, finished);

    // The search of tolerances names each sampled yield; a stop there
    // leaves its lines unlogged.
    Recorder search;
    search.stop_at = 2;
    lines.clear();
    EXPECT_THROW(
        report_tightening(*s.a.c, *s.a.e, *s.a.sw, s.a.s, s.m, 0.9L, 5000, 40, 2, log, search.progress()),
        RunCancelled);
    EXPECT_TRUE(lines.empty());
    ASSERT_EQ(search.calls.size(), 2u);
    EXPECT_EQ(search.calls[0].stage, std::string(tightening_stage) + " (rendimento 1)");
    Recorder all;
    const ToleranceAssignment t = tighten_tolerances(*s.a.c, s.m, 0.9L, 5000, 2, all.progress());
    EXPECT_EQ(t.yield_evaluations, tighten_tolerances(*s.a.c, s.m, 0.9L, 5000, 2).yield_evaluations);
    EXPECT_EQ(all.calls.back().stage,
              std::string(tightening_stage) + " (rendimento " + std::to_string(t.yield_evaluations) + ")");
}

}  // namespace
}  // namespace analysis::testing
