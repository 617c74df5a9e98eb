// The section circuits solved by the suite's own engine: every topology and
// shape gives ±K·N(s)/D(s) of its goal, the closed forms of measure agree
// with a fit of the engine's response on perturbed parts, the biquad's
// internal outputs peak at the level asked for, and the resistors rounded
// to a series stay within what the series allows.
#include "analysis/design/topology.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

#include "analysis/design/cascade.h"
#include "analysis/engine/engine_testing.h"

namespace analysis::design {
namespace {

const Real w1k = 6283.185307179586L;  // 1 kHz
const RealiseOptions e12{
    .impedance = 10e3, .capacitors = Series::e12, .peak = {}, .level = 1, .capacitors_kept = {}};

// One section as the engine solves it: the voltage of a local node, 1 V at the input.
class Solved {
public:
    explicit Solved(const SectionCircuit& s) : net_(cascade_netlist({.sections = {s}, .opamp = {}})) {
        std::string text;
        for (const std::string& line : netlist_lines(net_, {"section"})) text += line + "\n";
        a_ = std::make_unique<analysis::testing::Analysis>(text);
        allocate_sensitivity_blocks(*a_->e, a_->c->element_count, 1);
        a_->e->response_only = true;
    }
    ComplexReal at(ComplexReal s, int local = 2) {
        a_->e->sigma = s.real();
        a_->e->omega = s.imag();
        build_and_solve(*a_->c, *a_->e, 1e-30L);
        const Complex v =
            node_voltage(*a_->c, *a_->e, net_.section_nodes[0][static_cast<std::size_t>(local)]);
        return {v.re, v.im};
    }

private:
    CascadeNetlist net_;
    std::unique_ptr<analysis::testing::Analysis> a_;
};

std::string layout(const SectionCircuit& s) {
    std::string t;
    for (const Part& p : s.parts) t += p.role + "(" + std::to_string(p.a) + "," + std::to_string(p.b) + ") ";
    for (const OpAmp& o : s.opamps)
        t += "op" + o.role + " -" + std::to_string(o.minus) + " +" + std::to_string(o.plus) + " >" +
             std::to_string(o.out) + " ";
    return t;
}

// H(s) = (n2·s² + n1·s + n0)/(s² + b·s + c), or (n1·s + n0)/(s + c), fitted
// to the engine's response at real s around w.
struct Fit {
    Real n2 = 0, n1 = 0, n0 = 0, b = 0, c = 0;
};
Fit fit(Solved& solved, Real w, bool first) {
    const int n = first ? 3 : 5;
    const Real x[] = {0.45L, 0.8L, 1.1L, 1.9L, 3.3L};
    Real m[5][6];
    for (int k = 0; k < n; ++k) {
        const Real t = x[k], h = solved.at(t * w).real();  // in s/w
        const Real second[] = {t * t, t, 1, -h * t, -h, h * t * t}, one[] = {t, 1, -h, h * t};
        for (int j = 0; j <= n; ++j) m[k][j] = first ? one[j] : second[j];
    }
    for (int i = 0; i < n; ++i) {
        int p = i;
        for (int k = i + 1; k < n; ++k)
            if (std::fabs(m[k][i]) > std::fabs(m[p][i])) p = k;
        std::swap(m[i], m[p]);
        for (int k = 0; k < n; ++k)
            if (k != i)
                for (int j = n; j >= i; --j) m[k][j] -= m[k][i] / m[i][i] * m[i][j];
    }
    auto u = [&](int i) { return m[i][n] / m[i][i]; };
    if (first) return {0, u(0), u(1) * w, 0, u(2) * w};
    return {u(0), u(1) * w, u(2) * w * w, u(3) * w, u(4) * w * w};
}

void expect_relative(Real got, Real want, Real tolerance, const char* what) {
    EXPECT_NEAR(static_cast<double>(got / want), 1.0, static_cast<double>(tolerance)) << what;
}

struct Case {
    Topology t;
    SectionGoal goal;
    std::string layout;
};

SectionGoal goal(Shape shape, Real q, Real gain, Real w0 = w1k, Real wz = 0) {
    return {shape, w0, q, wz, gain};
}

const Real a707 = 3 - 1 / 0.7071L;

// The layouts of topology.h, as `layout` writes them.
const std::string sk = "R1(1,3) R2(3,4) C1(3,2) C2(4,0) ", skh = "C1(1,3) C2(3,4) R1(3,2) R2(4,0) ";
const std::string mfb_low = "R1(1,3) R2(3,2) R3(3,4) C1(3,0) C2(4,2) op -4 +0 >2 ";
const std::string mfb_high = "C1(1,3) C2(3,2) C3(3,4) R1(3,0) R2(4,2) op -4 +0 >2 ";
const std::string tt_low =
    "C1(3,4) R3(3,4) R1(8,3) R6(1,3) R2(4,5) C2(5,2) R4(2,7) R5(7,8) op1 -3 +0 >4 "
    "op2 -5 +0 >2 op3 -7 +0 >8 ";
const std::string tt_band =
    "C1(3,2) R3(3,2) R1(8,3) R6(1,3) R2(2,5) C2(5,6) R4(6,7) R5(7,8) op1 -3 +0 >2 "
    "op2 -5 +0 >6 op3 -7 +0 >8 ";
const std::string tt_high =
    "C1(3,4) R3(3,4) R1(8,3) R6(1,3) R2(4,5) C2(5,6) R4(6,7) R5(7,8) R7(1,9) R8(4,9) ";
const std::string tt_ops = "op1 -3 +0 >4 op2 -5 +0 >6 op3 -7 +0 >8 op4 -9 +0 >2 ";

std::vector<Case> cases() {
    const GainRange hp1 = gain_range(Topology::mfb, goal(Shape::highpass, 0.3L, 2), e12);
    const GainRange hp2 = gain_range(Topology::mfb, goal(Shape::highpass, 10, 0.47L, 2 * w1k), e12);
    using T = Topology;
    using S = Shape;
    return {
        {T::sallen_key_unity, goal(S::lowpass, 0.3L, 1, 50), sk + "op -2 +4 >2 "},
        {T::sallen_key_unity, goal(S::lowpass, 0.7071L, 0.4L), sk + "R3(3,0) op -2 +4 >2 "},
        {T::sallen_key_unity, goal(S::lowpass, 10, 1 + 5e-10L, 2e5), sk + "op -2 +4 >2 "},
        {T::sallen_key_unity, goal(S::highpass, 0.3L, 1), skh + "op -2 +4 >2 "},
        {T::sallen_key_unity, goal(S::highpass, 10, 1), skh + "op -2 +4 >2 "},
        {T::sallen_key_equal, goal(S::lowpass, 0.7071L, a707), sk + "R3(2,5) R4(5,0) op -5 +4 >2 "},
        {T::sallen_key_equal, goal(S::lowpass, 0.7071L, 1.2L), sk + "R3(2,5) R4(5,0) R5(3,0) op -5 +4 >2 "},
        {T::sallen_key_equal, goal(S::lowpass, 10, 0.5L, 3e3), sk + "R3(2,5) R4(5,0) R5(3,0) op -5 +4 >2 "},
        {T::sallen_key_equal, goal(S::highpass, 0.55L, 3 - 1 / 0.55L), skh + "R3(2,5) R4(5,0) op -5 +4 >2 "},
        {T::sallen_key_equal, goal(S::highpass, 10, 2.9L), skh + "R3(2,5) R4(5,0) op -5 +4 >2 "},
        // Gains above 3 − 1/Q: the amplifier takes them, the resistors part (below and above A = 2).
        {T::sallen_key_equal, goal(S::lowpass, 0.7071L, 1.8L), sk + "R3(2,5) R4(5,0) op -5 +4 >2 "},
        {T::sallen_key_equal, goal(S::lowpass, 3, 6), sk + "R3(2,5) R4(5,0) op -5 +4 >2 "},
        {T::sallen_key_equal, goal(S::lowpass, 0.7071L, 2), sk + "R3(2,5) R4(5,0) op -5 +4 >2 "},
        {T::sallen_key_equal, goal(S::highpass, 0.7071L, 1.5L), skh + "R3(2,5) R4(5,0) op -5 +4 >2 "},
        {T::sallen_key_equal, goal(S::highpass, 0.3L, 1.05L), skh + "R3(2,5) R4(5,0) op -5 +4 >2 "},
        {T::mfb, goal(S::lowpass, 0.3L, 2), mfb_low},
        {T::mfb, goal(S::lowpass, 0.7071L, 1), mfb_low},
        {T::mfb, goal(S::lowpass, 10, 0.5L, 700), mfb_low},
        {T::mfb, goal(S::highpass, 0.3L, hp1.low), mfb_high},
        {T::mfb, goal(S::highpass, 10, hp2.low, 2 * w1k), mfb_high},
        {T::mfb, goal(S::bandpass, 0.3L, 0.1L), "R1(1,3) R2(3,0) C1(3,4) C2(3,2) R3(4,2) op -4 +0 >2 "},
        {T::mfb, goal(S::bandpass, 2, 8 * (1 - 5e-10L)), "R1(1,3) C1(3,4) C2(3,2) R3(4,2) op -4 +0 >2 "},
        {T::mfb, goal(S::bandpass, 10, 50, 4e4), "R1(1,3) R2(3,0) C1(3,4) C2(3,2) R3(4,2) op -4 +0 >2 "},
        {T::biquad, goal(S::lowpass, 0.3L, 1), tt_low},
        {T::biquad, goal(S::lowpass, 10, 2), tt_low},
        {T::biquad, goal(S::bandpass, 0.3L, 0.5L), tt_band},
        {T::biquad, goal(S::bandpass, 10, 3), tt_band},
        {T::biquad, goal(S::highpass, 0.7071L, 1), tt_high + "R9(8,9) R10(9,2) " + tt_ops},
        {T::biquad, goal(S::highpass, 10, 0.5L), tt_high + "R9(8,9) R10(9,2) " + tt_ops},
        {T::biquad, goal(S::notch, 0.7071L, 1, w1k, 2 * w1k), tt_high + "R9(6,9) R10(9,2) " + tt_ops},
        {T::biquad, goal(S::notch, 10, 2, w1k, 0.5L * w1k), tt_high + "R9(8,9) R10(9,2) " + tt_ops},
        {T::biquad, goal(S::notch, 0.3L, 1, w1k, w1k), tt_high + "R10(9,2) " + tt_ops},
        {T::follower_rc, goal(S::lowpass1, 0, 1), "R1(1,3) C1(3,0) op -2 +3 >2 "},
        {T::follower_rc, goal(S::lowpass1, 0, 0.3L), "R1(1,3) C1(3,0) R2(3,0) op -2 +3 >2 "},
        {T::follower_rc, goal(S::highpass1, 0, 1), "C1(1,3) R1(3,0) op -2 +3 >2 "},
        {T::inverting, goal(S::lowpass1, 0, 3), "R1(1,3) R2(3,2) C1(3,2) op -3 +0 >2 "},
        {T::inverting, goal(S::highpass1, 0, 0.2L), "C1(1,4) R1(4,3) R2(3,2) op -3 +0 >2 "},
    };
}

TEST(SectionCircuits, TheEngineGivesEachGoalsResponse) {
    const ComplexReal at[] = {{0, 0.1L}, {0, 0.7L}, {0, 1}, {0, 1.3L}, {0, 5}, {-0.2L, 0.9L}, {0.5L, 0}};
    for (const Case& k : cases()) {
        const SectionCircuit s = realise(k.t, k.goal, e12);
        SCOPED_TRACE(::testing::Message() << k.layout << " Q " << (double)k.goal.q);
        EXPECT_EQ(layout(s), k.layout);
        EXPECT_EQ(static_cast<int>(s.opamps.size()), opamp_count(k.t, k.goal.shape));
        for (const Part& p : s.parts) {
            const bool level = p.kind == 'C' ? nearest_standard(p.value, Series::e12) == p.value
                                             : p.value > 100 && p.value < 1e6;  // 10k within 1 % .. 100 times
            EXPECT_TRUE(level) << p.role << " " << (double)p.value;
        }
        Solved solved(s);
        for (ComplexReal x : at) {
            const ComplexReal want = (s.inverting ? -1.0L : 1.0L) * section_response(k.goal, x * k.goal.w0);
            EXPECT_LE(std::abs(solved.at(x * k.goal.w0) - want), 1e-9L * std::abs(want) + 1e-15L)
                << x.real() << " " << x.imag();
        }
        const SectionMeasure m = measure(s);
        expect_relative(m.w0, k.goal.w0, 1e-12L, "w0");
        if (!first_order(k.goal.shape)) expect_relative(m.q, k.goal.q, 1e-12L, "Q");
        expect_relative(m.gain, k.goal.gain, 1e-9L, "K");  // 1 + 5e-10 is taken as 1
        if (k.goal.shape == Shape::notch) expect_relative(m.wz, k.goal.wz, 1e-12L, "wz");
    }
}

TEST(SectionCircuits, MeasureAgreesWithTheEngineOnPerturbedParts) {
    for (const Case& k : cases()) {
        SectionCircuit s = realise(k.t, k.goal, e12);
        SCOPED_TRACE(layout(s));
        for (std::size_t i = 0; i < s.parts.size(); ++i)
            s.parts[i].value *= 1 + 0.05L * std::sin(1.7L * static_cast<Real>(i) + 0.3L);
        Solved solved(s);
        const Shape shape = k.goal.shape;
        const Fit f = fit(solved, k.goal.w0, first_order(shape));
        const SectionMeasure m = measure(s);
        const Real sign = s.inverting ? -1 : 1;
        if (first_order(shape)) {
            expect_relative(m.w0, f.c, 1e-9L, "w0");
            expect_relative(m.gain, sign * (shape == Shape::lowpass1 ? f.n0 / f.c : f.n1), 1e-9L, "K");
            continue;
        }
        expect_relative(m.w0, std::sqrt(f.c), 1e-9L, "w0");
        expect_relative(m.q, std::sqrt(f.c) / f.b, 1e-9L, "Q");
        const Real k_fit = shape == Shape::lowpass    ? f.n0 / f.c
                           : shape == Shape::bandpass ? f.n1 / f.b
                                                      : f.n2;
        expect_relative(m.gain, sign * k_fit, 1e-9L, "K");
        if (shape == Shape::notch) expect_relative(m.wz, std::sqrt(f.n0 / f.n2), 1e-9L, "wz");
    }
}

// A biquad behind a resonant lowpass: each internal op-amp output's peak,
// over the grid the peak function uses, is the level asked for; the
// section's response and ω0, Q, K, ωz stay.
TEST(SectionCircuits, BiquadInternalOutputsPeakAtTheLevel) {
    const SectionGoal front{Shape::lowpass, 0.8L * w1k, 2, 0, 1.3L};
    std::vector<Real> grid;
    for (int i = 0; i <= 1500; ++i) grid.push_back(w1k * std::pow(10.0L, -1.5L + 3.0L * i / 1500));
    RealiseOptions o = e12;
    o.level = 1.7L;
    o.peak = [&](const std::function<ComplexReal(Real)>& h) {
        Real m = 0;
        for (Real w : grid) m = std::max(m, std::abs(section_response(front, {0, w}) * h(w)));
        return m;
    };
    const SectionGoal goals[] = {goal(Shape::lowpass, 0.7071L, 2),
                                 goal(Shape::lowpass, 10, 0.5L),
                                 goal(Shape::bandpass, 10, 3),
                                 goal(Shape::highpass, 0.3L, 1),
                                 goal(Shape::notch, 4, 1, w1k, 1.5L * w1k),
                                 goal(Shape::notch, 0.7071L, 2, w1k, 0.3L * w1k)};
    for (const SectionGoal& sp : goals) {
        const SectionCircuit s = realise(Topology::biquad, sp, o);
        SCOPED_TRACE(layout(s));
        Solved solved(s);
        std::vector<int> internal;
        for (const OpAmp& a : s.opamps)
            if (a.out != 2) internal.push_back(a.out);
        ASSERT_EQ(internal.size(), sp.shape == Shape::lowpass || sp.shape == Shape::bandpass ? 2U : 3U);
        std::vector<Real> peak(internal.size(), 0);
        for (Real w : grid) {
            const ComplexReal f = section_response(front, {0, w});
            for (std::size_t i = 0; i < internal.size(); ++i)
                peak[i] = std::max(peak[i], std::abs(f * solved.at({0, w}, internal[i])));
            const ComplexReal want = (s.inverting ? -1.0L : 1.0L) * section_response(sp, {0, w});
            ASSERT_LE(std::abs(solved.at({0, w}) - want), 1e-9L * std::abs(want) + 1e-15L) << (double)w;
        }
        for (std::size_t i = 0; i < internal.size(); ++i) expect_relative(peak[i], o.level, 1e-9L, "peak");
        const SectionMeasure m = measure(s);
        expect_relative(m.w0, sp.w0, 1e-12L, "w0");
        expect_relative(m.q, sp.q, 1e-12L, "Q");
        expect_relative(m.gain, sp.gain, 1e-12L, "K");
        if (sp.shape == Shape::notch) expect_relative(m.wz, sp.wz, 1e-12L, "wz");
    }
}

Real value(const SectionCircuit& s, const std::string& role) {
    for (const Part& p : s.parts)
        if (p.role == role) return p.value;
    ADD_FAILURE() << "no " << role;
    return 0;
}

TEST(SectionCircuits, TablesGainRangesAndRefusals) {
    using T = Topology;
    using S = Shape;
    const T topologies[] = {T::sallen_key_unity, T::sallen_key_equal, T::mfb,
                            T::biquad,           T::follower_rc,      T::inverting};
    const char* names[] = {"sallen-key", "sallen-key", "mfb", "biquad", "rc-follower", "inverting"};
    const char* realised[] = {"LH....", "LH....", "LHB...", "LHBN..", "....lh", "....lh"};
    const S shapes[] = {S::lowpass, S::highpass, S::bandpass, S::notch, S::lowpass1, S::highpass1};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(topology_name(topologies[i]), names[i]);
        for (int j = 0; j < 6; ++j) {
            const bool yes = realised[i][j] != '.';
            EXPECT_EQ(realisable(topologies[i], shapes[j]), yes) << i << " " << j;
            const int ops = !yes ? 0 : i != 3 ? 1 : j == 1 || j == 3 ? 4 : 3;
            EXPECT_EQ(opamp_count(topologies[i], shapes[j]), ops) << i << " " << j;
            if (!yes) {
                EXPECT_THROW(realise(topologies[i], goal(shapes[j], 1, 1, w1k, w1k), e12),
                             std::invalid_argument);
            }
        }
    }
    EXPECT_EQ(topology_form_name(T::sallen_key_unity), "sallen-key (ganho unitário)");

