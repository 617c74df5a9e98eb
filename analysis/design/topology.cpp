// The section circuits. Each topology's design (part values from ω0, Q, K
// and ωz) and its closed forms (ω0, Q, K and ωz from part values) sit side
// by side, so that a reader checks one against the other. C0 = 1/(ω0·R0),
// R0 the resistor level asked for, is where the capacitors start.
#include "analysis/design/topology.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>

#include "analysis/design/cascade.h"

namespace analysis::design {
namespace {

// A gain this close (relatively) to an end of its range counts as that end.
constexpr Real end_tolerance = 1e-9L;
constexpr Real infinity = std::numeric_limits<Real>::infinity();

std::string shape_name(Shape s) {
    switch (s) {
        case Shape::lowpass:
            return "passa-baixas";
        case Shape::highpass:
            return "passa-altas";
        case Shape::bandpass:
            return "passa-faixa";
        case Shape::notch:
            return "rejeita-faixa";
        case Shape::lowpass1:
            return "passa-baixas de 1a ordem";
        case Shape::highpass1:
            return "passa-altas de 1a ordem";
    }
    return "";
}

GainRange empty_range() { return {1, 0, false}; }

constexpr Real min_equal_c_highpass_gain = 1.05L;

struct Builder {
    SectionCircuit c;
    void r(const char* role, int a, int b, Real value) { c.parts.push_back({role, 'R', a, b, value}); }
    void cap(const char* role, int a, int b, Real value) { c.parts.push_back({role, 'C', a, b, value}); }
    void op(const char* role, int minus, int plus, int out) { c.opamps.push_back({role, minus, plus, out}); }
};

Real c0(const SectionGoal& s, const RealiseOptions& o) { return 1 / (s.w0 * o.impedance); }
Real nearest_cap(Real x, const RealiseOptions& o) { return nearest_standard(x, o.capacitors); }
Real cap_at_least(Real x, const RealiseOptions& o) { return standard_neighbours(x, o.capacitors).second; }
// The capacitor `role` of o.capacitors_kept when given, else `chosen`.
Real kept(const RealiseOptions& o, const char* role, Real chosen) {
    for (const auto& [name, value] : o.capacitors_kept)
        if (name == role) return value;
    return chosen;
}
bool below_one(Real ratio) { return ratio < 1 - end_tolerance; }

// The part values of a section by role; a part left out is an open circuit.
struct Values {
    const SectionCircuit& s;
    const Part* find(const char* role) const {
        for (const Part& p : s.parts)
            if (p.role == role) return &p;
        return nullptr;
    }
    Real operator()(const char* role) const {
        const Part* p = find(role);
        if (!p) throw std::invalid_argument(std::string("Seção sem a parte ") + role + ".");
        return p->value;
    }
    Real conductance(const char* role) const {
        const Part* p = find(role);
        return p ? 1 / p->value : 0;
    }
};

// ---- Sallen-Key, op-amp as a follower.
// Lowpass: H = 1/(s²R1R2C1C2 + sC2(R1+R2) + 1), R1 the divider's R1‖R3.
// Highpass: H = s²/(s² + s(C1+C2)/(R2C1C2) + 1/(R1R2C1C2)).
void sallen_key_unity(Builder& b, const SectionGoal& s, const RealiseOptions& o) {
    const Real w0 = s.w0, q = s.q;
    if (s.shape == Shape::highpass) {
        const Real c = kept(o, "C1", nearest_cap(c0(s, o), o));
        b.cap("C1", 1, 3, c);
        b.cap("C2", 3, 4, c);
        b.r("R1", 3, 2, 1 / (2 * q * c * w0));
        b.r("R2", 4, 0, 2 * q / (c * w0));
    } else {
        // R1 + R2 = 1/(ω0QC2), R1·R2 = 1/(ω0²C1C2): real roots need C1 ≥ 4Q²C2.
        const Real c2 = kept(o, "C2", nearest_cap(c0(s, o) / (2 * q), o));
        const Real c1 = kept(o, "C1", cap_at_least(4 * q * q * c2, o));
        const Real sum = 1 / (w0 * q * c2), product = 1 / (w0 * w0 * c1 * c2);
        const Real larger = (sum + std::sqrt(std::max<Real>(0, sum * sum - 4 * product))) / 2;
        const Real r1 = product / larger, k = s.gain;
        b.r("R1", 1, 3, below_one(k) ? r1 / k : r1);
        b.r("R2", 3, 4, larger);
        b.cap("C1", 3, 2, c1);
        b.cap("C2", 4, 0, c2);
        if (below_one(k)) b.r("R3", 3, 0, r1 / (1 - k));
    }
    b.op("", 2, 4, 2);
}

SectionMeasure measure_sallen_key_unity(const Values& v, Shape shape) {
    const Real c1 = v("C1"), c2 = v("C2"), r2 = v("R2");
    if (shape == Shape::highpass) {
        const Real w0 = 1 / std::sqrt(v("R1") * r2 * c1 * c2);
        return {w0, w0 * r2 * c1 * c2 / (c1 + c2), 1, 0};
    }
    const Real g = v.conductance("R1") + v.conductance("R3"), r1 = 1 / g;
    const Real w0 = 1 / std::sqrt(r1 * r2 * c1 * c2);
    return {w0, 1 / (w0 * c2 * (r1 + r2)), v.conductance("R1") / g, 0};
}

// ---- Sallen-Key with equal capacitors and an amplifier of gain A = 1 + R3/R4.
// Lowpass: D = s²R1R2C1C2 + s(C2(R1+R2) + R1C1(1−A)) + 1, H = A·divider/D.
// Highpass: H = A·s²/(s² + s((1−A)/(R1C1) + (C1+C2)/(R2C1C2)) + 1/(R1R2C1C2)).
// With C1 = C2 = C and x = √(R1/R2): ω0 = 1/(C·√(R1R2)), and
//   lowpass  1/Q = 1/x + (2 − A)·x,   highpass  1/Q = (1 − A)/x + 2x.
// The lowpass takes A = K when K ≥ 3 − 1/Q, else A = 3 − 1/Q (x = 1: equal
// resistors) and divides the input by K/A; the highpass takes A = K ≥ 1.
Real equal_c_lowpass_ratio(Real q, Real a) {
    if (std::fabs(a - 2) < 1e-12L) return q;
    const Real b = 1 / q, d = std::sqrt(std::max<Real>(0, b * b - 4 * (2 - a)));
    if (a > 2) return (d - b) / (2 * (a - 2));
    // Two positive roots: the one nearer 1 spreads the resistors least.
    const Real x1 = (b - d) / (2 * (2 - a)), x2 = (b + d) / (2 * (2 - a));
    return std::fabs(std::log(x1)) < std::fabs(std::log(x2)) ? x1 : x2;
}

void sallen_key_equal(Builder& b, const SectionGoal& s, const RealiseOptions& o) {
    const Real c = kept(o, "C1", nearest_cap(c0(s, o), o)), r = 1 / (s.w0 * c), q = s.q, r4 = o.impedance;
    if (s.shape == Shape::highpass) {
        const Real a = s.gain;
        const Real x = (1 / q + std::sqrt(1 / (q * q) + 8 * (a - 1))) / 4;
        b.cap("C1", 1, 3, c);
        b.cap("C2", 3, 4, c);
        b.r("R1", 3, 2, r * x);
        b.r("R2", 4, 0, r / x);
        b.r("R3", 2, 5, (a - 1) * r4);
        b.r("R4", 5, 0, r4);
    } else {
        const Real a = std::max(s.gain, 3 - 1 / q), d = s.gain / a;
        const Real x = equal_c_lowpass_ratio(q, a), r1 = r * x;
        b.r("R1", 1, 3, below_one(d) ? r1 / d : r1);
        b.r("R2", 3, 4, r / x);
        b.cap("C1", 3, 2, c);
        b.cap("C2", 4, 0, c);
        b.r("R3", 2, 5, (a - 1) * r4);
        b.r("R4", 5, 0, r4);
        if (below_one(d)) b.r("R5", 3, 0, r1 / (1 - d));
    }
    b.op("", 5, 4, 2);
}

SectionMeasure measure_sallen_key_equal(const Values& v, Shape shape) {
    const Real c1 = v("C1"), c2 = v("C2"), r2 = v("R2"), a = 1 + v("R3") / v("R4");
    if (shape == Shape::highpass) {
        const Real r1 = v("R1"), w0 = 1 / std::sqrt(r1 * r2 * c1 * c2);
        return {w0, w0 / ((1 - a) / (r1 * c1) + (c1 + c2) / (r2 * c1 * c2)), a, 0};
    }
    const Real g = v.conductance("R1") + v.conductance("R5"), r1 = 1 / g;
    const Real w0 = 1 / std::sqrt(r1 * r2 * c1 * c2);
    return {w0, 1 / (w0 * (c2 * (r1 + r2) + r1 * c1 * (1 - a))), a * v.conductance("R1") / g, 0};
}

// ---- Multiple feedback, inverting.
// Lowpass: H = −(1/(R1R3C1C2))/(s² + s(1/R1+1/R2+1/R3)/C1 + 1/(R2R3C1C2)).
// Highpass: H = −s²(C1/C2)/(s² + s(C1+C2+C3)/(R2C2C3) + 1/(R1R2C2C3)).
// Bandpass: H = −(s/(R1C2))/(s² + s(C1+C2)/(R3C1C2) + (1/R1+1/R2)/(R3C1C2)).
// The mfb highpass's capacitors for K = C1/C2: C1 = C3 the standard value
// nearest C0 and C2 the one nearest C1/K, as gain_range takes them; when
// their ratio is not K, C1 the other standard neighbour of C0, so that an
// ω0 moved a little keeps the capacitors of a gain taken at the first ω0.
std::optional<std::pair<Real, Real>> mfb_high_capacitors(const SectionGoal& s, const RealiseOptions& o) {
    const Real x = c0(s, o), nearest = nearest_cap(x, o);
    const auto [below, above] = standard_neighbours(x, o.capacitors);
    for (Real c1 : {nearest, nearest == below ? above : below}) {
        const Real c2 = nearest_cap(c1 / s.gain, o);
        if (std::fabs(c1 / c2 / s.gain - 1) <= end_tolerance) return std::pair{c1, c2};
    }
    return std::nullopt;
}

void mfb(Builder& b, const SectionGoal& s, const RealiseOptions& o) {
    const Real w0 = s.w0, q = s.q, k = s.gain;
    if (s.shape == Shape::lowpass) {
        // u = 1/R2 and v = 1/R3: (1+K)u + v = ω0C1/Q, u·v = ω0²C1C2, real
        // when C1 ≥ 4Q²(1+K)C2; C2 puts √(R2R3) near R0.
        const Real c2 = kept(o, "C2", nearest_cap(c0(s, o) / (2 * q * std::sqrt(1 + k)), o));
        const Real c1 = kept(o, "C1", cap_at_least(4 * q * q * (1 + k) * c2, o));
        const Real bq = w0 * c1 / q;
        const Real root = std::sqrt(std::max<Real>(0, bq * bq - 4 * (1 + k) * w0 * w0 * c1 * c2));
        const Real r2 = (bq + root) / (2 * w0 * w0 * c1 * c2), r3 = 2 / (bq + root);
        b.r("R1", 1, 3, r2 / k);
        b.r("R2", 3, 2, r2);
        b.r("R3", 3, 4, r3);
        b.cap("C1", 3, 0, c1);
        b.cap("C2", 4, 2, c2);
    } else if (s.shape == Shape::highpass) {
        const auto [c, c2] = o.capacitors_kept.empty() ? *mfb_high_capacitors(s, o)
                                                       : std::pair{kept(o, "C1", 0), kept(o, "C2", 0)};
        const Real r2 = q * (2 * c + c2) / (w0 * c2 * c);
        b.cap("C1", 1, 3, c);
        b.cap("C2", 3, 2, c2);
        b.cap("C3", 3, 4, c);
        b.r("R1", 3, 0, 1 / (w0 * w0 * r2 * c2 * c));
        b.r("R2", 4, 2, r2);
    } else {
        // At K = 2Q² (within end_tolerance) R2 is left out and K is 2Q².
        const Real c = kept(o, "C1", nearest_cap(c0(s, o), o));
        const bool r2 = k < 2 * q * q * (1 - end_tolerance);
        b.r("R1", 1, 3, r2 ? q / (w0 * c * k) : 1 / (2 * q * w0 * c));
        if (r2) b.r("R2", 3, 0, 1 / (w0 * c * (2 * q - k / q)));
        b.cap("C1", 3, 4, c);
        b.cap("C2", 3, 2, c);
        b.r("R3", 4, 2, 2 * q / (w0 * c));
    }
    b.op("", 4, 0, 2);
}

SectionMeasure measure_mfb(const Values& v, Shape shape) {
    if (shape == Shape::lowpass) {
        const Real r1 = v("R1"), r2 = v("R2"), r3 = v("R3"), c1 = v("C1"), c2 = v("C2");
        const Real w0 = 1 / std::sqrt(r2 * r3 * c1 * c2);
        return {w0, w0 * c1 / (1 / r1 + 1 / r2 + 1 / r3), r2 / r1, 0};
    }
    if (shape == Shape::highpass) {
        const Real c1 = v("C1"), c2 = v("C2"), c3 = v("C3"), r2 = v("R2");
        const Real w0 = 1 / std::sqrt(v("R1") * r2 * c2 * c3);
        return {w0, w0 * r2 * c2 * c3 / (c1 + c2 + c3), c1 / c2, 0};
    }
    const Real r1 = v("R1"), r3 = v("R3"), c1 = v("C1"), c2 = v("C2");
    const Real w0 = std::sqrt((1 / r1 + v.conductance("R2")) / (r3 * c1 * c2));
    return {w0, w0 * r3 * c1 * c2 / (c1 + c2), r3 * c1 / (r1 * (c1 + c2)), 0};
}

// ---- Tow-Thomas biquad. With g = R5/R4 and v1, v2, v3 the outputs of the
// lossy integrator, the integrator and the inverter:
//   D = s² + s/(R3C1) + g/(R1R2C1C2),  A = 1/(R6R2C1C2)
//   v1/vin = −(s/(R6C1))/D,  v2/vin = A/D,  v3/vin = −g·A/D
// and the summer vout = −R10·(vin/R7 + v1/R8 + vX/R9) cancels the s term
// with R8 = R7·R3/R6 and sets the zeros with vX = v2 (ωz > ω0) or v3.
struct Biquad {
    Real c1 = 0, c2 = 0, r1 = 0, r2 = 0, r3 = 0, r4 = 0, r5 = 0, r6 = 0;
    Real r7 = 0, r8 = 0, r9 = 0, r10 = 0;
    bool r9_from_v2 = false;

