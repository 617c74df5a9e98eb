// Every kind's sensitivity against a finite difference of T, and the
// observer mode against the analytic poles of a tank.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/engine/engine_testing.h"

namespace analysis::testing {
namespace {

struct KindCircuit {
    const char* what;
    const char* netlist;
    int output;
    long double omega;
};

// Between them these use every stored kind: R C L I V Z v E F H G g Y K
// (with La, Lb) A a M m Q q and the transistor capacitances.
const KindCircuit circuits[] = {
    {"passive and sources",
     "5\nV1 1 0 1\nR1 1 2 100\nK1 2 0 3 0 1E-3 2E-3 0.5\nC1 3 4 1E-6\nR2 4 0 470\nI1 0 4 1E-3\n"
     "Z1 5 4 100 2\nR3 5 0 1E3\nL1 5 0 1E-2\n",
     4, 1e4L},
    {"passive, output beyond the source",
     "5\nV1 1 0 1\nR1 1 2 100\nK1 2 0 3 0 1E-3 2E-3 -0.3\nC1 3 4 1E-6\nR2 4 0 470\nI1 0 4 1E-3\n"
     "Z1 5 4 100 2\nR3 5 0 1E3\nL1 5 0 1E-2\n",
     5, 3e3L},
    {"controlled sources",
     "12\nV1 1 0 1\nR1 1 2 1E3\nR2 2 0 2E3\nE1 3 0 2 0 2\nR3 3 4 1E3\nC1 4 0 1E-7\nF1 5 0 4 6 3\n"
     "R4 6 0 500\nR5 5 0 1E3\nH1 7 0 5 8 100\nR6 8 0 200\nR7 7 0 1E3\nG1 9 0 7 5 1E-3 2E-4\n"
     "R8 9 0 1E3\nY1 9 0 10 0 1E3\nC2 10 0 1E-8\nO1 11 0 12\nR9 10 11 2E3\nR10 11 12 1E3\n",
     12, 2e4L},
    {"amplifiers and transistors",
     "6\nV1 1 0 1\nR1 1 2 1E3\nR2 2 3 1E4\nA1 2 0 3 1E7 75\nC1 3 0 1E-9\nR9 3 4 1E3\n"
     "Q1 5 4 0 100 2E3 1E-11 1E-12\nR3 5 0 5E3\nM1 6 5 0 1E-3 1E-5 1E-12 1E-13\nR4 6 0 1E4\n",
     6, 1e6L},
    {"four-node op-amp",
     "4\nV1 1 0 1\nR1 1 2 1E3\nR2 2 3 2E3\nA1 3 4 2 0 6E6 50\nR3 4 0 1E3\nC1 3 4 1E-9\n", 3, 1e5L},
};

TEST(SensitivityByKind, EachElementMatchesAFiniteDifferenceOfT) {
    const long double h = 1e-6L;
    for (const KindCircuit& k : circuits) {
        Analysis a(k.netlist);
        a.c->output_node = k.output;
        a.c->output_column = a.c->column_map[k.output];
        const C t = a.solve(k.omega);
        std::vector<C> s(a.c->element_count + 1);
        for (int i = 1; i <= a.c->element_count; ++i) s[i] = a.S(0, i);
        for (int i = 1; i <= a.c->element_count; ++i) {
            const std::string name = a.c->elements[i].name;
            const Element saved_prev = a.c->elements[i - 1], saved = a.c->elements[i];
            const Element saved_next = a.c->elements[std::min(i + 1, a.c->element_count)];
            scale_element(*a.c, i, 1 + h);
            const C up = a.solve(k.omega, true, 1);
            a.c->elements[i - 1] = saved_prev, a.c->elements[i] = saved;
            a.c->elements[std::min(i + 1, a.c->element_count)] = saved_next;
            scale_element(*a.c, i, 1 - h);
            const C down = a.solve(k.omega, true, 1);
            a.c->elements[i - 1] = saved_prev, a.c->elements[i] = saved;
            a.c->elements[std::min(i + 1, a.c->element_count)] = saved_next;
            const C fd = (up - down) / (2 * h * t);
            EXPECT_TRUE(near(s[i], fd, 1e-7L, 1e-9L)) << k.what << ": " << name;
        }
    }
}

TEST(SensitivityByKind, UnnormalisedSensitivitiesAreTTimesTheNormalised) {
    Analysis a(circuits[2].netlist);
    a.c->output_node = circuits[2].output;
    a.c->output_column = a.c->column_map[circuits[2].output];
    const C t = a.solve(circuits[2].omega, true, 0);
    a.solve(circuits[2].omega, false, 1);
    for (int i = 1; i <= a.c->element_count; ++i)
        EXPECT_TRUE(near(a.S(1, i), a.S(0, i) * t, 1e-15L, 1e-20L)) << a.c->elements[i].name;
}

// Parallel tank R, L, C driven by I1: poles s² + s/(RC) + 1/(LC) = 0.
C tank_pole(long double R, long double L, long double Cv) {
    const long double a = 1 / (2 * R * Cv);
    return {-a, std::sqrt(1 / (L * Cv) - a * a)};
}

TEST(ObserverMode, ResidualVanishesAtThePoleAndPoleShiftsMatchTheAnalyticRoot) {
    const long double R = 50, L = 1e-3L, Cv = 1e-6L;
    const C p = tank_pole(R, L, Cv);
    for (int observer : {2, 3, 4}) {  // R1, L1, C1
        Analysis a("1\nI1 0 1 1\nR1 1 0 50\nL1 1 0 1E-3\nC1 1 0 1E-6\n", 1);
        a.e->observer_mode = true;
        a.e->observer_element = observer;
        a.solve(p.imag(), false, 1, p.real());
        // V(node1) - V(node2) equals the observer's impedance at a pole.
        const Element& ob = a.c->elements[observer];
        const C v = to_std(node_voltage(*a.c, *a.e, ob.node1)) - to_std(node_voltage(*a.c, *a.e, ob.node2));
        const C zobs = 1.0L / C(a.c->stamp_re[observer], a.c->stamp_im[observer]);
        EXPECT_LT(std::abs(v - zobs), 1e-12L * std::abs(zobs)) << ob.name;
        EXPECT_EQ(a.S(1, 1), C(0, 0)) << "sources are silent in observer mode";

        // Pole shift per relative change: dp_i = -s/G · S_i, G = Σ over C and L.
        const C g = to_std(sum_frequency_sensitivity(*a.c, *a.e, 1));
        const C f = -p / g;
        const long double values[] = {0, 0, R, L, Cv};
        for (int i = 2; i <= 4; ++i) {
            long double up[] = {R, L, Cv}, down[] = {R, L, Cv};
            up[i - 2] = values[i] * (1 + 1e-6L);
            down[i - 2] = values[i] * (1 - 1e-6L);
            const C fd = (tank_pole(up[0], up[1], up[2]) - tank_pole(down[0], down[1], down[2])) / 2e-6L;
            EXPECT_TRUE(near(f * a.S(1, i), fd, 1e-7L)) << "observer " << ob.name << ", element " << i;
        }
    }
}

TEST(ObserverMode, ResidualIsLargeAwayFromAPoleAndTheObserverIsRestored) {
    Analysis a("1\nI1 0 1 1\nR1 1 0 50\nL1 1 0 1E-3\nC1 1 0 1E-6\n", 1);
    a.e->observer_mode = true;
    a.e->observer_element = 2;
    a.solve(20000, false, 1, -10000);
    const C v = to_std(node_voltage(*a.c, *a.e, 1));
    EXPECT_GT(std::abs(v - 50.0L), 1.0L);
    EXPECT_EQ(a.c->stamp_re[2], 1.0L / 50);  // recorded stamp back to the positive admittance
    EXPECT_EQ(a.S(1, 2), C(50, 0));          // the observer's own term: its impedance
    a.e->observer_mode = false;              // normal mode again: the tank is whole
    const C s(0, 20000);
    EXPECT_TRUE(near(a.solve(20000), 1.0L / (1.0L / 50 + 1.0L / (s * 1e-3L) + s * 1e-6L), 1e-15L));
}

}  // namespace
}  // namespace analysis::testing

