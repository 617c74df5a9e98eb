// The sweep: segment clamps, stored points, node extremes, refusals,
// reuse of computed points, pan and zoom.
#include "analysis/engine/sweep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "analysis/engine/engine_testing.h"
#include "common/errors.h"

namespace analysis::testing {
namespace {

const char* const rc_lowpass = "2\nV1 1 0 1\nR1 1 2 1E3\nC1 2 0 1E-6\n";
const char* const sallen_key =
    "4\nV1 1 0 1\nR1 1 2 1E4\nR2 2 3 2E4\nC1 2 4 2E-8\nC2 3 0 1E-8\nA1 4 3 4 6.28E6 75\n";

TEST(ResetSweep, SegmentsAreClampedEvenAndLogged) {
    struct Case {
        int requested, stored;
    };
    const Case cases[] = {{400, 400}, {401, 400}, {1, 2},  {5000, 1000}, {399, 398},
                          {2, 2},     {0, 2},     {-7, 2}, {1000, 1000}, {1001, 1000}};
    for (const Case& k : cases) {
        Analysis a(rc_lowpass);
        a.c->segments = k.requested;
        reset_sweep(*a.c, *a.e, *a.sw, a.log);
        EXPECT_EQ(a.c->segments, k.stored) << k.requested;
        if (k.stored == k.requested)
            EXPECT_TRUE(a.lines.empty()) << k.requested;
        else
            EXPECT_EQ(a.lines, std::vector<std::string>{"Número de segmentos no gráfico ajustado para " +
                                                        std::to_string(k.stored)});
        EXPECT_EQ(a.e->block_count, k.stored + 2);
        EXPECT_EQ(a.e->block_size, 3);
    }
}

TEST(ResetSweep, ClearsPointsExtremesAndFlags) {
    Analysis a(rc_lowpass, 2);
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    a.sw->cursor = 17;
    a.sw->pz_valid = true;
    reset_sweep(*a.c, *a.e, *a.sw, a.log);
    for (int p = 0; p <= a.c->segments; ++p) ASSERT_FALSE(a.sw->points[p].computed);
    EXPECT_EQ(a.sw->node_max[2], 0);
    EXPECT_EQ(a.sw->node_min[2], 1e37L);
    EXPECT_EQ(a.sw->cursor, 0);
    EXPECT_FALSE(a.sw->response_valid);
    EXPECT_FALSE(a.sw->pz_valid);
    EXPECT_TRUE(a.sw->deviations_stale);
}

TEST(ResetSweep, ACircuitWithoutElementsIsNotPrepared) {
    Analysis a("3\n* nothing but a comment\n");
    ASSERT_EQ(a.c->element_count, 0);
    reset_sweep(*a.c, *a.e, *a.sw, a.log);  // no budget rule, no division by zero
    EXPECT_EQ(a.c->segments, 400);
    EXPECT_FALSE(a.sw->prepared);
    EXPECT_FALSE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
}

TEST(Sweep, StoresTheResponseOfAnRcLowPassAtLogSpacedPoints) {
    Analysis a(rc_lowpass, 2);
    a.sw->scale_min[0] = 10;
    a.sw->scale_max[0] = 1e5L;
    std::vector<int> segments;
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log, [&](int p) { segments.push_back(p); }));
    const int n = a.c->segments;
    ASSERT_EQ(static_cast<int>(segments.size()), n);
    for (int p = 1; p <= n; ++p) ASSERT_EQ(segments[p - 1], p);
    const long double ratio = std::pow(1e4L, 1.0L / n);
    for (int p = 0; p <= n; p += 37) {
        const PointRecord& pt = a.sw->points[p];
        ASSERT_TRUE(pt.computed);
        EXPECT_NEAR(pt.frequency / (10 * std::pow(ratio, p)), 1, 1e-15L);
        const long double w = pt.frequency, tau = 1e-3L;
        const C t = 1.0L / (1.0L + C(0, w * tau));
        EXPECT_NEAR(pt.t_re, t.real(), 1e-17L);
        EXPECT_NEAR(pt.t_im, t.imag(), 1e-17L);
        EXPECT_NEAR(pt.module, -10 * std::log10(1 + w * w * tau * tau), 1e-12L);
        EXPECT_NEAR(pt.phase, -std::atan(w * tau) * 180 / std::numbers::pi_v<long double>, 1e-12L);
        EXPECT_NEAR(pt.delay, tau / (1 + w * w * tau * tau), 1e-15L);
    }
    EXPECT_NEAR(a.sw->points[n].frequency, 1e5L, 1e-9L);
    EXPECT_EQ(a.sw->last_point, n);
    EXPECT_TRUE(a.sw->response_valid);
    EXPECT_FALSE(a.sw->deviations_stale);
}

