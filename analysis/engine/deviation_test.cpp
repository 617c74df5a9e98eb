// Statistical deviations of module and phase: against sums of squares of
// finite differences, slope normalisation, and stale deviations.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/engine/engine_testing.h"

namespace analysis::testing {
namespace {

const char* const sallen_key = "4\nV1 1 0 1\nR1 1 2 1E4\nR2 2 3 2E4\nC1 2 4 2E-8\nC2 3 0 1E-8\nA1 4 3 4 6.28E6 75\n";
const long double to_db = 20 / std::log(10.0L);
const long double to_degrees = 180 / std::acos(-1.0L);

struct Expected {
    long double module_dev, phase_dev;
};

// The deviations of the response at omega, formed from finite differences
// of ln T under each element's relative change, optionally divided by the
// slope terms taken from a finite difference in frequency.
Expected independent_deviations(const std::string& netlist, int output, const std::vector<long double>& var,
                                long double omega, bool by_slope) {
    Analysis a(netlist);
    a.c->output_node = output;
    a.c->output_column = a.c->column_map[output];
    const long double h = 1e-6L;
    long double dm = 0, df = 0;
    for (int i = 1; i <= a.c->element_count; ++i) {
        Analysis up(netlist), down(netlist);
        for (Analysis* x : {&up, &down}) {
            x->c->output_node = output;
            x->c->output_column = x->c->column_map[output];
        }
        scale_element(*up.c, i, 1 + h);
        scale_element(*down.c, i, 1 - h);
        const C d = (std::log(up.solve(omega)) - std::log(down.solve(omega))) / (2 * h);
        dm += var[i] * var[i] * d.real() * d.real();
        df += var[i] * var[i] * d.imag() * d.imag();
    }
    if (by_slope) {
        const C slope = (std::log(a.solve(omega * (1 + h))) - std::log(a.solve(omega * (1 - h)))) / (2 * h);
        dm /= slope.real() * slope.real() + 1;
        df /= slope.imag() * slope.imag() + 1;
    }
    return {to_db * std::sqrt(dm), to_degrees * std::sqrt(df)};
}

std::vector<long double> variabilities(const Circuit& c) {
    return std::vector<long double>(c.variability.begin(), c.variability.begin() + c.element_count + 1);
}

TEST(Deviations, ZeroWithZeroVariability) {
    Analysis a(sallen_key, 4);
    change_all_variabilities(*a.c, 0);
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    for (int p = 0; p <= a.c->segments; ++p) {
        ASSERT_EQ(a.sw->points[p].module_dev, 0) << p;
        ASSERT_EQ(a.sw->points[p].phase_dev, 0) << p;
    }
}

TEST(Deviations, MatchAnIndependentSumOfSquares) {
    for (bool by_slope : {false, true}) {
        SCOPED_TRACE(by_slope ? "normalised by the slope" : "plain");
        Analysis a(sallen_key, 4);
        a.sw->scale_min[0] = 1000;
        a.sw->scale_max[0] = 1e5L;
        a.c->segments = 10;
        reset_sweep(*a.c, *a.e, *a.sw, a.log);
        for (int i = 1; i <= a.c->element_count; ++i) a.c->variability[i] = 0.01L * i;  // V1 too
        a.s.normalise_by_slope = by_slope;
        ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
        for (int p : {0, 3, 5, 10}) {
            const PointRecord& pt = a.sw->points[p];
            const Expected want = independent_deviations(sallen_key, 4, variabilities(*a.c), pt.frequency, by_slope);
            EXPECT_NEAR(pt.module_dev / want.module_dev, 1, 1e-7L) << p;
            EXPECT_NEAR(pt.phase_dev / want.phase_dev, 1, 1e-7L) << p;
        }
    }
}

TEST(Deviations, NormalisationChangeRecomputesOnlyTheDeviations) {
    Analysis a(sallen_key, 4);
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    const long long solved = a.e->solve_count;
    const PointRecord before = a.sw->points[200];

    apply_normalisation(a.s, *a.sw, false);  // unchanged: nothing goes stale
    EXPECT_FALSE(a.sw->deviations_stale);
    apply_normalisation(a.s, *a.sw, true);
    EXPECT_TRUE(a.sw->deviations_stale);
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    EXPECT_EQ(a.e->solve_count, solved);
    EXPECT_EQ(a.sw->points[200].module, before.module);
    EXPECT_LT(a.sw->points[200].module_dev, before.module_dev);

    Analysis fresh(sallen_key, 4);
    fresh.s.normalise_by_slope = true;
    ASSERT_TRUE(sweep(*fresh.c, *fresh.e, *fresh.sw, fresh.s, fresh.log));
    for (int p = 0; p <= a.c->segments; p += 50) {
        EXPECT_EQ(a.sw->points[p].module_dev, fresh.sw->points[p].module_dev) << p;
        EXPECT_EQ(a.sw->points[p].phase_dev, fresh.sw->points[p].phase_dev) << p;
    }
}

TEST(Deviations, NewVariabilitiesTakeEffectOnlyWhenStale) {
    Analysis a(sallen_key, 4);
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    const long long solved = a.e->solve_count;
    const PointRecord before = a.sw->points[123];

    change_all_variabilities(*a.c, 0.10L);  // twice the default
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    EXPECT_EQ(a.sw->points[123].module_dev, before.module_dev) << "not stale: kept";

    paint_variabilities(*a.c, a.s, *a.sw);  // the editor marks them stale
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    EXPECT_EQ(a.e->solve_count, solved);
    EXPECT_NEAR(a.sw->points[123].module_dev / before.module_dev, 2, 1e-15L);
    EXPECT_NEAR(a.sw->points[123].phase_dev / before.phase_dev, 2, 1e-15L);
    EXPECT_EQ(a.sw->points[123].phase, before.phase);
    EXPECT_FALSE(a.sw->deviations_stale);
}

}  // namespace
}  // namespace analysis::testing
