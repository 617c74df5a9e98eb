// The pole and zero finder against closed forms, and every point it finds
// against the pole/zero run: each pole with every observer of its loop,
// each zero at the output node.
#include "analysis/polezero/polezero_finder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "analysis/polezero/polezero_testing.h"
#include "common/errors.h"

namespace analysis {
namespace {

using Points = std::vector<PoleZeroPoint>;

const Real r15 = std::sqrt(15.0L) / 2, r3 = std::sqrt(3.0L) / 2;

struct Case {
    const char* name;
    std::string netlist;
    int output;
    Points poles;
    Points zeros;
    int poles_at_origin = 0, zeros_at_origin = 0, zeros_at_infinity = 0;
    Points cancelled;
};

// Third-order Butterworth ladder (1 ohm, C 1, L 2, C 1, 1 ohm) scaled to
// R0 ohms and w0 rad/s: poles w0·(-1, -1/2 ± j·√3/2).
std::string butterworth3(Real r0, Real w0) {
    auto text = [](Real x) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.21Lg", x);
        return std::string(buf);
    };
    return "3\nV1 1 0 1\nRS 1 2 " + text(r0) + "\nC1 2 0 " + text(1 / (r0 * w0)) + "\nL2 2 3 " +
           text(2 * r0 / w0) + "\nC3 3 0 " + text(1 / (r0 * w0)) + "\nRL 3 0 " + text(r0) + "\n";
}

Points butterworth3_poles(Real w0) { return {{-w0, 0}, {-w0 / 2, w0 * r3}, {-w0 / 2, -w0 * r3}}; }

std::vector<Case> cases() {
    const std::string rlc = "3\nV1 1 0 1\nR1 1 2 1\nL1 2 3 1\nC1 3 0 0.25\n";  // s² + s + 4
    return {
        {"second order, capacitor voltage", rlc, 3, {{-0.5L, r15}, {-0.5L, -r15}}, {}, 0, 0, 2, {}},
        {"notch: the L1 C1 branch", rlc, 2, {{-0.5L, r15}, {-0.5L, -r15}}, {{0, 2}, {0, -2}}, 0, 0, 0, {}},
        {"third order", butterworth3(1, 1), 3, butterworth3_poles(1), {}, 0, 0, 3, {}},
        {"third order at 1e9 rad/s", butterworth3(50, 1e9L), 3, butterworth3_poles(1e9L), {}, 0, 0, 3, {}},
        {"third order at 0.01 rad/s",
         butterworth3(1e4L, 1e-2L),
         3,
         butterworth3_poles(1e-2L),
         {},
         0,
         0,
         3,
         {}},
        // 1 - 2·(band-pass of the loop): (s² - s + 4)/(s² + s + 4).
        {"all-pass",
         "5\nV1 1 0 1\nL1 1 2 1\nC1 2 3 0.25\nR1 3 0 1\nE1 4 0 1 3 1\nE2 5 4 3 0 -1\n",
         5,
         {{-0.5L, r15}, {-0.5L, -r15}},
         {{0.5L, r15}, {0.5L, -r15}},
         0,
         0,
         0,
         {}},
        // Ideal integrator, then an RC section: -1/s · 1/(1 + s/2).
        {"pole at the origin",
         "4\nV1 1 0 1\nR1 1 2 1\nC1 2 3 1\nO1 2 0 3\nR2 3 4 1\nC2 4 0 0.5\n",
         4,
         {{-2, 0}},
         {},
         1,
         0,
         2,
         {}},
        {"zero at the origin", "2\nV1 1 0 1\nC1 1 2 1\nR1 2 0 1\n", 2, {{-1, 0}}, {}, 0, 1, 0, {}},
        // A second RC section hangs on the source but not on the output.
        {"cancelled pair",
         "3\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\nR2 1 3 1\nC2 3 0 0.25\n",
         2,
         {{-1, 0}},
         {},
         0,
         0,
         1,
         {{-4, 0}}},
        // A follower with gain-bandwidth 1000 and Ro = RL: pole at -GB/2.
        {"op-amp follower",
         "3\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\nA1 3 2 3 1000 1\nR3 3 0 1\n",
         3,
         {{-1, 0}, {-500, 0}},
         {},
         0,
         0,
         2,
         {}},
        // Coupled coils, k = 0.5: 0.75s² + 2s + 1, and s·M at the secondary.
        {"coupled inductors",
         "3\nV1 1 0 1\nR1 1 2 1\nK1 2 0 3 0 1 1 0.5\nR2 3 0 1\n",
         3,
         {{-2.0L / 3, 0}, {-2, 0}},
         {},
         0,
         1,
         1,
         {}},
    };
}

// Every expected point has a found one within a relative 1e-12, one to one.
void expect_same_points(const Points& found, const Points& expected) {
    ASSERT_EQ(found.size(), expected.size());
    std::vector<bool> used(found.size(), false);
    for (const PoleZeroPoint& x : expected) {
        const Real size = std::hypot(x.re, x.im);
        bool matched = false;
        for (std::size_t k = 0; k < found.size() && !matched; ++k)
            if (!used[k] && std::hypot(found[k].re - x.re, found[k].im - x.im) <= 1e-12L * size)
                used[k] = matched = true;
        EXPECT_TRUE(matched) << "missing " << static_cast<double>(x.re) << " " << static_cast<double>(x.im);
    }
}

TEST(PoleZeroFinder, FindsTheClosedFormsAndReportsTheOriginInfinityAndCancelledPairs) {
    for (const Case& x : cases()) {
        SCOPED_TRACE(x.name);
        testing::PoleZeroBench b(x.netlist, x.output, "finder");
        const PoleZeroSearch p = find_poles_zeros(*b.circuit, b.settings, true);
        expect_same_points(p.found, x.poles);
        EXPECT_EQ(p.at_origin, x.poles_at_origin);
        EXPECT_EQ(p.at_infinity, 0);
        expect_same_points(p.cancelled, x.cancelled);
        EXPECT_TRUE(p.unconfirmed.empty());
        const PoleZeroSearch z = find_poles_zeros(*b.circuit, b.settings, false);
        expect_same_points(z.found, x.zeros);
        EXPECT_EQ(z.at_origin, x.zeros_at_origin);
        EXPECT_EQ(z.at_infinity, x.zeros_at_infinity);
        expect_same_points(z.cancelled, x.cancelled);
        EXPECT_TRUE(z.unconfirmed.empty());
        // Conjugates are exact.
        for (const PoleZeroPoint& q : p.found) {
            if (q.im <= 0) continue;
            EXPECT_TRUE(std::any_of(p.found.begin(), p.found.end(),
                                    [&](const PoleZeroPoint& c) { return c.re == q.re && c.im == -q.im; }));
        }
    }
}

std::string file_text(const Points& points) {
    std::string text;
    for (const std::string& line : pole_zero_file_lines(points)) text += line + "\n";
    return text;
}

// Whether observer k sees the pole p: the determinant of the circuit
// without k does not vanish there (against its size on a ring around p).
bool sees(Circuit& c, int k, PoleZeroPoint p) {
    auto e = std::make_unique<Engine>();
    allocate_sensitivity_blocks(*e, c.element_count, 1);
    e->observer_mode = true;
    e->observer_element = k;
    auto size_at = [&](Real re, Real im) -> Real {
        e->sigma = re;
        e->omega = im;
        try {
            build_and_solve(c, *e, std::numeric_limits<Real>::min());
        } catch (const suite::FatalError&) {  // exactly singular
            return -std::numeric_limits<Real>::infinity();
        }
        const ScaledComplex d = system_determinant(e->system, c.equation_count);
        return std::log2(std::hypot(d.m.re, d.m.im)) + d.e;  // log2 |D|
    };
    const Real at = size_at(p.re, p.im), r = 1e-3L * std::hypot(p.re, p.im);
    for (int q = 0; q < 4; ++q) {
        const Real a = std::numbers::pi_v<Real> * (2 * q + 1) / 4;
        if (at < size_at(p.re + r * std::cos(a), p.im + r * std::sin(a)) - 20) return false;  // 1e-6
    }
    return at > -std::numeric_limits<Real>::infinity();
}

TEST(PoleZeroFinder, TheRunAcceptsEveryPoleWithEachObserverOfItsLoopAndEveryZero) {
    for (const Case& x : cases()) {
        SCOPED_TRACE(x.name);
        testing::PoleZeroBench b(x.netlist, x.output, "finder_run");
        const Points poles = find_poles_zeros(*b.circuit, b.settings, true).found;
        std::vector<int> seen(poles.size(), 0);
        for (int k = 1; k <= b.circuit->element_count; ++k) {
            if (!is_observer_element(*b.circuit, k)) continue;
            Points visible;
            for (std::size_t i = 0; i < poles.size(); ++i)
                if (sees(*b.circuit, k, poles[i])) visible.push_back(poles[i]), ++seen[i];
            if (visible.empty()) continue;
            SCOPED_TRACE("observer " + b.circuit->elements[k].name);
            b.engine->observer_element = k;
            b.sweep->pz_valid = false;
            ASSERT_TRUE(b.run(true, file_text(visible)));
            ASSERT_EQ(b.set->entry_count, static_cast<int>(visible.size()));
            for (int e = 1; e <= b.set->entry_count; ++e) {
                EXPECT_TRUE(b.set->entries[e].valid) << "pole " << e;
                EXPECT_EQ(b.set->entries[e].Re, visible[e - 1].re);  // read back exactly
                EXPECT_EQ(b.set->entries[e].Im, visible[e - 1].im);
            }
        }
        for (std::size_t i = 0; i < poles.size(); ++i) EXPECT_GT(seen[i], 0) << "pole " << i << " unseen";

        const Points zeros = find_poles_zeros(*b.circuit, b.settings, false).found;
        b.sweep->pz_valid = false;
        ASSERT_TRUE(b.run(false, file_text(zeros)));
        for (int e = 1; e <= b.set->entry_count; ++e) EXPECT_TRUE(b.set->entries[e].valid) << "zero " << e;
    }
}

TEST(PoleZeroFinder, DeterminantIsThePivotProductSignedByTheExchangesInItsOwnRange) {
    auto sys = std::make_unique<NodalSystem>();
    NodeMap rows{};
    for (int k = 0; k <= max_variables; ++k) rows[k] = static_cast<std::uint8_t>(k);
    // Rows 1 and 2 exchange: det = -(1·2·(3 + 4j)).
    clear_system(*sys, 3);
    add_to_matrix(*sys, 1, 2, 2, 0);
    add_to_matrix(*sys, 2, 1, 1, 0);
    add_to_matrix(*sys, 3, 3, 3, 4);
    ASSERT_TRUE(factor_and_solve(*sys, 3, rows, 3, std::numeric_limits<Real>::min()));
    ScaledComplex d = system_determinant(*sys, 3);
    EXPECT_EQ(std::ldexp(d.m.re, static_cast<int>(d.e)), -6);
    EXPECT_EQ(std::ldexp(d.m.im, static_cast<int>(d.e)), -8);
    // A hundred pivots of 1e-60: 1e-6000, far below the smallest Real.
    clear_system(*sys, 100);
    for (int k = 1; k <= 100; ++k) add_to_matrix(*sys, k, k, 1e-60L, 0);
    ASSERT_TRUE(factor_and_solve(*sys, 100, rows, 100, std::numeric_limits<Real>::min()));
    d = system_determinant(*sys, 100);
    EXPECT_NEAR(static_cast<double>(std::log10(d.m.re) + d.e * std::log10(2.0L)), -6000, 1e-9);
}

// 99 RC sections: 99 real poles over four decades, more than one circle
// resolves. Any left out of reach are counted, never taken for poles at
// the origin, and every pole written is right.
TEST(PoleZeroFinder, PolesOutOfReachOfTheCircleAreCountedNotMisplaced) {
    std::string net = "100\nV1 1 0 1\n";
    for (int k = 1; k <= 99; ++k)
        net += "R" + std::to_string(k) + " " + std::to_string(k) + " " + std::to_string(k + 1) + " 1E3\nC" +
               std::to_string(k) + " " + std::to_string(k + 1) + " 0 1E-9\n";
    testing::PoleZeroBench b(net, 100, "finder_ladder");
    const PoleZeroSearch r = find_poles_zeros(*b.circuit, b.settings, true);
    EXPECT_EQ(r.at_origin, 0);
    EXPECT_EQ(r.found.size() + r.unconfirmed.size() + static_cast<std::size_t>(r.unresolved), 99u);
    EXPECT_GT(r.found.size(), 50u);
    for (const PoleZeroPoint& p : r.found) {  // 1e6·(2 - 2·cos((2k - 1)π/199))
        const Real k = (std::acos(1 + p.re / 2e6L) * 199 / std::numbers::pi_v<Real> + 1) / 2;
        EXPECT_NEAR(static_cast<double>(k), std::round(static_cast<double>(k)), 1e-6);
        EXPECT_EQ(p.im, 0);
    }
}

// Beyond the first circle: the poles of the 99 sections, 1e6·4·sin²((2k - 1)π/398)
// from 249 rad/s to 4e6 rad/s, all found, each within a relative 1e-12.
TEST(PoleZeroFinder, FindsEveryPoleOfAnRcLadderSpreadOverFourDecades) {
    std::string net = "100\nV1 1 0 1\n";
    for (int k = 1; k <= 99; ++k)
        net += "R" + std::to_string(k) + " " + std::to_string(k) + " " + std::to_string(k + 1) + " 1E3\nC" +
               std::to_string(k) + " " + std::to_string(k + 1) + " 0 1E-9\n";
    testing::PoleZeroBench b(net, 100, "finder_wide");
    const PoleZeroSearch r = find_poles_zeros(*b.circuit, b.settings, true);
    Points expected;
    for (int k = 1; k <= 99; ++k) {
        const Real x = std::sin((2 * k - 1) * std::numbers::pi_v<Real> / 398);
        expected.push_back({-4e6L * x * x, 0});
    }
    expect_same_points(r.found, expected);
    EXPECT_EQ(r.unresolved, 0);
    EXPECT_TRUE(r.unconfirmed.empty());
}

// Buffered sections a decade or half a decade apart, 1 to 1e10 rad/s: the
// roots far from the first circle lie on both sides of it, in conjugate
// pairs or as zeros.
TEST(PoleZeroFinder, FindsRootsOverTenDecadesOnBothSidesOfTheFirstCircle) {
    auto text = [](Real x) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.21Lg", x);
        return std::string(buf);
    };
    const Real q = 2, im = std::sqrt(1 - 1 / (4 * q * q));
    std::string resonators = "34\nV1 1 0 1\n", shelves = "64\nV1 1 0 1\n";
    Points pairs, poles, zeros;
    for (int k = 0; k <= 10; ++k) {  // R L C to ground, Q = 2, at 10^k rad/s
        const Real w = std::pow(10.0L, Real(k));
        const std::string n = std::to_string(k), in = std::to_string(3 * k + 1),
                          a = std::to_string(3 * k + 2), c = std::to_string(3 * k + 3),
                          out = std::to_string(3 * k + 4);
        resonators += "R" + n + " " + in + " " + a + " " + text(1 / q) + "\nL" + n + " " + a + " " + c + " " +
                      text(1 / w) + "\nC" + n + " " + c + " 0 " + text(1 / w) + "\nE" + n + " " + out +
                      " 0 " + c + " 0 1\n";
        pairs.insert(pairs.end(), {{-w / (2 * q), w * im}, {-w / (2 * q), -w * im}});
    }
    for (int k = 0; k <= 20; ++k) {  // R then R + C to ground: zero at -10^(k/2), pole at half of it
        const Real w = std::pow(10.0L, k / 2.0L);
        const std::string n = std::to_string(k), in = std::to_string(3 * k + 1),
                          a = std::to_string(3 * k + 2), c = std::to_string(3 * k + 3),
                          out = std::to_string(3 * k + 4);
        shelves += "R" + n + " " + in + " " + a + " 1\nR" + n + "z " + a + " " + c + " 1\nC" + n + " " + c +
                   " 0 " + text(1 / w) + "\nE" + n + " " + out + " 0 " + a + " 0 1\n";
        poles.push_back({-w / 2, 0});
        zeros.push_back({-w, 0});
    }
    testing::PoleZeroBench r(resonators, 34, "finder_resonators");
    PoleZeroSearch p = find_poles_zeros(*r.circuit, r.settings, true);
    expect_same_points(p.found, pairs);
    EXPECT_EQ(p.unresolved, 0);
    testing::PoleZeroBench s(shelves, 64, "finder_shelves");
    p = find_poles_zeros(*s.circuit, s.settings, true);
    expect_same_points(p.found, poles);
    const PoleZeroSearch z = find_poles_zeros(*s.circuit, s.settings, false);
    expect_same_points(z.found, zeros);
    EXPECT_EQ(z.unresolved + z.at_origin + z.at_infinity, 0);
    EXPECT_TRUE(p.unconfirmed.empty() && z.unconfirmed.empty());
}

}  // namespace
}  // namespace analysis