TEST(Sweep, LinearScaleAndHertz) {
    Analysis a(rc_lowpass, 2);
    a.sw->log_scale = false;
    a.sw->hertz_units = true;
    a.sw->scale_min[0] = 100;
    a.sw->scale_max[0] = 300;
    a.c->segments = 4;
    reset_sweep(*a.c, *a.e, *a.sw, a.log);
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    for (int p = 0; p <= 4; ++p) {
        const long double f = 100 + 50 * p;
        EXPECT_EQ(a.sw->points[p].frequency, f);
        const C t = 1.0L / (1.0L + C(0, 6.283185307179586L * f * 1e-3L));
        EXPECT_NEAR(a.sw->points[p].t_im, t.imag(), 1e-17L);
    }
    EXPECT_EQ(frequency_unit_name(*a.sw), "Hz");
    a.sw->hertz_units = false;
    EXPECT_EQ(frequency_unit_name(*a.sw), "rad/s");
}

TEST(Sweep, RepaintsReuseComputedPoints) {
    Analysis a(sallen_key, 4);
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    EXPECT_EQ(a.e->solve_count, a.c->segments + 1);
    int calls = 0;
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log, [&](int) { ++calls; }));
    EXPECT_EQ(a.e->solve_count, a.c->segments + 1) << "a repaint solves nothing";
    EXPECT_EQ(calls, a.c->segments) << "but draws every segment";
}

TEST(Sweep, NodeExtremesFollowTheComputedPoints) {
    Analysis a(rc_lowpass, 2);
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    EXPECT_EQ(a.sw->node_min[1], 1);
    EXPECT_EQ(a.sw->node_max[1], 1);
    EXPECT_NEAR(a.sw->node_max[2], 1 / std::sqrt(1 + 0.04e-6L), 1e-17L);  // at 0.2 rad/s
    EXPECT_NEAR(a.sw->node_min[2], 1 / std::sqrt(1 + 25e-6L), 1e-17L);    // at 5 rad/s
}

TEST(Sweep, NegativeRealResponseReadsPlus180) {
    Analysis a("2\nV1 1 0 1\nE1 2 0 1 0 -3\n", 2);
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    EXPECT_GT(a.sw->points[0].phase, 179.99999999L);
    EXPECT_LE(a.sw->points[0].phase, 180);
    EXPECT_NEAR(a.sw->points[0].module, 20 * std::log10(3.0L), 1e-13L);
}

TEST(PhaseAngle, FourQuadrantsWithTheZeroReplacements) {
    const long double pi = std::numbers::pi_v<long double>;
    struct Case {
        long double im, re, want;
    };
    const Case cases[] = {
        {0, -1, pi - 1e-10L},     // negative real: +180, not -180
        {0, 2, 5e-11L},           // positive real
        {1, 0, pi / 2 - 1e-10L},  // re 0 becomes 1e-10 * |im|
        {-1, 0, -pi / 2 + 1e-10L},
        {1, 1, pi / 4},
        {1, -1, 3 * pi / 4},
        {-1, -1, -3 * pi / 4},
        {0, 0, std::atan(1e10L)},  // both zero: im 1e-10, re 1e-20
    };
    for (const Case& k : cases) EXPECT_NEAR(phase_angle(k.im, k.re), k.want, 1e-18L) << k.im << " " << k.re;
}

TEST(Sweep, RefusesFrequencyRangesItCannotEvaluate) {
    {
        Analysis a(rc_lowpass, 2);
        a.sw->scale_min[0] = 0;
        EXPECT_FALSE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
        EXPECT_EQ(a.lines.back(), "* A escala logarítmica exige frequências positivas.");
        EXPECT_EQ(a.e->solve_count, 0);
    }
    for (const bool log_scale : {true, false}) {  // an empty or reversed range
        for (const Real fmax : {5.0L, 4.0L}) {
            Analysis a(rc_lowpass, 2);
            a.sw->log_scale = log_scale;
            a.sw->scale_min[0] = 5;
            a.sw->scale_max[0] = fmax;
            EXPECT_FALSE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
            EXPECT_EQ(a.lines.back(), "* A frequência mínima deve ser menor que a máxima.");
            EXPECT_EQ(a.e->solve_count, 0);
            EXPECT_FALSE(a.sw->response_valid);
        }
    }
    {
        Analysis a(rc_lowpass, 2);
        a.sw->log_scale = false;
        a.sw->scale_min[0] = -2;
        a.sw->scale_max[0] = 2;
        a.c->segments = 4;
        reset_sweep(*a.c, *a.e, *a.sw, a.log);
        EXPECT_FALSE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
        EXPECT_EQ(a.lines.back(), "* Frequência nula não pode ser analisada.");
        EXPECT_TRUE(a.sw->points[1].computed);
        EXPECT_FALSE(a.sw->points[2].computed);
        EXPECT_FALSE(a.sw->response_valid);
    }
    {
        Analysis a(rc_lowpass, 2);
        forget_response(*a.sw);  // another netlist was read
        EXPECT_FALSE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
        EXPECT_EQ(a.e->solve_count, 0);
    }
}

