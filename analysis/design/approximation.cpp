// The classical low-pass prototypes: their degree formulas, their poles and
// zeros in closed form (Butterworth, Chebyshev, inverse Chebyshev), through
// the Jacobi elliptic functions (elliptic) and as the roots of the reverse
// Bessel polynomial (Bessel).
#include "analysis/design/approximation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace analysis::design {

namespace {

using Complex = std::complex<Real>;

constexpr Real pi = 3.141592653589793238462643383279502884L;
constexpr Real ln10 = 2.302585092994045684017991454684364208L;
constexpr Complex j{0, 1};

// Rounding slack of a degree formula that lands on an integer.
constexpr Real degree_slack = 1e-9L;

// ε² = 10^(A/10) − 1, accurate for small A.
Real epsilon_squared(Real db) { return std::expm1(db * ln10 / 10); }

void validate(const PrototypeRequirement& r) {
    if (!(r.ripple_db > 0) || !std::isfinite(r.ripple_db))
        throw std::invalid_argument("pass-band ripple must be positive");
    if (!(r.attenuation_db > r.ripple_db) || !std::isfinite(r.attenuation_db))
        throw std::invalid_argument("stop-band attenuation must exceed the pass-band ripple");
    if (!(r.stop_edge > 1) || !std::isfinite(r.stop_edge))
        throw std::invalid_argument("stop-band edge must lie above the pass-band edge 1");
}

void validate_order(int n) {
    if (n < 1 || n > max_prototype_order)
        throw std::invalid_argument("prototype order must lie between 1 and " +
                                    std::to_string(max_prototype_order));
}

// ---------------------------------------------------------------------------
// Jacobi elliptic machinery. A modulus travels with its complement k′ =
// √(1 − k²), each computed without cancellation, so that moduli close to 1
// (stop edges close to the pass band) keep their precision.

struct Modulus {
    Real k;
    Real kc;
};

Real agm(Real a, Real b) {
    for (int i = 0; i < 64 && std::fabs(a - b) > std::numeric_limits<Real>::epsilon() * a; ++i) {
        const Real m = (a + b) / 2;
        b = std::sqrt(a * b);
        a = m;
    }
    return (a + b) / 2;
}

// The complete elliptic integral of the first kind K(k) and K′(k) = K(k′).
Real complete_k(const Modulus& m) { return pi / (2 * agm(1, m.kc)); }
Real complete_kc(const Modulus& m) { return pi / (2 * agm(1, m.k)); }

// θ2, θ3 and θ4 at argument 0 for the nome q (q ≤ e^−π, so the series end fast).
struct Thetas {
    Real t2, t3, t4;
};

Thetas thetas(Real q) {
    Thetas t{0, 1, 1};
    for (int m = 0; m < 40; ++m) {
        const Real h = m + 0.5L;
        const Real a = std::pow(q, h * h);
        const Real b = std::pow(q, Real(m + 1) * (m + 1));
        t.t2 += 2 * a;
        t.t3 += 2 * b;
        t.t4 += (m % 2 == 0 ? -2 : 2) * b;
        if (a < std::numeric_limits<Real>::epsilon() * 1e-3L) break;
    }
    return t;
}

// The modulus whose ratio K′/K is tau: k = θ2²/θ3², k′ = θ4²/θ3² for the nome
// q = e^(−π·tau); for tau < 1 the complementary nome e^(−π/tau) is used,
// which swaps k and k′.
Modulus modulus_from_ratio(Real tau) {
    const bool swap = tau < 1;
    const Thetas t = thetas(std::exp(-pi * (swap ? 1 / tau : tau)));
    const Real k = (t.t2 * t.t2) / (t.t3 * t.t3);
    const Real kc = (t.t4 * t.t4) / (t.t3 * t.t3);
    return swap ? Modulus{kc, k} : Modulus{k, kc};
}

// The descending Landen moduli k1, k2, … of k (k itself not included):
// k(i+1) = (1 − k′i)/(1 + k′i), k′(i+1) = 2√k′i/(1 + k′i).
std::vector<Real> landen(Modulus m) {
    std::vector<Real> v;
    while (m.k > 1e-30L && v.size() < 32) {
        const Real next = (1 - m.kc) / (1 + m.kc);
        m.kc = 2 * std::sqrt(m.kc) / (1 + m.kc);
        m.k = next;
        v.push_back(next);
    }
    return v;
}

// w ↦ (1 + v)w/(1 + v·w²) from the last Landen modulus to the first: turns
// sin or cos of uπ/2 (the functions of modulus 0) into sn or cd of uK.
Complex ascend(Complex w, const std::vector<Real>& v) {
    for (auto it = v.rbegin(); it != v.rend(); ++it) w = (1 + *it) * w / (Real(1) + *it * w * w);
    return w;
}

// cd(uK, k) and sn(uK, k), the argument normalised by the quarter period.
Complex cd_normalised(Complex u, const std::vector<Real>& v) { return ascend(std::cos(u * (pi / 2)), v); }
Complex sn_normalised(Complex u, const std::vector<Real>& v) { return ascend(std::sin(u * (pi / 2)), v); }

// y such that sn(j·y·K(k), k) = j·x, for real x: the inverse of the
// recursion above on the imaginary axis, then asin(jx) = j·asinh(x).
Real imaginary_asn_normalised(Real x, const Modulus& m) {
    Real k = m.k;
    for (const Real v : landen(m)) {
        x = 2 * x / ((1 + v) * (1 + std::sqrt(1 + k * k * x * x)));
        k = v;
    }
    return 2 * std::asinh(x) / pi;
}

// The discrimination modulus k1 = εp/εs of a requirement and its complement.
Modulus discrimination(const PrototypeRequirement& r) {
    const Real ep2 = epsilon_squared(r.ripple_db);
    const Real es2 = epsilon_squared(r.attenuation_db);
    return {std::sqrt(ep2 / es2), std::sqrt((es2 - ep2) / es2)};
}

// ---------------------------------------------------------------------------
// Degree formulas.

Real degree(Approximation a, const PrototypeRequirement& r) {
    const Real ratio2 = epsilon_squared(r.attenuation_db) / epsilon_squared(r.ripple_db);
    switch (a) {
        case Approximation::butterworth:
            return std::log(ratio2) / (2 * std::log(r.stop_edge));
        case Approximation::chebyshev:
        case Approximation::inverse_chebyshev:
            return std::acosh(std::sqrt(ratio2)) / std::acosh(r.stop_edge);
        case Approximation::elliptic: {
            const Real ws = r.stop_edge;
            const Modulus k{1 / ws, std::sqrt((ws - 1) * (ws + 1)) / ws};
            const Modulus k1 = discrimination(r);
            return complete_k(k) * complete_kc(k1) / (complete_kc(k) * complete_k(k1));
        }
        case Approximation::bessel:
            break;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Poles, zeros and gain.

// Puts a set listed with its conjugates into one order, each pair exactly
// conjugate: the real member first, then (σ + jω, σ − jω) with ω > 0 by
// increasing ω (the member with ω < 0 given is replaced by the conjugate of
// its partner). Members whose imaginary part is within tol·|s| of zero are
// taken as real.
std::vector<Complex> conjugate_ordered(const std::vector<Complex>& roots, Real tol) {
    std::vector<Complex> real, upper;
    for (const Complex& s : roots) {
        if (std::fabs(s.imag()) <= tol * std::abs(s))
            real.push_back({s.real(), 0});
        else if (s.imag() > 0)
            upper.push_back(s);
    }
    const auto by_imag = [](const Complex& a, const Complex& b) { return a.imag() < b.imag(); };
    std::sort(upper.begin(), upper.end(), by_imag);
    std::sort(real.begin(), real.end(),
              [](const Complex& a, const Complex& b) { return a.real() > b.real(); });
    std::vector<Complex> out = real;
    for (const Complex& s : upper) {
        out.push_back(s);
        out.push_back(std::conj(s));
    }
    return out;
}

// Sets the gain for |H(0)| = dc: H(0) = gain·Π(−z)/Π(−p), both products
// real and positive for left-half-plane poles and jω-axis zero pairs.
void set_dc_gain(Prototype& p, Real dc) {
    Complex num = 1, den = 1;
    for (const Complex& z : p.zeros) num *= -z;
    for (const Complex& s : p.poles) den *= -s;
    p.gain = dc * std::abs(den) / std::abs(num);
}

Prototype make(Approximation a, int n) {
    Prototype p;
    p.approximation = a;
    p.order = n;
    return p;
}

Prototype butterworth(int n, const PrototypeRequirement& r) {
    Prototype p = make(Approximation::butterworth, n);
    const Real radius = std::pow(epsilon_squared(r.ripple_db), -1 / (2 * Real(n)));
    for (int k = 1; k <= n; ++k) {
        const Real theta = pi / 2 + (2 * k - 1) * pi / (2 * n);
        p.poles.push_back(std::polar(radius, theta));
    }
    p.poles = conjugate_ordered(p.poles, 1e-15L);
    set_dc_gain(p, 1);
    return p;
}

// Chebyshev poles of ripple factor ε: −sinh(a)·sin θk + j·cosh(a)·cos θk,
// a = asinh(1/ε)/n, θk = (2k − 1)π/(2n).
std::vector<Complex> chebyshev_poles(int n, Real inv_epsilon) {
    const Real a = std::asinh(inv_epsilon) / n;
    std::vector<Complex> poles;
    for (int k = 1; k <= n; ++k) {
        const Real theta = (2 * k - 1) * pi / (2 * n);
        poles.push_back({-std::sinh(a) * std::sin(theta), std::cosh(a) * std::cos(theta)});
    }
    return poles;
}

Prototype chebyshev(int n, const PrototypeRequirement& r) {
    Prototype p = make(Approximation::chebyshev, n);
    const Real e2 = epsilon_squared(r.ripple_db);
    p.poles = conjugate_ordered(chebyshev_poles(n, 1 / std::sqrt(e2)), 1e-15L);
    set_dc_gain(p, n % 2 == 1 ? 1 : 1 / std::sqrt(1 + e2));
    return p;
}

// |H|² = 1/(1 + εs²/Tn²(Ωs/Ω)): the Chebyshev poles of ripple factor 1/εs
// mapped by s ↦ Ωs/s, and zeros where Tn(Ωs/Ω) = 0.
Prototype inverse_chebyshev(int n, const PrototypeRequirement& r) {
    Prototype p = make(Approximation::inverse_chebyshev, n);
    const Real ws = r.stop_edge;
    for (const Complex& s : chebyshev_poles(n, std::sqrt(epsilon_squared(r.attenuation_db))))
        p.poles.push_back(ws / s);
    for (int k = 1; 2 * k - 1 < n; ++k) {
        const Real zero = ws / std::cos((2 * k - 1) * pi / (2 * n));
        p.zeros.push_back({0, zero});
        p.zeros.push_back({0, -zero});
    }
    p.poles = conjugate_ordered(p.poles, 1e-15L);
    p.zeros = conjugate_ordered(p.zeros, 0);
    set_dc_gain(p, 1);
    return p;
}

// The elliptic prototype with the selectivity k that meets the degree
// equation n·K′(k)/K(k) = K′(k1)/K(k1) exactly, so its pass band ends at
// Ωp = k·Ωs ≥ 1 and both attenuations are exact. In w = Ω/Ωp, with
// ui = (2i − 1)/n: zeros j/(k·cd(ui K)), poles j·cd((ui − j v0)K) and, for
// odd n, j·sn(j v0 K), where sn(j·n·v0·K1, k1) = j/εp.
Prototype elliptic(int n, const PrototypeRequirement& r) {
    Prototype p = make(Approximation::elliptic, n);
    const Modulus k1 = discrimination(r);
    const Modulus k = modulus_from_ratio(complete_kc(k1) / complete_k(k1) / n);
    const std::vector<Real> v = landen(k);
    const Real ep2 = epsilon_squared(r.ripple_db);
    const Real v0 = imaginary_asn_normalised(1 / std::sqrt(ep2), k1) / n;
    const Real ws = r.stop_edge;
    const Real wp = k.k * ws;
    for (int i = 1; 2 * i <= n; ++i) {
        const Real u = Real(2 * i - 1) / n;
        const Complex zero = j * (ws / cd_normalised(u, v).real());
        const Complex pole = j * cd_normalised(Complex(u, -v0), v) * wp;
        p.zeros.insert(p.zeros.end(), {zero, std::conj(zero)});
        p.poles.insert(p.poles.end(), {pole, std::conj(pole)});
    }
    if (n % 2 == 1) p.poles.push_back({(j * sn_normalised(Complex(0, v0), v)).real() * wp, 0});
    p.poles = conjugate_ordered(p.poles, 1e-15L);
    p.zeros = conjugate_ordered(p.zeros, 0);
    set_dc_gain(p, n % 2 == 1 ? 1 : 1 / std::sqrt(1 + ep2));
    return p;
}

// ---------------------------------------------------------------------------
// Bessel.

// Coefficients a0..an of the reverse Bessel polynomial, an = 1:
// ak = (2n − k)!/(2^(n−k)·k!·(n − k)!), so a(k−1) = ak·k·(2n − k + 1)/(2(n − k + 1)).
// They are integers of up to 79 bits (a0 of order 20 is 3.2·10²³): each is
// kept exactly as the sum of two Reals.
struct Coefficient {
    Real hi, lo;
};

std::vector<Coefficient> reverse_bessel(int n) {
    __extension__ typedef __int128 Integer;
    std::vector<Coefficient> a(n + 1);
    Integer c = 1;
    for (int k = n; k >= 0; --k) {
        const Real hi = static_cast<Real>(c);
        a[k] = {hi, static_cast<Real>(c - static_cast<Integer>(hi))};
        if (k > 0) c = c * k * (2 * n - k + 1) / (2 * (n - k + 1));
    }
    return a;
}

// p(s) and p′(s) by Horner's rule.
void horner(const std::vector<Coefficient>& a, Complex s, Complex& value, Complex& slope) {
    value = 0;
    slope = 0;
    for (auto it = a.rbegin(); it != a.rend(); ++it) {
        slope = slope * s + value;
        value = value * s + it->hi;
    }
}

// Error-free transformations: a + b = s + e and a·b = p + e exactly.
void two_sum(Real a, Real b, Real& s, Real& e) {
    s = a + b;
    const Real bb = s - a;
    e = (a - (s - bb)) + (b - bb);
}

void two_product(Real a, Real b, Real& p, Real& e) {
    p = a * b;
    e = std::fma(a, b, -p);
}

// p(s) by the compensated Horner scheme: the rounding errors of every step
// (and the coefficients' low parts) are gathered and carried along, which
// gives the value as if computed in twice the precision. The roots of θn
// close to the real axis need it: their condition grows with n.
Complex compensated_horner(const std::vector<Coefficient>& a, Complex s) {
    const Real x = s.real(), y = s.imag();
    Real vr = 0, vi = 0;
    Complex correction = 0;
    for (auto it = a.rbegin(); it != a.rend(); ++it) {
        Real p1, e1, p2, e2, p3, e3, p4, e4, s1, f1, f2, f3;
        two_product(vr, x, p1, e1);
        two_product(vi, y, p2, e2);
        two_product(vr, y, p3, e3);
        two_product(vi, x, p4, e4);
        two_sum(p1, -p2, s1, f1);
        two_sum(s1, it->hi, vr, f2);
        two_sum(p3, p4, vi, f3);
        correction = correction * s + Complex(e1 - e2 + f1 + f2 + it->lo, e3 + e4 + f3);
    }
    return Complex(vr, vi) + correction;
}

// All roots of a real polynomial by Aberth–Ehrlich iterations from points
// on a left half circle (a set symmetric about the real axis, which the
// iteration keeps), then Newton steps on each root with the compensated
// value.
std::vector<Complex> polynomial_roots(const std::vector<Coefficient>& a) {
    const int n = static_cast<int>(a.size()) - 1;
    const Real radius = std::pow(std::fabs(a[0].hi / a[n].hi), 1 / Real(n));
    std::vector<Complex> z(n);
    for (int k = 0; k < n; ++k) z[k] = std::polar(radius, pi / 2 + (2 * k + 1) * pi / (2 * n));
    for (int iteration = 0; iteration < 500; ++iteration) {
        Real largest = 0;
        for (int i = 0; i < n; ++i) {
            Complex value, slope;
            horner(a, z[i], value, slope);
            if (value == Complex(0)) continue;
            const Complex ratio = value / slope;
            Complex repulsion = 0;
            for (int m = 0; m < n; ++m)
                if (m != i) repulsion += Real(1) / (z[i] - z[m]);
            const Complex step = ratio / (Real(1) - ratio * repulsion);
            z[i] -= step;
            largest = std::max(largest, std::abs(step) / std::abs(z[i]));
        }
        if (largest < 16 * std::numeric_limits<Real>::epsilon()) break;
    }
    for (Complex& s : z)
        for (int polish = 0; polish < 4; ++polish) {
            Complex value, slope;
            horner(a, s, value, slope);
            if (slope != Complex(0)) s -= compensated_horner(a, s) / slope;
        }
    return z;
}

Real bessel_scale(const Prototype& unit, Real ripple_db) {
    Real lo = 0, hi = 1;
    for (int i = 0; i < 200 && attenuation_db(unit, hi) < ripple_db; ++i) {
        lo = hi;
        hi *= 2;
    }
    for (int i = 0; i < 200; ++i) {
        const Real mid = (lo + hi) / 2;
        if (mid <= lo || mid >= hi) break;
        (attenuation_db(unit, mid) < ripple_db ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

Prototype bessel(int n, const PrototypeRequirement& r) {
    Prototype p = bessel_unit_delay(n);
    const Real scale = bessel_scale(p, r.ripple_db);
    for (Complex& s : p.poles) s /= scale;
    set_dc_gain(p, 1);
    return p;
}

}  // namespace

std::string approximation_name(Approximation a) {
    switch (a) {
        case Approximation::butterworth:
            return "butterworth";
        case Approximation::chebyshev:
            return "chebyshev";
        case Approximation::inverse_chebyshev:
            return "inverse-chebyshev";
        case Approximation::elliptic:
            return "elliptic";
        case Approximation::bessel:
            return "bessel";
    }
    return "";
}

bool approximation_from_name(const std::string& text, Approximation& a) {
    std::string lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    for (const Approximation candidate :
         {Approximation::butterworth, Approximation::chebyshev, Approximation::inverse_chebyshev,
          Approximation::elliptic, Approximation::bessel}) {
        if (lower == approximation_name(candidate)) {
            a = candidate;
            return true;
        }
    }
    return false;
}

int minimum_order(Approximation a, const PrototypeRequirement& r) {
    validate(r);
    if (a == Approximation::bessel) {
        for (int n = 1; n <= max_prototype_order; ++n)
            if (attenuation_db(prototype(a, n, r), r.stop_edge) >= r.attenuation_db - degree_slack) return n;
        return max_prototype_order + 1;
    }
    const Real d = degree(a, r);
    if (!(d <= max_prototype_order + degree_slack)) return max_prototype_order + 1;
    return std::max(1, static_cast<int>(std::ceil(d - degree_slack)));
}

Prototype prototype(Approximation a, int n, const PrototypeRequirement& r) {
    validate(r);
    validate_order(n);
    switch (a) {
        case Approximation::butterworth:
            return butterworth(n, r);
        case Approximation::chebyshev:
            return chebyshev(n, r);
        case Approximation::inverse_chebyshev:
            return inverse_chebyshev(n, r);
        case Approximation::elliptic:
            return elliptic(n, r);
        case Approximation::bessel:
            return bessel(n, r);
    }
    throw std::invalid_argument("unknown approximation");
}

Prototype bessel_unit_delay(int n) {
    validate_order(n);
    Prototype p = make(Approximation::bessel, n);
    p.poles = conjugate_ordered(polynomial_roots(reverse_bessel(n)), 1e-12L);
    set_dc_gain(p, 1);
    return p;
}

std::complex<Real> response(const Prototype& p, Real omega) {
    const Complex s{0, omega};
    Complex h = p.gain;
    for (const Complex& z : p.zeros) h *= s - z;
    for (const Complex& q : p.poles) h /= s - q;
    return h;
}

Real attenuation_db(const Prototype& p, Real omega) { return -20 * std::log10(std::abs(response(p, omega))); }

// arg(jΩ − a) for a = σ + jω changes at the rate −σ/(σ² + (Ω − ω)²): each
// pole adds that to the delay and each zero takes it away.
Real group_delay(const Prototype& p, Real omega) {
    const auto rate = [omega](const Complex& a) {
        const Real d = a.real() * a.real() + (omega - a.imag()) * (omega - a.imag());
        return d > 0 ? -a.real() / d : Real(0);
    };
    Real tau = 0;
    for (const Complex& q : p.poles) tau += rate(q);
    for (const Complex& z : p.zeros) tau -= rate(z);
    return tau;
}

}  // namespace analysis::design