    struct Row {
        T t;
        SectionGoal s;
        Real low, high;
        bool exact;
    };
    const Real inf = std::numeric_limits<Real>::infinity();
    const Row rows[] = {
        {T::sallen_key_unity, goal(S::lowpass, 0.7071L, 1), 0, 1, true},
        {T::sallen_key_unity, goal(S::highpass, 0.7071L, 1), 1, 1, false},
        {T::sallen_key_equal, goal(S::lowpass, 0.7071L, 1), 0, inf, true},
        {T::sallen_key_equal, goal(S::highpass, 2, 1), 1.05L, inf, true},
        {T::mfb, goal(S::lowpass, 10, 1), 0, inf, true},
        {T::mfb, goal(S::bandpass, 3, 1), 0, 18, true},
        // C1 = C3 = 15n nearest 1/(ω0·10k) = 15.9n; C1/2 = 7.5n is nearer 8.2n than 6.8n on a log scale.
        {T::mfb, goal(S::highpass, 0.7071L, 2), 15e-9L / 8.2e-9L, 15e-9L / 8.2e-9L, false},
        {T::biquad, goal(S::notch, 10, 1, w1k, 2 * w1k), 0, inf, true},
        {T::follower_rc, goal(S::lowpass1, 0, 1), 0, 1, true},
        {T::follower_rc, goal(S::highpass1, 0, 1), 1, 1, false},
        {T::inverting, goal(S::highpass1, 0, 1), 0, inf, true},
    };
    for (const Row& r : rows) {
        const GainRange g = gain_range(r.t, r.s, e12);
        SCOPED_TRACE(::testing::Message()
                     << names[static_cast<int>(r.t)] << " " << static_cast<int>(r.s.shape));
        EXPECT_EQ(g.exact, r.exact);
        EXPECT_NEAR(static_cast<double>(g.low), static_cast<double>(r.low), 1e-15);
        EXPECT_TRUE(g.high == r.high || std::fabs(g.high - r.high) < 1e-15L * r.high) << (double)g.high;
        SectionGoal s = r.s;
        // A gain beyond either end by 1e-6 is refused, by 1e-10 taken.
        for (Real end : {g.low, g.high}) {
            if (end == 0 || end == inf) continue;
            const Real out = end == g.high ? 1 + 1e-6L : 1 - 1e-6L,
                       in = end == g.high ? 1 + 1e-10L : 1 - 1e-10L;
            s.gain = end * out;
            EXPECT_THROW(realise(r.t, s, e12), std::invalid_argument);
            s.gain = end * in;
            EXPECT_NO_THROW(realise(r.t, s, e12));
        }
        for (Real bad : {0.0L, -1.0L, inf}) {
            s.gain = bad;
            EXPECT_THROW(realise(r.t, s, e12), std::invalid_argument);
        }
    }
    // The mfb highpass keeps the capacitors of its gain when ω0 moves C0 = 1/(ω0·10k) across the
    // border √(15n·18n) = 16.43n: at 16.2n C1 = 15n, C2 = 8.2n; at 16.7n still, not 18n and 10n.
    SectionGoal hp = goal(S::highpass, 0.7071L, 2, 1 / (16.2e-9L * 10e3));
    hp.gain = gain_range(T::mfb, hp, e12).low;
    hp.w0 = 1 / (16.7e-9L * 10e3);
    EXPECT_NE(gain_range(T::mfb, hp, e12).low, hp.gain);
    const SectionCircuit moved = realise(T::mfb, hp, e12);
    EXPECT_EQ(value(moved, "C1"), static_cast<Real>(15e-9));
    EXPECT_EQ(value(moved, "C2"), static_cast<Real>(8.2e-9));
    expect_relative(measure(moved).w0, hp.w0, 1e-12L, "w0");
    hp.gain = 1.7L;  // neither 18n/10n nor 15n/8.2n
    EXPECT_THROW(realise(T::mfb, hp, e12), std::invalid_argument);
    // The equal-capacitor Sallen-Key needs an amplifier gain above 1: a
    // lowpass of Q > 1/2, a highpass of K ≥ 1.05 (R3 at least a twentieth of R4).
    const GainRange g = gain_range(T::sallen_key_equal, goal(S::lowpass, 0.5L, 1), e12);
    EXPECT_GT(g.low, g.high);
    EXPECT_THROW(realise(T::sallen_key_equal, goal(S::lowpass, 0.5L, 1), e12), std::invalid_argument);
    EXPECT_THROW(realise(T::sallen_key_equal, goal(S::highpass, 2, 1.049L), e12), std::invalid_argument);
    EXPECT_THROW(realise(T::mfb, goal(S::lowpass, 0.7071L, 1, 0), e12), std::invalid_argument);
    EXPECT_THROW(realise(T::mfb, goal(S::lowpass, 0, 1), e12), std::invalid_argument);
    EXPECT_THROW(realise(T::biquad, goal(S::notch, 1, 1, w1k, -1), e12), std::invalid_argument);
}

TEST(ResistorRounding, StandardValuesNeverWorseThanPlainRounding) {
    int better = 0;
    for (Series series : {Series::e24, Series::e96}) {
        // The widest step of the series bounds the error of ω0.
        Real step = 1;
        for (int i = 0; i < series_size(series); ++i)
            step = std::max(step, step_standard(1, series, i + 1) / step_standard(1, series, i));
        for (const Case& k : cases()) {
            const SectionCircuit exact = realise(k.t, k.goal, e12);
            SCOPED_TRACE(::testing::Message()
                         << series_name(series) << " " << layout(exact) << (double)k.goal.q);
            const Rounding r = round_resistors(exact, series);
            for (std::size_t i = 0; i < exact.parts.size(); ++i) {
                const Part& p = exact.parts[i];
                const Real plain = r.plain.parts[i].value, searched = r.searched.parts[i].value;
                if (p.kind == 'C') {
                    EXPECT_EQ(plain, p.value);
                    EXPECT_EQ(searched, p.value);
                    continue;
                }
                EXPECT_EQ(plain, nearest_standard(p.value, series));
                // A neighbour of the exact value, or (up to five resistors) the next one out.
                const auto [below, above] = standard_neighbours(p.value, series);
                const bool near = searched == below || searched == above;
                const bool next = searched == step_standard(below, series, -1) ||
                                  searched == step_standard(above, series, 1);
                EXPECT_TRUE(near || (next && r.searched.parts.size() - exact.parts.size() == 0 &&
                                     std::count_if(exact.parts.begin(), exact.parts.end(),
                                                   [](const Part& x) { return x.kind == 'R'; }) <= 5))
                    << p.role;
            }
            const SectionMeasure p = measure(r.plain), s = measure(r.searched);
            auto off = [](Real got, Real want) { return std::fabs(got / want - 1); };
            EXPECT_LE(off(s.w0, k.goal.w0), off(p.w0, k.goal.w0));
            EXPECT_LT(off(s.w0, k.goal.w0), step - 1);
            if (!first_order(k.goal.shape)) {
                EXPECT_LE(off(s.q, k.goal.q), off(p.q, k.goal.q));
            }
            if (k.goal.shape == Shape::notch) {
                EXPECT_LE(off(s.wz, k.goal.wz), off(p.wz, k.goal.wz));
            }
            better += off(s.w0, k.goal.w0) < off(p.w0, k.goal.w0) &&
                      (first_order(k.goal.shape) || off(s.q, k.goal.q) < off(p.q, k.goal.q));
        }
    }
    EXPECT_GT(better, 0);
}

// A measure that sees only whether one resistor kept its plain value: the
// search leaves it when moving it would cost ω0, Q or ωz, even for a better
// gain, and moves it for a better gain alone.
TEST(ResistorRounding, HeldToPlainRoundingInW0QAndWzGainNext) {
    const SectionGoal sp = goal(Shape::notch, 0.7071L, 2, w1k, 2 * w1k);
    const SectionCircuit exact = realise(Topology::biquad, sp, e12);
    const Real plain = value(round_resistors(exact, Series::e24).plain, "R9");
    const SectionMeasure kept{sp.w0, sp.q, 1.1L * sp.gain, sp.wz};
    const SectionMeasure moved[] = {{1.01L * sp.w0, sp.q, sp.gain, sp.wz},
                                    {sp.w0, 1.01L * sp.q, sp.gain, sp.wz},
                                    {sp.w0, sp.q, sp.gain, 1.01L * sp.wz},
                                    {sp.w0, sp.q, sp.gain, sp.wz}};
    for (int i = 0; i < 4; ++i) {
        const MeasureFunction m = [&](const SectionCircuit& c) {
            return value(c, "R9") == plain ? kept : moved[i];
        };
        EXPECT_EQ(value(round_resistors(exact, Series::e24, m).searched, "R9") == plain, i < 3) << i;
    }
}

}  // namespace
}  // namespace analysis::design