namespace analysis::testing {
namespace {

// The sweep stamps the frequency-independent part once and copies it at
// every point: the results must be the very same bits as a full build.
TEST(SweepShortcut, SameBitsAsAFullBuildForEveryKind) {
    for (const KindCircuit& k : circuits) {
        Analysis a(k.netlist, k.output);
        a.s.pivot_tolerance = 1e-30L;  // small admittances far from the design frequency
        a.sw->scale_min[0] = k.omega / 30;
        a.sw->scale_max[0] = k.omega * 30;
        a.c->segments = 6;
        reset_sweep(*a.c, *a.e, *a.sw, a.log);
        ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log)) << k.what;
        EXPECT_FALSE(a.e->use_fixed_part);
        for (int p = 0; p <= 6; ++p) {
            const PointRecord& pt = a.sw->points[p];
            const C t = a.solve(pt.frequency, true, 7);
            EXPECT_EQ(t.real(), pt.t_re) << k.what << " point " << p;
            EXPECT_EQ(t.imag(), pt.t_im) << k.what << " point " << p;
            for (int i = 1; i <= a.c->element_count; ++i) ASSERT_EQ(a.S(7, i), a.S(p, i)) << k.what << " " << i;
        }
    }
}

}  // namespace
}  // namespace analysis::testing
