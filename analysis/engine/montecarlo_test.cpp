// Monte Carlo deviations against the first-order ones: agreement for small
// variabilities, the second-order departure for large ones, determinism,
// rejected circuits and redrawn values.
#include "analysis/engine/montecarlo.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/engine/engine_testing.h"

namespace analysis::testing {
namespace {

struct Sampled {
    Analysis a;
    MonteCarloResult r;
    Sampled(const std::string& netlist, int output, Real variability, Real fmin, Real fmax, int segments,
            int samples, std::uint64_t seed = 7, bool by_slope = false)
        : a(netlist) {
        change_all_variabilities(*a.c, variability);
        a.c->segments = segments;
        a.sw->scale_min[q_frequency] = fmin;
        a.sw->scale_max[q_frequency] = fmax;
        a.s.normalise_by_slope = by_slope;
        EXPECT_TRUE(start_analysis(*a.c, *a.e, *a.sw, a.s, output, 1, a.log));
        EXPECT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
        r = monte_carlo(*a.c, *a.e, *a.sw, a.s, samples, seed);
    }
};

const char* const sallen_key =  // op-amp with GB and Ro: Ro is drawn with GB kept
    "4\nV1 1 0 1\nR1 1 2 1E4\nR2 2 3 1E4\nC1 2 4 22.5E-9\nC2 3 0 11.25E-9\nA1 4 3 4 6.28E6 75\n";
const char* const tow_thomas =  // band-pass of gain -1: the phase crosses ±180° at f0
    "7\nV1 1 0 1\nRIN 1 2 79577.5\nRQ 2 3 79577.5\nC1 2 3 10E-9\nR3 7 2 15915.5\nO1 2 0 3\n"
    "R2 3 4 15915.5\nC2 4 5 10E-9\nO2 4 0 5\nR4 5 6 10000\nR5 6 7 10000\nO3 6 0 7\n";
const char* const divider =  // source resistance: Rs is drawn with Vs kept; a gain E
    "3\nZ1 1 0 50 2\nC1 1 0 1E-9\nE1 2 0 1 0 -3\nR1 2 3 1E3\nC2 3 0 1E-7\n";

// With variabilities of 0.2 % the response is linear in the draws over
// their whole spread, so the sample standard deviation estimates the
// first-order deviation; its relative sampling error is 1/√(2(N−1)).
TEST(MonteCarlo, SmallVariabilitiesAgreeWithTheFirstOrderDeviations) {
    struct Case {
        const char* netlist;
        int output;
        Real fmin, fmax;
        bool by_slope;
    };
    const Case cases[] = {{sallen_key, 4, 1e3L, 1e6L, false},
                          {tow_thomas, 3, 3e3L, 3e4L, false},
                          {tow_thomas, 3, 3e3L, 3e4L, true},
                          {divider, 3, 1e2L, 1e9L, false}};
    const int samples = 3000;
    const Real tolerance = 5 / std::sqrt(2.0L * (samples - 1));
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.netlist).substr(0, 30));
        Sampled run(k.netlist, k.output, 0.002L, k.fmin, k.fmax, 40, samples, 11, k.by_slope);
        ASSERT_EQ(run.r.accepted, samples);
        ASSERT_EQ(run.r.module_sd.size(), 41u);
        bool phase_crosses = false;
        for (int p = 0; p <= 40; ++p) {
            const PointRecord& pt = run.a.sw->points[p];
            if (p > 0 && std::fabs(pt.phase - run.a.sw->points[p - 1].phase) > 180) phase_crosses = true;
            EXPECT_NEAR(run.r.module_sd[p] / pt.module_dev, 1, tolerance) << p;
            EXPECT_NEAR(run.r.phase_sd[p] / pt.phase_dev, 1, tolerance) << p;
        }
        if (k.netlist == tow_thomas) {
            EXPECT_TRUE(phase_crosses);
        }
    }
}