TEST(Sweep, SingularPointStopsTheSweepWithTheFatalError) {
    Analysis a("3\nV1 1 0 1\nR1 1 2 1E3\nC1 2 3 1E-6\nL1 3 0 1E-3\nC2 3 0 1E-6\n", 2);
    a.s.pivot_tolerance = 1e3L;
    EXPECT_THROW(sweep(*a.c, *a.e, *a.sw, a.s, a.log), suite::FatalError);
    EXPECT_FALSE(a.sw->response_valid);
}

// Every point of `moved` equals a fresh sweep over the same band.
void expect_same_as_fresh(Analysis& moved, const std::string& netlist, int output) {
    Analysis fresh(netlist, output);
    fresh.sw->scale_min = moved.sw->scale_min;
    fresh.sw->scale_max = moved.sw->scale_max;
    fresh.sw->log_scale = moved.sw->log_scale;
    ASSERT_TRUE(sweep(*fresh.c, *fresh.e, *fresh.sw, fresh.s, fresh.log));
    for (int p = 0; p <= moved.c->segments; ++p) {
        const PointRecord &m = moved.sw->points[p], &f = fresh.sw->points[p];
        ASSERT_NEAR(m.frequency / f.frequency, 1, 1e-14L) << p;
        ASSERT_NEAR(m.module, f.module, 1e-10L) << p;
        ASSERT_NEAR(m.phase, f.phase, 1e-10L) << p;
        ASSERT_NEAR(m.module_dev, f.module_dev, 1e-10L) << p;
        for (int i = 1; i <= moved.c->element_count; ++i)
            ASSERT_TRUE(near(moved.S(p, i), fresh.S(p, i), 1e-9L, 1e-9L)) << p << " " << i;
    }
}

TEST(PanAndZoom, KeepValidPointsAndSolveOnlyTheVacatedOnes) {
    struct Case {
        const char* what;
        bool (*move)(Circuit&, Engine&, Sweep&);
        bool log_scale;
        int cursor_before, cursor_after;
    };
    const Case cases[] = {
        {"pan down, log", pan_frequency_down, true, 150, 350},
        {"pan down, linear", pan_frequency_down, false, 250, 400},
        {"pan up, log", pan_frequency_up, true, 250, 50},
        {"pan up, linear", pan_frequency_up, false, 150, 0},
        {"zoom in, log", zoom_frequency_in, true, 150, 300},
        {"zoom in, linear", zoom_frequency_in, false, 201, 400},
        {"zoom out, log", zoom_frequency_out, true, 151, 75},
        {"zoom out, linear", zoom_frequency_out, false, 400, 200},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Analysis a(sallen_key, 4);
        a.sw->log_scale = k.log_scale;
        a.sw->scale_min[0] = k.log_scale ? 100 : 20000;
        a.sw->scale_max[0] = k.log_scale ? 1e5L : 30000;
        ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
        a.sw->cursor = k.cursor_before;
        const long long solved = a.e->solve_count;
        ASSERT_TRUE(k.move(*a.c, *a.e, *a.sw));
        EXPECT_EQ(a.sw->cursor, k.cursor_after);
        EXPECT_FALSE(a.sw->response_valid);
        ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
        EXPECT_EQ(a.e->solve_count - solved, a.c->segments / 2);
        expect_same_as_fresh(a, sallen_key, 4);
    }
}

TEST(PanAndZoom, LimitsOfTheFrequencyAxis) {
    Analysis a(rc_lowpass, 2);
    a.sw->scale_min[0] = 1e-12L;
    EXPECT_FALSE(pan_frequency_down(*a.c, *a.e, *a.sw));
    EXPECT_EQ(a.sw->scale_min[0], 1e-12L);
    a.sw->scale_max[0] = 1e12L;
    EXPECT_FALSE(pan_frequency_up(*a.c, *a.e, *a.sw));
    EXPECT_FALSE(zoom_frequency_out(*a.c, *a.e, *a.sw));
    EXPECT_EQ(a.sw->scale_max[0], 1e12L);
    EXPECT_TRUE(zoom_frequency_in(*a.c, *a.e, *a.sw));
    EXPECT_EQ(a.sw->scale_max[0], 1);  // √(1e12 · 1e-12)
}

}  // namespace
}  // namespace analysis::testing