    Real g() const { return r5 / r4; }
    Real a() const { return 1 / (r6 * r2 * c1 * c2); }
    ComplexReal d(ComplexReal s) const { return s * s + s / (r3 * c1) + g() / (r1 * r2 * c1 * c2); }
    ComplexReal v1(ComplexReal s) const { return -(s / (r6 * c1)) / d(s); }
    ComplexReal v2(ComplexReal s) const { return a() / d(s); }
    ComplexReal v3(ComplexReal s) const { return -g() * v2(s); }
};

// Sets each internal op-amp output's peak to o.level: scaling v by α
// divides the resistors into that op-amp's input by α and multiplies the
// resistors that v drives by α; the feedback parts stay, and so does the
// section's response.
void scale_biquad(Biquad& q, Shape shape, const RealiseOptions& o) {
    auto factor = [&](bool output, auto transfer) -> Real {
        if (output) return 1;
        const Real peak = o.peak([&](Real w) { return transfer(ComplexReal(0, w)); });
        return peak > 0 && std::isfinite(peak) ? o.level / peak : 1;
    };
    const Real a1 = factor(shape == Shape::bandpass, [&](ComplexReal s) { return q.v1(s); });
    const Real a2 = factor(shape == Shape::lowpass, [&](ComplexReal s) { return q.v2(s); });
    const Real a3 = factor(false, [&](ComplexReal s) { return q.v3(s); });
    q.r6 /= a1;
    q.r1 *= a3 / a1;
    q.r2 *= a1 / a2;
    q.r4 *= a2 / a3;
    q.r8 *= a1;
    q.r9 *= q.r9_from_v2 ? a2 : a3;
}

void biquad(Builder& b, const SectionGoal& s, const RealiseOptions& o) {
    const Real w0 = s.w0, k = s.gain, c = kept(o, "C1", nearest_cap(c0(s, o), o)), r = 1 / (w0 * c);
    Biquad q{
        .c1 = c, .c2 = c, .r1 = r, .r2 = r, .r3 = s.q * r, .r4 = o.impedance, .r5 = o.impedance, .r6 = r};
    const bool summer = s.shape == Shape::highpass || s.shape == Shape::notch;
    if (s.shape == Shape::lowpass) q.r6 = q.r1 / (q.g() * k);
    if (s.shape == Shape::bandpass) q.r6 = q.r3 / k;
    const Real wz = s.shape == Shape::notch ? s.wz : 0;
    const bool with_r9 = std::fabs(wz * wz - w0 * w0) > end_tolerance * w0 * w0;
    if (summer) {
        q.r10 = o.impedance;
        q.r7 = q.r10 / k;
        q.r8 = q.r7 * q.r3 / q.r6;
        q.r9_from_v2 = wz > w0;
        if (with_r9)
            q.r9 = q.r9_from_v2 ? q.r7 * q.a() / (wz * wz - w0 * w0)
                                : q.r7 * q.g() * q.a() / (w0 * w0 - wz * wz);
    }
    if (o.peak) scale_biquad(q, s.shape, o);

    const int n4 = s.shape == Shape::bandpass ? 2 : 4, n6 = s.shape == Shape::lowpass ? 2 : 6;
    b.cap("C1", 3, n4, q.c1);
    b.r("R3", 3, n4, q.r3);
    b.r("R1", 8, 3, q.r1);
    b.r("R6", 1, 3, q.r6);
    b.r("R2", n4, 5, q.r2);
    b.cap("C2", 5, n6, q.c2);
    b.r("R4", n6, 7, q.r4);
    b.r("R5", 7, 8, q.r5);
    b.op("1", 3, 0, n4);
    b.op("2", 5, 0, n6);
    b.op("3", 7, 0, 8);
    if (!summer) return;
    b.r("R7", 1, 9, q.r7);
    b.r("R8", n4, 9, q.r8);
    if (with_r9) b.r("R9", q.r9_from_v2 ? 6 : 8, 9, q.r9);
    b.r("R10", 9, 2, q.r10);
    b.op("4", 9, 0, 2);
}

SectionMeasure measure_biquad(const Values& v, Shape shape) {
    Biquad q{.c1 = v("C1"),
             .c2 = v("C2"),
             .r1 = v("R1"),
             .r2 = v("R2"),
             .r3 = v("R3"),
             .r4 = v("R4"),
             .r5 = v("R5"),
             .r6 = v("R6")};
    const Real w0 = std::sqrt(q.g() / (q.r1 * q.r2 * q.c1 * q.c2));
    SectionMeasure m{w0, w0 * q.r3 * q.c1, 0, 0};
    switch (shape) {
        case Shape::lowpass:
            m.gain = q.r1 / (q.g() * q.r6);
            break;
        case Shape::bandpass:
            m.gain = q.r3 / q.r6;
            break;
        default: {
            const Real r7 = v("R7");
            m.gain = v("R10") / r7;
            if (shape != Shape::notch) break;
            // The summer's constant term: (ω0² + R7·A/R9)/R7 from v2, (ω0² − R7·g·A/R9)/R7 from v3.
            const Part* r9 = v.find("R9");
            Real wz2 = w0 * w0;
            if (r9 && r9->a == 6) wz2 += r7 * q.a() / r9->value;
            if (r9 && r9->a != 6) wz2 -= r7 * q.g() * q.a() / r9->value;
            m.wz = std::sqrt(std::max<Real>(0, wz2));
        }
    }
    return m;
}

// ---- First order. RC and follower: H = divider/(1 + s(R1‖R2)C1) or
// sR1C1/(1 + sR1C1). Inverting: H = −(R2/R1)/(1 + sR2C1) or
// −(R2/R1)·sR1C1/(1 + sR1C1).
void follower_rc(Builder& b, const SectionGoal& s, const RealiseOptions& o) {
    const Real c = kept(o, "C1", nearest_cap(c0(s, o), o)), r = 1 / (s.w0 * c), k = s.gain;
    if (s.shape == Shape::lowpass1) {
        b.r("R1", 1, 3, below_one(k) ? r / k : r);
        b.cap("C1", 3, 0, c);
        if (below_one(k)) b.r("R2", 3, 0, r / (1 - k));
    } else {
        b.cap("C1", 1, 3, c);
        b.r("R1", 3, 0, r);
    }
    b.op("", 2, 3, 2);
}

void inverting(Builder& b, const SectionGoal& s, const RealiseOptions& o) {
    const Real c = kept(o, "C1", nearest_cap(c0(s, o), o)), r = 1 / (s.w0 * c), k = s.gain;
    if (s.shape == Shape::lowpass1) {
        b.r("R1", 1, 3, r / k);
        b.r("R2", 3, 2, r);
        b.cap("C1", 3, 2, c);
    } else {
        b.cap("C1", 1, 4, c);
        b.r("R1", 4, 3, r);
        b.r("R2", 3, 2, k * r);
    }
    b.op("", 3, 0, 2);
}

SectionMeasure measure_first_order(const Values& v, Topology t, Shape shape) {
    const Real c1 = v("C1");
    if (t == Topology::follower_rc) {
        if (shape == Shape::highpass1) return {1 / (v("R1") * c1), 0, 1, 0};
        const Real g = v.conductance("R1") + v.conductance("R2");
        return {g / c1, 0, v.conductance("R1") / g, 0};
    }
    const Real r1 = v("R1"), r2 = v("R2");
    return {1 / ((shape == Shape::lowpass1 ? r2 : r1) * c1), 0, r2 / r1, 0};
}

bool inverting_output(Topology t, Shape shape) {
    return t == Topology::mfb || t == Topology::inverting ||
           (t == Topology::biquad && shape != Shape::lowpass);
}

// Whether the section's gain lies in gain_range (the mfb highpass: whether
// standard capacitors give it).
bool gain_taken(Topology t, const SectionGoal& s, const RealiseOptions& o) {
    const Real k = s.gain;
    if (!(k > 0 && std::isfinite(k))) return false;
    if (t == Topology::mfb && s.shape == Shape::highpass)
        return !o.capacitors_kept.empty() || mfb_high_capacitors(s, o).has_value();
    const GainRange g = gain_range(t, s, o);
    return g.low <= g.high && k >= g.low * (1 - end_tolerance) && k <= g.high * (1 + end_tolerance);
}

void check_goal(Topology t, const SectionGoal& s, const RealiseOptions& o) {
    const std::string where = " (" + topology_name(t) + ", " + shape_name(s.shape) + ").";
    if (!realisable(t, s.shape))
        throw std::invalid_argument("A topologia " + topology_name(t) + " não realiza a seção " +
                                    shape_name(s.shape) + ".");
    auto positive = [](Real x) { return x > 0 && std::isfinite(x); };
    if (!positive(s.w0) || !positive(o.impedance) || (!first_order(s.shape) && !positive(s.q)) ||
        (s.shape == Shape::notch && !(s.wz >= 0 && std::isfinite(s.wz))))
        throw std::invalid_argument("Seção com w0, Q, wz ou impedância inválidos" + where);
    if (!gain_taken(t, s, o))
        throw std::invalid_argument("Ganho " + netlist_value(s.gain) + " fora do alcance da topologia" +
                                    where);
}

}  // namespace

bool realisable(Topology t, Shape shape) {
    switch (t) {
        case Topology::sallen_key_unity:
        case Topology::sallen_key_equal:
            return shape == Shape::lowpass || shape == Shape::highpass;
        case Topology::mfb:
            return shape == Shape::lowpass || shape == Shape::highpass || shape == Shape::bandpass;
        case Topology::biquad:
            return !first_order(shape);
        case Topology::follower_rc:
        case Topology::inverting:
            return first_order(shape);
    }
    return false;
}

int opamp_count(Topology t, Shape shape) {
    if (!realisable(t, shape)) return 0;
    if (t != Topology::biquad) return 1;
    return shape == Shape::highpass || shape == Shape::notch ? 4 : 3;
}

std::string topology_name(Topology t) {
    switch (t) {
        case Topology::sallen_key_unity:
        case Topology::sallen_key_equal:
            return "sallen-key";
        case Topology::mfb:
            return "mfb";
        case Topology::biquad:
            return "biquad";
        case Topology::follower_rc:
            return "rc-follower";
        case Topology::inverting:
            return "inverting";
    }
    return "";
}

std::string topology_form_name(Topology t) {
    switch (t) {
        case Topology::sallen_key_unity:
            return "sallen-key (ganho unitário)";
        case Topology::sallen_key_equal:
            return "sallen-key (capacitores iguais)";
        case Topology::mfb:
            return "mfb (realimentação múltipla)";
        case Topology::biquad:
            return "biquad (Tow-Thomas)";
        case Topology::follower_rc:
            return "rc-follower (RC e seguidor)";
        case Topology::inverting:
            return "inverting (amplificador inversor)";
    }
    return "";
}

GainRange gain_range(Topology t, const SectionGoal& goal, const RealiseOptions& o) {
    if (!realisable(t, goal.shape)) return empty_range();
    const bool high = goal.shape == Shape::highpass || goal.shape == Shape::highpass1;
    switch (t) {
        case Topology::sallen_key_unity:
        case Topology::follower_rc:
            return high ? GainRange{1, 1, false} : GainRange{0, 1, true};
        case Topology::sallen_key_equal:
            // The amplifier needs a gain above 1 (R3 > 0): a lowpass of Q > 0.5
            // (A ≥ 3 − 1/Q), a highpass of K ≥ 1.001.
            if (high) return {min_equal_c_highpass_gain, infinity, true};
            if (!(goal.q > 0.5L)) return empty_range();
            return {0, infinity, true};
        case Topology::mfb: {
            if (goal.shape == Shape::bandpass) return {0, 2 * goal.q * goal.q, true};
            if (goal.shape == Shape::lowpass) return {0, infinity, true};
            if (!(goal.gain > 0 && std::isfinite(goal.gain))) return empty_range();
            const Real c = nearest_cap(c0(goal, o), o), ratio = c / nearest_cap(c / goal.gain, o);
            return {ratio, ratio, false};
        }
        case Topology::biquad:
        case Topology::inverting:
            return {0, infinity, true};
    }
    return empty_range();
}

SectionCircuit realise(Topology t, const SectionGoal& goal, const RealiseOptions& o) {
    check_goal(t, goal, o);
    Builder b{.c = {.topology = t,
                    .goal = goal,
                    .inverting = inverting_output(t, goal.shape),
                    .parts = {},
                    .opamps = {}}};
    switch (t) {
        case Topology::sallen_key_unity:
            sallen_key_unity(b, goal, o);
            break;
        case Topology::sallen_key_equal:
            sallen_key_equal(b, goal, o);
            break;
        case Topology::mfb:
            mfb(b, goal, o);
            break;
        case Topology::biquad:
            biquad(b, goal, o);
            break;
        case Topology::follower_rc:
            follower_rc(b, goal, o);
            break;
        case Topology::inverting:
            inverting(b, goal, o);
            break;
    }
    return b.c;
}

SectionMeasure measure(const SectionCircuit& s) {
    const Values v{s};
    switch (s.topology) {
        case Topology::sallen_key_unity:
            return measure_sallen_key_unity(v, s.goal.shape);
        case Topology::sallen_key_equal:
            return measure_sallen_key_equal(v, s.goal.shape);
        case Topology::mfb:
            return measure_mfb(v, s.goal.shape);
        case Topology::biquad:
            return measure_biquad(v, s.goal.shape);
        case Topology::follower_rc:
        case Topology::inverting:
            return measure_first_order(v, s.topology, s.goal.shape);
    }
    return {};
}

namespace {

// Relative distances of a measured section from its goal.
// Relative errors, and their weighted sum: near its peak a section's
// response moves by about 2Q times a relative shift of ω0 (or ωz), by
// about the relative error of Q and of the gain.
struct Errors {
    Real w0 = 0, q = 0, wz = 0, gain = 0, weight = 1;
    Real sum() const {
        const Real w = weight * w0, z = weight * wz;
        return w * w + q * q + z * z + gain * gain;
    }
};

Errors errors(const SectionMeasure& m, const SectionGoal& s) {
    Errors e{std::fabs(m.w0 / s.w0 - 1), 0, 0, std::fabs(m.gain / s.gain - 1), 1};
    if (!first_order(s.shape)) {
        e.q = std::fabs(m.q / s.q - 1);
        e.weight = std::max(Real(1), 2 * s.q);
    }
    if (s.shape == Shape::notch) e.wz = s.wz > 0 ? std::fabs(m.wz / s.wz - 1) : std::fabs(m.wz / s.w0);
    return e;
}

// The standard values a resistor may take in the search: its neighbours
// below and above, and with few resistors the next ones out too.
std::vector<Real> candidates(Real exact, Series series, bool wide) {
    const auto [below, above] = standard_neighbours(exact, series);
    std::vector<Real> c{below};
    if (above != below) c.push_back(above);
    if (wide) {
        c.insert(c.begin(), step_standard(below, series, -1));
        c.push_back(step_standard(c.back(), series, 1));
    }
    return c;
}

}  // namespace

Rounding round_resistors(const SectionCircuit& exact, Series resistors, const MeasureFunction& m) {
    Rounding r{exact, exact};
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < exact.parts.size(); ++i) {
        const Part& p = exact.parts[i];
        if (p.kind != 'R') continue;
        at.push_back(i);
        r.plain.parts[i].value = nearest_standard(p.value, resistors);
    }
    if (at.size() > 20) throw std::invalid_argument("Seção com resistores demais para a busca.");
    // Up to five resistors: two values each way (4^5 sets); more: one each way.
    const bool wide = at.size() <= 5;
    std::vector<std::vector<Real>> choice;
    for (std::size_t i : at) choice.push_back(candidates(exact.parts[i].value, resistors, wide));
    r.searched = r.plain;
    const Errors plain = errors(m(r.plain), exact.goal);
    Real best = plain.sum();
    SectionCircuit trial = exact;
    std::vector<std::size_t> digit(at.size(), 0);  // a mixed-radix count over the choices
    while (true) {
        for (std::size_t j = 0; j < at.size(); ++j) trial.parts[at[j]].value = choice[j][digit[j]];
        const Errors e = errors(m(trial), exact.goal);
        if (e.w0 <= plain.w0 && e.q <= plain.q && e.wz <= plain.wz && e.sum() < best) {
            best = e.sum();
            r.searched = trial;
        }
        std::size_t j = 0;
        while (j < at.size() && ++digit[j] == choice[j].size()) digit[j++] = 0;
        if (j == at.size()) break;
    }
    return r;
}

}  // namespace analysis::design