// One RC section, T = 1/(1 + jx) with x = ωRC, R and C of variability v:
// x = x0·(1+a)(1+b), a and b normal of deviation v. In u = ln x the module
// in nepers is m(u) = −½·ln(1 + e^(2u)), and Δ = u − u0 = ln(1+a) + ln(1+b).
// To order v⁴: Var Δ = 2v² + 5v⁴ (from ln(1+a) = a − a²/2 + a³/3),
// Cov(Δ, Δ²) = −10v⁴, Var Δ² = 8v⁴, Cov(Δ, Δ³) = 12v⁴, so from
// m = m′Δ + m″Δ²/2 + m‴Δ³/6
//   Var m = 2v²·m′²·(1 + v²·(5/2 − 5·m″/m′ + (m″/m′)² + 2·m‴/m′)).
// With s = x²/(1+x²) and q = 1 − s: m′ = −s, m″/m′ = 2q, m‴/m′ = 4q(2q − 1),
// and the first-order deviation is √2·v·s, hence
//   MC / first order = √(1 + v²·(5/2 − 18q + 20q²)):
// above 1 far from the corner (q → 0: 1 + 2.5v², from the long lower tail
// of ln(1+a); q → 1: 1 + 4.5v²), below it near the corner (q = ½: 1 − 1.5v²),
// where that skew of Δ (Cov(Δ, Δ²) < 0) meets the bend of the module curve
// (m″/m′ = 2q) and narrows the spread. At v = 0.3 the terms of order v⁶
// move the ratio by up to 0.03 (checked by an independent simulation).
TEST(MonteCarlo, LargeVariabilitiesDepartAsTheSecondOrderTermsPredict) {
    const Real v = 0.3L;
    const int samples = 20000;
    Sampled run("2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n", 2, v, 0.1L, 10, 2, samples);
    ASSERT_EQ(run.r.accepted, samples);
    for (int p = 0; p <= 2; ++p) {
        const Real x = run.a.sw->points[p].frequency;  // ω·RC with R = C = 1
        const Real q = 1 / (1 + x * x);
        const Real predicted = std::sqrt(1 + v * v * (2.5L - 18 * q + 20 * q * q));
        const Real ratio = run.r.module_sd[p] / run.a.sw->points[p].module_dev;
        SCOPED_TRACE(::testing::Message() << "x = " << static_cast<double>(x));
        EXPECT_NEAR(ratio, predicted, 0.045L);
        EXPECT_GT((ratio - 1) * (predicted - 1), 0);  // the same direction
        EXPECT_GT(std::fabs(ratio - 1), 0.04L);       // and clearly departed
    }
}

TEST(MonteCarlo, ASeedGivesTheSameCircuits) {
    Sampled a(sallen_key, 4, 0.05L, 1e3L, 1e5L, 10, 50, 42);
    Sampled b(sallen_key, 4, 0.05L, 1e3L, 1e5L, 10, 50, 42);
    Sampled c(sallen_key, 4, 0.05L, 1e3L, 1e5L, 10, 50, 43);
    EXPECT_EQ(a.r.module_sd, b.r.module_sd);
    EXPECT_EQ(a.r.phase_sd, b.r.phase_sd);
    EXPECT_NE(a.r.module_sd, c.r.module_sd);
    EXPECT_EQ(a.r.redrawn, 0);
    // Without variabilities every drawn circuit is the nominal one, solved
    // the way the sweep solves it.
    Sampled fixed(sallen_key, 4, 0, 1e3L, 1e5L, 10, 5);
    for (int p = 0; p <= 10; ++p) {
        EXPECT_EQ(fixed.r.module_sd[p], 0);
        EXPECT_EQ(fixed.r.phase_sd[p], 0);
    }
}

TEST(MonteCarlo, SingularCircuitsAreRejectedAndNegativeValuesRedrawn) {
    // The node's conductance is 1 − 0.98 nominally; with R2 drawn it falls
    // below the pivot tolerance of 0.01 in a good part of the circuits.
    Analysis a("1\nI1 0 1 1\nR1 1 0 1\nR2 1 0 -1.020408\nC1 1 0 1E-6\n", 0);
    a.s.pivot_tolerance = 0.01L;
    a.c->variability[a.element_named("R2")] = 0.01L;
    ASSERT_TRUE(start_analysis(*a.c, *a.e, *a.sw, a.s, 1, 1, a.log));
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    const MonteCarloResult r = monte_carlo(*a.c, *a.e, *a.sw, a.s, 400, 3);
    EXPECT_GT(r.rejected, 20);
    EXPECT_GT(r.accepted, 20);
    EXPECT_EQ(r.accepted + r.rejected, 400);
    for (Real sd : r.module_sd) EXPECT_TRUE(std::isfinite(sd));
    EXPECT_EQ(monte_carlo_summary(r),
              "Monte Carlo: 400 circuitos, semente 3; rejeitados (sistema insolúvel ou "
              "saída nula): " +
                  std::to_string(r.rejected) + "; sorteios repetidos (valor nulo ou de sinal trocado): 0");

    // At the limit two deviations reach zero: about 2.3 % of the draws are
    // repeated, and every value keeps its sign (R2 stays negative).
    Circuit& c = *a.c;
    for (int i = 1; i <= c.element_count; ++i) c.variability[i] = 0.5L;
    EXPECT_EQ(monte_carlo_refusal(c), "");
    auto sample = std::make_unique<Circuit>(c);
    NormalDraws draws(5);
    long long redrawn = 0;
    for (int k = 0; k < 2000; ++k) {
        draw_circuit(c, *sample, draws, redrawn);
        EXPECT_LT(sample->elements[a.element_named("R2")].value, 0);
        EXPECT_GT(sample->elements[a.element_named("C1")].value, 0);
    }
    EXPECT_NEAR(static_cast<double>(redrawn) / (4 * 2000), 0.0228, 0.006);
    c.variability[a.element_named("C1")] = -0.51L;
    EXPECT_EQ(monte_carlo_refusal(c), "* Monte Carlo: variabilidade acima de 0.5 em C1.");
}

}  // namespace
}  // namespace analysis::testing
