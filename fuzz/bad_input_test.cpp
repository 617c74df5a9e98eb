// Bad input through whole analysis commands: a circuit singular only at
// some frequencies, and element values at the edges of what the reader
// takes. Nothing that is not finite may reach a point, the dynamic-range
// report or the response table.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"
#include "analysis/shell/reports.h"
#include "common/errors.h"

namespace analysis {
namespace {

struct AnalysisRun {
    std::unique_ptr<Circuit> c = std::make_unique<Circuit>();
    std::unique_ptr<Engine> e = std::make_unique<Engine>();
    std::unique_ptr<Sweep> sw = std::make_unique<Sweep>();
    AnalysisSettings s;
    std::vector<std::string> log;
    std::string fatal;

    AnalysisRun(const std::string& netlist, int output, int segments, Real fmax = 5) {
        const Log to_log = [this](const std::string& l) { log.push_back(l); };
        suite::TextScanner in(netlist);
        read_netlist(*c, in, to_log);
        c->segments = segments;
        if (!start_analysis(*c, *e, *sw, s, output, output, to_log)) throw std::runtime_error("refused");
        sw->scale_max[q_frequency] = fmax;
        try {
            sweep(*c, *e, *sw, s, to_log);
        } catch (const suite::FatalError& x) {
            fatal = x.what();
        }
    }

    void expect_finite_everywhere() {
        for (int p = 0; p <= sw->last_point; ++p) {
            const PointRecord& pt = sw->points[p];
            if (!pt.computed) continue;
            for (Real x : {pt.frequency, pt.module, pt.phase, pt.delay, pt.module_dev, pt.phase_dev})
                EXPECT_TRUE(std::isfinite(x)) << "point " << p;
        }
        std::vector<std::string> lines = response_table_lines(*c, *sw, s);
        dynamic_range_report(*c, *sw, s, [&lines](const std::string& l) { lines.push_back(l); });
        for (const std::string& l : lines) {
            EXPECT_EQ(l.find("NAN"), std::string::npos) << l;
            EXPECT_EQ(l.find("INF"), std::string::npos) << l;
        }
    }
};

// A current source into a parallel L C tank of 1 H and 1 F: the nodal
// system is singular at 1 rad/s and only there.
const char* const tank = "1\nI1 0 1 1\nL1 1 0 1\nC1 1 0 1\n";

TEST(BadInputAnalysis, ACircuitSingularAtOneFrequencyStopsThereOnly) {
    // 0.2, 1 and 5 rad/s: the middle point is the resonance.
    AnalysisRun at_resonance(tank, 1, 2);
    EXPECT_EQ(at_resonance.fatal, "Circuito insolúvel (determinante muito pequeno).");
    EXPECT_FALSE(at_resonance.sw->response_valid);
    EXPECT_TRUE(at_resonance.sw->points[0].computed);
    at_resonance.expect_finite_everywhere();
    // 0.2, 0.89 and 4 rad/s miss it: the sweep completes.
    AnalysisRun beside(tank, 1, 2, 4);
    EXPECT_EQ(beside.fatal, "");
    EXPECT_TRUE(beside.sw->response_valid);
    beside.expect_finite_everywhere();
}

TEST(BadInputAnalysis, ValuesAtTheEdgesOfTheRangeStayFinite) {
    const char* const netlists[] = {
        "2\nI1 0 1 1e300\nR1 1 2 1e-300\nR2 2 0 1e300\nC1 2 0 1e-300\nL1 1 0 1e300\n",
        "2\nI1 0 1 1e-300\nR1 1 2 1e300\nC1 2 0 1e300\nL1 2 0 1e-300\n",
        "3\nV1 1 0 1e300\nE1 2 0 1 0 1e300\nR1 2 3 1e-300\nC1 3 0 1e300\n",
        "3\nV1 1 0 1\nA1 0 1 2 1e300 1e-300\nR1 2 3 1e300\nC1 3 0 1e-300\nR2 3 0 1e300\n",
        "2\nI1 0 1 1\nK1 1 0 2 0 1e300 1e300 0.999999999999\nR1 2 0 1e-300\n",
    };
    for (const char* n : netlists) {
        SCOPED_TRACE(n);
        for (int output : {1, 2}) {
            AnalysisRun r(n, output, 10);
            // A fatal error (a pivot too small, a null output) is a clear
            // stop; whatever was computed before it is finite.
            if (!r.fatal.empty()) {
                EXPECT_TRUE(r.fatal == "Circuito insolúvel (determinante muito pequeno)." ||
                            r.fatal == "Saída nula. A análise não pode ser feita.")
                    << r.fatal;
            }
            r.expect_finite_everywhere();
        }
    }
}

}  // namespace
}  // namespace analysis
