// Noise at the sweep's points against closed forms (RC, divider, inverting
// and non-inverting amplifiers with ideal and gain-bandwidth op-amps), and
// the noise voltage of an ideal op-amp's input against the same voltage
// written into the netlist as a source.
#include "analysis/engine/noise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "analysis/engine/engine_testing.h"

namespace analysis {
namespace {

using testing::Analysis;
constexpr Real kt4 = 4 * boltzmann * 300.15L;

// The sweep of `net` at `output` over 10 Hz .. 1 MHz with noise.
struct Noisy : Analysis {
    Noisy(const std::string& net, int output, const NoiseSettings& n) : Analysis(net, output) {
        sw->hertz_units = true;
        sw->scale_min[q_frequency] = 10;
        sw->scale_max[q_frequency] = 1e6;
        c->segments = 40;
        EXPECT_TRUE(start_analysis(*c, *e, *sw, s, output, 1, log));
        prepare_noise(*c, *sw, n);
        EXPECT_TRUE(sweep(*c, *e, *sw, s, log));
    }
    // Source k's power at point p, and its name.
    Real power(int p, std::size_t k) const {
        return sw->noise_power[static_cast<std::size_t>(p) * sw->noise_sources.size() + k];
    }
};

Real omega(const Sweep& sw, int p) { return 2 * std::numbers::pi_v<Real> * sw.points[p].frequency; }

TEST(Noise, ResistorsAgainstClosedForms) {
    NoiseSettings on{.on = true, .opamps = {}, .named = {}};
    // RC low-pass, R 1k, C 1n: 4kTR/(1 + (ωRC)²) at the output.
    const Noisy rc("2\nV1 1 0 1\nR1 1 2 1000\nC1 2 0 1e-9\n", 2, on);
    ASSERT_EQ(rc.sw->noise_sources.size(), 1u);
    for (int p = 0; p <= 40; p += 5) {
        const Real x = omega(*rc.sw, p) * 1e-6L;
        EXPECT_NEAR(rc.sw->points[p].noise * rc.sw->points[p].noise / (kt4 * 1000 / (1 + x * x)), 1, 1e-12);
    }
    // A divider: each resistor (4kT/R)·(R1‖R2)², together 4kT·(R1‖R2).
    const Noisy div("2\nV1 1 0 1\nR1 1 2 3000\nR2 2 0 1000\n", 2, on);
    const Real par = 750;
    EXPECT_NEAR(div.power(0, 0) / (kt4 / 3000 * par * par), 1, 1e-12);
    EXPECT_NEAR(div.power(0, 1) / (kt4 / 1000 * par * par), 1, 1e-12);
    EXPECT_NEAR(div.sw->points[0].noise * div.sw->points[0].noise / (kt4 * par), 1, 1e-12);
    // The temperature counts in kelvin.
    NoiseSettings hot = on;
    hot.celsius = 127;
    const Noisy warm("2\nV1 1 0 1\nR1 1 2 3000\nR2 2 0 1000\n", 2, hot);
    EXPECT_NEAR(warm.power(0, 0) / div.power(0, 0), 400.15L / 300.15L, 1e-12);
    // No resistor and no op-amp noise: exactly nothing.
    const Noisy none("3\nV1 1 0 1\nC1 1 2 1e-9\nC2 2 0 1e-9\nO1 3 2 3\n", 3, on);
    EXPECT_TRUE(none.sw->noise_sources.empty());
    EXPECT_EQ(none.sw->points[7].noise, 0);
}

TEST(Noise, OpAmpsAgainstClosedForms) {
    // Inverting amplifier Rin 1k, Rf 10k: en·(1 + Rf/Rin), in·Rf at the
    // inverting input; the grounded one is no source; Rin 4kT/Rin·Rf², Rf 4kT·Rf.
    NoiseSettings n{.on = true, .opamps = {10e-9L, 2e-12L}, .named = {}};
    const Noisy inv("3\nV1 1 0 1\nR1 1 2 1000\nR2 2 3 10000\nO1 2 0 3\n", 3, n);
    ASSERT_EQ(inv.sw->noise_sources.size(), 4u);
    const std::vector<Real> want = {kt4 / 1000 * 1e8L, kt4 * 1e4L, 100e-18L * 121, 4e-24L * 1e8L};
    for (std::size_t k = 0; k < want.size(); ++k) {
        EXPECT_NEAR(inv.power(10, k), want[k], 1e-12L * want[k]) << k;
    }
    // Non-inverting amplifier with a source resistance of 5k at the + input:
    // en·(1 + Rf/Rg), in·Rs at +, in·(Rf‖Rg)·(1 + Rf/Rg) at −.
    const Noisy non("4\nV1 1 0 1\nR1 1 2 5000\nR2 3 0 1000\nR3 3 4 9000\nO1 3 2 4\n", 4, n);
    const Real g = 10, rs = 5000, par = 900;
    const std::vector<Real> want2 = {kt4 / rs * rs * rs * g * g, kt4 / 1000 * 9000 * 9000,
                                     kt4 / 9000 * 9000 * 9000,   100e-18L * g * g,
                                     4e-24L * 9000 * 9000,       4e-24L * rs * rs * g * g};
    (void)par;
    for (std::size_t k = 0; k < want2.size(); ++k) {
        EXPECT_NEAR(non.power(10, k), want2[k], 1e-12L * want2[k]) << k;
    }
    // An op-amp named apart, another left at zero: its sources are left out.
    NoiseSettings named{.on = true, .opamps = {}, .named = {{"o1", {1e-9L, 0}}}};
    const Noisy one("3\nV1 1 0 1\nR1 1 2 1000\nR2 2 3 10000\nO1 2 0 3\n", 3, named);
    ASSERT_EQ(one.sw->noise_sources.size(), 3u);
    EXPECT_NEAR(one.power(0, 2), 1e-18L * 121, 1e-30L);
    EXPECT_EQ(unknown_noise_name(*one.c, {.on = true, .opamps = {}, .named = {{"O2", {}}}}), "O2");
    // The gain-bandwidth op-amp: en·(1 + Rf/Rin)/(1 + (1 + Rf/Rin)/A(jω)), A = GB/(jω) (Ro 0 in effect).
    const Noisy gb("3\nV1 1 0 1\nR1 1 2 1000\nR2 2 3 10000\nA1 2 0 3 6.283185307179586e6 1e-6\n", 3, n);
    for (int p = 0; p <= 40; p += 8) {
        const std::complex<Real> a(0, -6.283185307179586e6L / omega(*gb.sw, p));
        const Real gain = std::abs(11.0L / (1.0L + 11.0L / a));
        EXPECT_NEAR(gb.power(p, 2) / (100e-18L * gain * gain), 1, 1e-6) << p;
    }
}

// The noise voltage of an ideal op-amp's input, against a 1 V source
// written in series with that input (the circuit's own source at 0 V).
TEST(Noise, IdealOpAmpInputVoltageIsASeriesSource) {
    struct Row {
        std::string with_noise, with_source;
        int output;
    };
    const std::vector<Row> rows = {
        // Sallen-Key low-pass: the + input at node 3.
        {"4\nV1 1 0 1\nR1 1 2 10000\nR2 2 3 10000\nC1 2 4 22e-9\nC2 3 0 10e-9\nO1 4 3 4\n",
         "5\nV1 1 0 0\nR1 1 2 10000\nR2 2 3 10000\nC1 2 4 22e-9\nC2 3 0 10e-9\nO1 4 5 4\nVN 5 3 1\n", 4},
        // Multiple feedback: + grounded, the − input at node 3.
        {"4\nV1 1 0 1\nR1 1 2 10000\nR2 2 4 10000\nR3 2 3 10000\nC1 2 0 47e-9\nC2 3 4 4.7e-9\nO1 3 0 4\n",
         "5\nV1 1 0 0\nR1 1 2 10000\nR2 2 4 10000\nR3 2 3 10000\nC1 2 0 47e-9\nC2 3 4 4.7e-9\nO1 5 0 4\nVN 3 "
         "5 1\n",
         4},
        // Two op-amps sharing a node, with a VCVS and a transconductance on the input node.
        {"4\nV1 1 0 1\nR1 1 2 1000\nG1 4 0 2 0 1e-4\nE1 3 0 2 0 0.5\nR2 2 3 2000\nO1 2 0 4\nR3 4 2 5000\n",
         "5\nV1 1 0 0\nR1 1 2 1000\nG1 4 0 2 0 1e-4\nE1 3 0 2 0 0.5\nR2 2 3 2000\nO1 5 0 4\nVN 2 5 1\nR3 4 2 "
         "5000\n",
         4},
        // A non-inverting amplifier whose + input a VCVS drives, and a
        // transconductance controlled there into the feedback node.
        {"4\nV1 1 0 1\nE1 2 0 1 0 1\nO1 3 2 4\nR1 3 0 1000\nR2 4 3 9000\nG1 3 0 2 0 1e-3\n",
         "5\nV1 1 0 0\nE1 2 0 1 0 1\nO1 3 5 4\nR1 3 0 1000\nR2 4 3 9000\nVN 5 2 1\nG1 3 0 2 0 1e-3\n", 4},
    };
    NoiseSettings n{.on = true, .opamps = {1, 0}, .named = {}};
    for (const Row& r : rows) {
        const Noisy a(r.with_noise, r.output, n);
        const Noisy b(r.with_source, r.output, {});
        std::size_t en = a.sw->noise_sources.size() - 1;
        ASSERT_EQ(a.sw->noise_sources[en].kind, NoiseKind::opamp_voltage);
        for (int p = 0; p <= 40; p += 4) {
            const Real want =
                b.sw->points[p].t_re * b.sw->points[p].t_re + b.sw->points[p].t_im * b.sw->points[p].t_im;
            EXPECT_NEAR(a.power(p, en) / want, 1, 1e-9) << r.output << " " << p;
        }
    }
}

}  // namespace
}  // namespace analysis
