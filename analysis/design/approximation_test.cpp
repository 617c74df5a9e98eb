// The low-pass prototypes against closed forms, against poles and zeros
// computed once at 40 digits by an independent construction (the elliptic
// rational function's own zeros and poles, |H|² = 1/(1 + εp²Rn²), solved as
// a polynomial; the Bessel polynomial's roots), and against the defining
// properties: equiripple extremes, exact band-edge attenuations, a
// maximally flat delay.
#include "analysis/design/approximation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

namespace analysis::design {
namespace {

using Complex = std::complex<Real>;
constexpr Real pi = 3.141592653589793238462643383279502884L;
constexpr Approximation all[] = {Approximation::butterworth, Approximation::chebyshev,
                                 Approximation::inverse_chebyshev, Approximation::elliptic,
                                 Approximation::bessel};

Real eps2(Real db) { return std::pow(10.0L, db / 10) - 1; }
Real db_of(Real e2) { return 10 * std::log10(1 + e2); }

// Tn(x) for x ≥ 0.
Real chebyshev_t(int n, Real x) { return x <= 1 ? std::cos(n * std::acos(x)) : std::cosh(n * std::acosh(x)); }

// Every member of `expected` is matched by a member of `got` within tol·|s|
// (and the two are as many, unless only some are expected).
void expect_same_set(const std::vector<Complex>& got, const std::vector<Complex>& expected, Real tol,
                     bool all_expected = true) {
    if (all_expected) {
        ASSERT_EQ(got.size(), expected.size());
    }
    for (const Complex& e : expected) {
        Real nearest = std::numeric_limits<Real>::infinity();
        for (const Complex& g : got) nearest = std::min(nearest, std::abs(g - e));
        EXPECT_LT(nearest, tol * std::abs(e)) << "missing " << double(e.real()) << " " << double(e.imag());
    }
}

struct Extreme {
    Real omega;
    Real db;
    bool maximum;
};

// Local extremes of the attenuation on (lo, hi): a scan of `points` steps
// (logarithmic when log_scale) and a golden-section search in each bracket.
std::vector<Extreme> extremes(const Prototype& p, Real lo, Real hi, int points, bool log_scale) {
    const auto at = [&](int i) {
        const Real t = Real(i) / points;
        return log_scale ? lo * std::pow(hi / lo, t) : lo + (hi - lo) * t;
    };
    std::vector<Extreme> out;
    for (int i = 1; i < points; ++i) {
        const Real a = attenuation_db(p, at(i - 1)), b = attenuation_db(p, at(i)),
                   c = attenuation_db(p, at(i + 1));
        const bool maximum = b > a && b >= c, minimum = b < a && b <= c;
        if (!maximum && !minimum) continue;
        const Real sign = maximum ? -1 : 1;  // minimise sign·attenuation
        Real x0 = at(i - 1), x3 = at(i + 1);
        const Real g = (std::sqrt(5.0L) - 1) / 2;
        for (int k = 0; k < 120; ++k) {
            const Real x1 = x3 - g * (x3 - x0), x2 = x0 + g * (x3 - x0);
            if (sign * attenuation_db(p, x1) < sign * attenuation_db(p, x2))
                x3 = x2;
            else
                x0 = x1;
        }
        const Real x = (x0 + x3) / 2;
        out.push_back({x, attenuation_db(p, x), maximum});
    }
    return out;
}

Real peak_gain(const Prototype& p, Real hi) {
    Real peak = 0;
    for (const Extreme& e : extremes(p, 1e-6L, hi, 4000, false))
        if (!e.maximum) peak = std::max(peak, std::pow(10.0L, -e.db / 20));
    return std::max({peak, std::abs(response(p, 0)), std::abs(response(p, hi))});
}

TEST(ApproximationName, RoundTripsAnyCaseAndRefusesOtherWords) {
    const char* names[] = {"butterworth", "chebyshev", "inverse-chebyshev", "elliptic", "bessel"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(approximation_name(all[i]), names[i]);
        Approximation a = Approximation::bessel;
        ASSERT_TRUE(approximation_from_name(names[i], a));
        EXPECT_EQ(a, all[i]);
    }
    Approximation a = Approximation::butterworth;
    EXPECT_TRUE(approximation_from_name("Inverse-CHEBYSHEV", a));
    EXPECT_EQ(a, Approximation::inverse_chebyshev);
    EXPECT_TRUE(approximation_from_name("ELLIPTIC", a));
    EXPECT_EQ(a, Approximation::elliptic);
    for (const char* word : {"", "cheby", "inverse chebyshev", "bessel ", "cauer", "chebyshev2"})
        EXPECT_FALSE(approximation_from_name(word, a)) << word;
}

TEST(PrototypeRequirementCheck, RefusesImpossibleRequirementsAndOrders) {
    const Real nan = std::numeric_limits<Real>::quiet_NaN();
    const PrototypeRequirement bad[] = {{0, 40, 2},   {-1, 40, 2},  {1, 1, 2},   {1, 0.5, 2},  {1, 40, 1},
                                        {1, 40, 0.5}, {nan, 40, 2}, {1, nan, 2}, {1, 40, nan}, {1, 40, -3}};
    for (const Approximation a : all) {
        for (const PrototypeRequirement& r : bad) {
            EXPECT_THROW(minimum_order(a, r), std::invalid_argument);
            EXPECT_THROW(prototype(a, 3, r), std::invalid_argument);
        }
        EXPECT_THROW(prototype(a, 0, {}), std::invalid_argument);
        EXPECT_THROW(prototype(a, max_prototype_order + 1, {}), std::invalid_argument);
        EXPECT_NO_THROW(prototype(a, max_prototype_order, {}));
    }
    EXPECT_THROW(bessel_unit_delay(0), std::invalid_argument);
    EXPECT_THROW(bessel_unit_delay(21), std::invalid_argument);
}

// Orders from the degree formulas evaluated at 40 digits (Butterworth,
// Chebyshev and elliptic degrees in the comments); Bessel from its
// attenuation at Ωs for each order, also at 40 digits.
TEST(MinimumOrder, MeetsEachDegreeFormula) {
    struct Row {
        Approximation a;
        Real ap, as, ws;
        int n;
    };
    using A = Approximation;
    const Row rows[] = {
        {A::butterworth, 3.0103L, 40, 2, 7},         // 6.6438
        {A::chebyshev, 1, 40, 2, 5},                 // 4.5361
        {A::inverse_chebyshev, 1, 40, 2, 5},         //
        {A::elliptic, 1, 40, 2, 4},                  // 3.3178
        {A::butterworth, 0.5L, 40, 1.5L, 14},        // 13.952
        {A::chebyshev, 0.5L, 40, 1.5L, 7},           // 6.5980
        {A::elliptic, 0.5L, 40, 1.5L, 5},            // 4.2612
        {A::elliptic, 0.5L, 40, 2, 4},               // 3.5050
        {A::butterworth, 0.1L, 60, 1.2L, 21},        // 48.198: none up to 20
        {A::inverse_chebyshev, 0.1L, 60, 1.2L, 16},  // 15.233
        {A::elliptic, 0.1L, 60, 1.2L, 8},            // 7.7974
        {A::chebyshev, 1, 60, 1.05L, 21},            // 26.281
        {A::elliptic, 1, 60, 1.05L, 10},             // 9.2694
        {A::butterworth, 0.25L, 80, 3, 10},          // 9.6697
        {A::elliptic, 0.25L, 80, 3, 5},              // 4.8903
        {A::chebyshev, 2, 30, 1.3L, 6},              // 5.8360
        {A::elliptic, 2, 30, 1.3L, 4},               // 3.5387
        {A::butterworth, 3, 3.5L, 10, 1},
        {A::elliptic, 3, 3.5L, 10, 1},
        {A::butterworth, 1, 1.0000000001L, 10, 1},  // 1.1E-11
        // Bessel at 3.0103 dB, Ωs = 2 attenuates 9.8153, 12.0003, 13.405,
        // 14.063, 14.172, 13.978 dB for n = 2..7, then less.
        {A::bessel, 3.0103L, 9.8, 2, 2},
        {A::bessel, 3.0103L, 10, 2, 3},
        {A::bessel, 3.0103L, 12, 2, 3},
        {A::bessel, 3.0103L, 14.1L, 2, 6},
        {A::bessel, 3.0103L, 14.2L, 2, 21},
        // 1 dB, Ωs = 3: 9.9807, 10.673, 10.718 dB for n = 3..5.
        {A::bessel, 1, 10.7L, 3, 5},
        {A::bessel, 1, 10.5L, 3, 4},
    };
    for (const Row& row : rows)
        EXPECT_EQ(minimum_order(row.a, {row.ap, row.as, row.ws}), row.n)
            << approximation_name(row.a) << " " << double(row.ap) << " " << double(row.as) << " "
            << double(row.ws);
}

// Requirements whose degree is an integer n, at Ap = 10·log10 2 (εp = 1):
// Butterworth D = Ωs^2n, Chebyshev √D = Tn(Ωs) (integers by Tk+1 =
// 2Ωs·Tk − Tk−1), elliptic √D = 1/k1 with k1 = θ2²/θ3² of q^n, q the nome
// of 1/Ωs by its series. Each takes order n; 1E-6 dB more As takes n + 1.
TEST(MinimumOrder, DegreesThatAreIntegers) {
    const Real three_db = 10 * std::log10(2.0L);
    for (const int ws : {2, 3, 4, 7, 9})
        for (int n = 1; n <= 8; ++n) {
            Real t0 = 1, t1 = ws;
            for (int k = 1; k < n; ++k) t0 = std::exchange(t1, 2 * ws * t1 - t0);
            const Real kc = std::sqrt(1 - 1.0L / (ws * ws));
            const Real l = (1 - std::sqrt(kc)) / (2 * (1 + std::sqrt(kc)));
            const Real q =
                l + 2 * std::pow(l, 5) + 15 * std::pow(l, 9) + 150 * std::pow(l, 13) + 1707 * std::pow(l, 17);
            const Real qn = std::pow(q, n);
            const Real theta2 = 2 * std::pow(qn, 0.25L) * (1 + qn * qn + std::pow(qn, 6));
            const Real theta3 = 1 + 2 * qn + 2 * std::pow(qn, 4);
            const Real k1 = theta2 * theta2 / (theta3 * theta3);
            const struct {
                Approximation a;
                Real d;
            } rows[] = {{Approximation::butterworth, std::pow(Real(ws), 2 * n)},
                        {Approximation::chebyshev, t1 * t1},
                        {Approximation::inverse_chebyshev, t1 * t1},
                        {Approximation::elliptic, 1 / (k1 * k1)}};
            for (const auto& row : rows) {
                EXPECT_EQ(minimum_order(row.a, {three_db, db_of(row.d), Real(ws)}), n)
                    << approximation_name(row.a) << " " << ws << " " << n;
                EXPECT_EQ(minimum_order(row.a, {three_db, db_of(row.d) + 1e-6L, Real(ws)}), n + 1)
                    << approximation_name(row.a) << " " << ws << " " << n;
            }
        }
}

// A second way to the elliptic degree: n ≈ ln(16D)/ln(1/q), with q the
// nome of k = 1/Ωs by its own series q = λ + 2λ⁵ + 15λ⁹ + 150λ¹³,
// λ = (1 − √k′)/(2(1 + √k′)).
TEST(MinimumOrder, EllipticAgreesWithTheNomeSeries) {
    const Real rows[][3] = {{1, 40, 2},     {0.5L, 40, 1.5L}, {0.5L, 40, 2}, {0.1L, 60, 1.2L},
                            {1, 60, 1.05L}, {0.25L, 80, 3},   {2, 30, 1.3L}, {0.01L, 90, 1.1L}};
    for (const auto& row : rows) {
        const Real kc = std::sqrt(1 - 1 / (row[2] * row[2]));
        const Real l = (1 - std::sqrt(kc)) / (2 * (1 + std::sqrt(kc)));
        const Real q = l + 2 * std::pow(l, 5) + 15 * std::pow(l, 9) + 150 * std::pow(l, 13);
        const Real series = std::log(16 * eps2(row[1]) / eps2(row[0])) / std::log(1 / q);
        const int n = minimum_order(Approximation::elliptic, {row[0], row[1], row[2]});
        EXPECT_EQ(n, std::min(21, int(std::ceil(series)))) << double(row[2]);
    }
}

TEST(Butterworth, PolesOnTheCircleAndApAtTheBandEdge) {
    for (const Real ap : {0.1L, 1.0L, 3.0103L})
        for (int n = 1; n <= 12; ++n) {
            const PrototypeRequirement r{ap, 50, 2};
            const Prototype p = prototype(Approximation::butterworth, n, r);
            const Real e2 = eps2(ap);
            std::vector<Complex> expected;
            for (int k = 1; k <= n; ++k)
                expected.push_back(std::polar(std::pow(e2, -0.5L / n), pi / 2 + (2 * k - 1) * pi / (2 * n)));
            expect_same_set(p.poles, expected, 1e-15L);
            EXPECT_TRUE(p.zeros.empty());
            EXPECT_NEAR(attenuation_db(p, 1), ap, 1e-14L);
            for (const Real w : {0.0L, 0.3L, 1.7L, 4.0L})
                EXPECT_NEAR(std::norm(response(p, w)), 1 / (1 + e2 * std::pow(w, 2 * n)), 1e-16L);
        }
}

// At Ω = cos(kπ/(2n)), Tn is cos(kπ/2): the attenuation alternates Ap, 0,
// Ap, … from the band edge to DC; beyond, |H|² = 1/(1 + ε²cosh²(n·acosh Ω)).
TEST(Chebyshev, RippleIsApAtEveryPassBandExtreme) {
    for (const Real ap : {0.1L, 0.5L, 1.0L, 3.0L})
        for (int n = 1; n <= 10; ++n) {
            const Prototype p = prototype(Approximation::chebyshev, n, {ap, 50, 2});
            for (int k = 0; k <= n; ++k)
                EXPECT_NEAR(attenuation_db(p, std::cos(k * pi / (2 * n))), k % 2 == 0 ? ap : 0, 1e-13L)
                    << n << " " << k;
            const std::vector<Extreme> found = extremes(p, 1e-4L, 1, 2000, false);
            EXPECT_EQ(int(found.size()), n - 1);
            for (const Extreme& e : found) EXPECT_NEAR(e.db, e.maximum ? ap : 0, 1e-12L);
            for (const Real w : {1.5L, 3.0L}) {
                const Real t = chebyshev_t(n, w);
                EXPECT_NEAR(std::norm(response(p, w)) * (1 + eps2(ap) * t * t), 1, 1e-15L);
            }
        }
}

// Zeros at ±jΩs/cos((2k − 1)π/(2n)); |H|² = 1/(1 + εs²/Tn²(Ωs/Ω)), so the
// stop band touches As at Ω = Ωs/cos(kπ/n), Ωs included; Ap at Ω = 1 when
// the degree is an integer.
TEST(InverseChebyshev, StopBandTouchesAsAndZerosAreWhereTnVanishes) {
    for (const Real as : {30.0L, 60.0L})
        for (int n = 1; n <= 9; ++n) {
            const PrototypeRequirement r{1, as, 1.6L};
            const Prototype p = prototype(Approximation::inverse_chebyshev, n, r);
            std::vector<Complex> zeros;
            for (int k = 1; 2 * k - 1 < n; ++k) {
                const Real z = r.stop_edge / std::cos((2 * k - 1) * pi / (2 * n));
                zeros.push_back({0, z});
                zeros.push_back({0, -z});
            }
            expect_same_set(p.zeros, zeros, 1e-16L);
            for (int k = 0; 2 * k < n; ++k)
                EXPECT_NEAR(attenuation_db(p, r.stop_edge / std::cos(k * pi / n)), as, 1e-11L) << n;
            EXPECT_NEAR(std::norm(response(p, 0)), 1, 1e-16L);
            for (const Real w : {0.5L, 1.0L, 2.5L}) {
                const Real t = chebyshev_t(n, r.stop_edge / w);
                EXPECT_NEAR(std::norm(response(p, w)), 1 / (1 + eps2(as) / (t * t)), 1e-15L) << n;
            }
        }
    const Real three_db = 10 * std::log10(2.0L);
    const Prototype exact = prototype(Approximation::inverse_chebyshev, 4, {three_db, db_of(97 * 97), 2});
    EXPECT_NEAR(attenuation_db(exact, 1), three_db, 1e-12L);
}

// Poles and zeros from the elliptic rational function: k from the nome
// q1^(1/n), Rn's zeros cd((2i − 1)K/n), its poles 1/(k·cd), then the
// left-half-plane roots of Dn² + εp²Nn² in s = jΩ, at 40 digits.
TEST(Elliptic, PolesAndZerosOfTwoTextbookDesigns) {
    struct Design {
        int n;
        PrototypeRequirement r;
        std::vector<Complex> poles, zeros;
    };
    const Design designs[] = {
        {5,
         {0.5L, 40, 1.5L},
         {{-0.077892779350715899066L, 1.1930845024076739571L},
          {-0.32496131563873337503L, 0.88454229946823443067L},
          {-0.55397658343329095935L, 0}},
         {{0, 1.5471108716018074956L}, {0, 2.2158236065572638492L}}},
        {4,
         {1, 40, 2},
         {{-0.13894077332123899401L, 1.31141043056257134L},
          {-0.48075806542059494371L, 0.63161702026425757218L}},
         {{0, 2.1241403040742173315L}, {0, 4.6523582698455984987L}}},
    };
    for (const Design& d : designs) {
        const Prototype p = prototype(Approximation::elliptic, d.n, d.r);
        std::vector<Complex> poles, zeros;
        for (const Complex& s : d.poles) {
            poles.push_back(s);
            if (s.imag() != 0) poles.push_back(std::conj(s));
        }
        for (const Complex& s : d.zeros) {
            zeros.push_back(s);
            zeros.push_back(std::conj(s));
        }
        expect_same_set(p.poles, poles, 1e-16L);
        expect_same_set(p.zeros, zeros, 1e-16L);
    }
}

// Equiripple in both bands: n − 1 extremes below Ωs, each at 0 or Ap; As at
// Ωs and at every stop-band minimum; far out, As again (even n) or a roll-off.
TEST(Elliptic, RippleApAndAttenuationAsAtEveryExtreme) {
    const PrototypeRequirement reqs[] = {{0.5L, 40, 1.5L}, {1, 60, 1.05L},    {0.1L, 50, 2.5L},
                                         {2, 30, 1.3L},    {0.1L, 40, 1.01L}, {0.5L, 40, 1000}};
    for (const PrototypeRequirement& r : reqs) {
        const int minimum = minimum_order(Approximation::elliptic, r);
        for (const int n : {minimum, minimum + 1, minimum + 2}) {
            ASSERT_LE(n, max_prototype_order);
            const Prototype p = prototype(Approximation::elliptic, n, r);
            const std::vector<Extreme> pass = extremes(p, 1e-4L, r.stop_edge, 20000, false);
            EXPECT_EQ(int(pass.size()), n - 1) << n;
            for (const Extreme& e : pass) EXPECT_NEAR(e.db, e.maximum ? r.ripple_db : 0, 1e-10L) << n;
            EXPECT_NEAR(attenuation_db(p, 0), n % 2 == 0 ? r.ripple_db : 0, 1e-12L);
            EXPECT_NEAR(attenuation_db(p, r.stop_edge), r.attenuation_db, 1e-10L) << n;
            int minima = 0;
            for (const Extreme& e : extremes(p, r.stop_edge * 1.0001L, r.stop_edge * 1e3L, 20000, true))
                if (!e.maximum) {
                    ++minima;
                    EXPECT_NEAR(e.db, r.attenuation_db, 1e-9L) << n;
                }
            EXPECT_EQ(minima, (n - 1) / 2) << n;
            // Far out an odd order falls at 20 dB a decade (one pole more than
            // zeros); an even one settles at As.
            const Real far = attenuation_db(p, 1e6L * r.stop_edge),
                       farther = attenuation_db(p, 1e8L * r.stop_edge);
            if (n % 2 == 0) {
                EXPECT_NEAR(far, r.attenuation_db, 1e-6L);
                EXPECT_NEAR(farther, r.attenuation_db, 1e-10L);
            } else {
                EXPECT_NEAR(farther - far, 40, 1e-6L);
            }
            // The order's slack widens the pass band beyond Ω = 1.
            if (n == minimum) {
                EXPECT_LE(attenuation_db(p, 1), r.ripple_db + 1e-12L);
            } else {
                EXPECT_LT(attenuation_db(p, 1.0001L), r.ripple_db);
            }
        }
    }
}

// 1 − τ(Ω) = Ω^(2n)/|θn(jΩ)|² for the reverse Bessel polynomial θn, whose
// coefficients are (2n − k)!/(2^(n−k)·k!·(n − k)!): the delay is 1 at DC and
// its first 2n − 1 derivatives vanish there.
TEST(Bessel, UnitDelayIsMaximallyFlat) {
    for (int n = 1; n <= max_prototype_order; ++n) {
        const Prototype p = bessel_unit_delay(n);
        ASSERT_EQ(int(p.poles.size()), n);
        const auto theta = [n](Complex s) {
            Complex sum = 0;
            for (int k = 0; k <= n; ++k) {
                Real c = std::ldexp(1.0L, k - n);
                for (int i = n - k + 1; i <= 2 * n - k; ++i) c *= i;
                for (int i = 2; i <= k; ++i) c /= i;
                sum += c * std::pow(s, k);
            }
            return sum;
        };
        Complex product = 1;
        for (const Complex& s : p.poles) product *= -s;
        EXPECT_NEAR(product.real() / theta(0).real(), 1, 1e-17L) << n;
        EXPECT_NEAR(group_delay(p, 0), 1, 1e-17L);
        EXPECT_NEAR(attenuation_db(p, 0), 0, 1e-14L);
        for (const Real w : {0.5L, 1.0L, 2.0L, n / 2.0L, Real(n), 2.0L * n}) {
            const Complex t = theta({0, w});
            EXPECT_NEAR(group_delay(p, w), 1 - std::pow(w, 2 * n) / std::norm(t), 1e-16L)
                << n << " " << double(w);
            EXPECT_NEAR(std::norm(response(p, w)), std::norm(theta(0) / t), 1e-17L) << n;
        }
    }
    expect_same_set(bessel_unit_delay(2).poles, {{-1.5L, 0.8660254037844386L}, {-1.5L, -0.8660254037844386L}},
                    1e-15L);
    expect_same_set(bessel_unit_delay(3).poles,
                    {{-2.322185354626085593L, 0},
                     {-1.838907322686957204L, 1.754380959783721661L},
                     {-1.838907322686957204L, -1.754380959783721661L}},
                    1e-16L);
    // The roots of θ20 computed at 40 digits: the outermost and innermost pairs.
    expect_same_set(bessel_unit_delay(20).poles,
                    {{-13.56742428315331329L, 0.8677362549557982776L},
                     {-13.56742428315331329L, -0.8677362549557982776L},
                     {-4.071018561816317322L, 17.77186906888545612L},
                     {-4.071018561816317322L, -17.77186906888545612L}},
                    1e-17L, false);
}

// The unit-delay prototypes' 3.0103 dB frequencies (40 digits) are the
// scale of the prototypes normalised to 10·log10 2 dB at Ω = 1.
TEST(Bessel, ScaledToApAtTheBandEdge) {
    const Real w3[] = {1,
                       1.361654128716130521L,
                       1.755672368681210649L,
                       2.113917674904215843L,
                       2.427410702152628138L,
                       2.703395061202921876L,
                       2.951722147038722772L,
                       3.179617237510651331L,
                       3.391693138911660101L,
                       3.590980594569163483L};
    const Real three_db = 10 * std::log10(2.0L);
    for (int n = 1; n <= 10; ++n) {
        const Prototype unit = bessel_unit_delay(n);
        EXPECT_NEAR(attenuation_db(unit, w3[n - 1]), three_db, 1e-13L) << n;
        std::vector<Complex> scaled;
        for (const Complex& s : unit.poles) scaled.push_back(s / w3[n - 1]);
        expect_same_set(prototype(Approximation::bessel, n, {three_db, 20, 2}).poles, scaled, 1e-15L);
    }
    for (const Real ap : {0.1L, 1.0L, 6.0L})
        for (int n = 1; n <= max_prototype_order; ++n)
            EXPECT_NEAR(attenuation_db(prototype(Approximation::bessel, n, {ap, 40, 2}), 1), ap, 1e-13L);
}

// Every prototype: n poles in the left half plane, conjugates listed, zeros
// on the axis, |H| peaking at 1, and a delay that is the phase's derivative.
TEST(Prototypes, ShapeGainAndGroupDelay) {
    const PrototypeRequirement r{0.5L, 45, 1.4L};
    for (const Approximation a : all)
        for (int n = 1; n <= max_prototype_order; ++n) {
            const Prototype p = prototype(a, n, r);
            EXPECT_EQ(p.approximation, a);
            EXPECT_EQ(p.order, n);
            ASSERT_EQ(int(p.poles.size()), n);
            const bool zeros = a == Approximation::inverse_chebyshev || a == Approximation::elliptic;
            EXPECT_EQ(int(p.zeros.size()), zeros ? n / 2 * 2 : 0);
            // The real member first, then σ + jω, σ − jω pairs by increasing ω > 0.
            const auto listed_in_pairs = [](const std::vector<Complex>& set) {
                const std::size_t first = set.size() % 2;
                if (first == 1 && set[0].imag() != 0) return false;
                for (std::size_t i = first; i < set.size(); i += 2)
                    if (!(set[i].imag() > (i > first ? set[i - 2].imag() : 0)) ||
                        set[i + 1] != std::conj(set[i]))
                        return false;
                return true;
            };
            EXPECT_TRUE(listed_in_pairs(p.poles) && listed_in_pairs(p.zeros)) << approximation_name(a) << n;
            for (const Complex& s : p.poles) EXPECT_LT(s.real(), 0);
            for (const Complex& z : p.zeros) EXPECT_EQ(z.real(), 0);
            EXPECT_NEAR(peak_gain(p, 3 * r.stop_edge), 1, 1e-12L) << approximation_name(a) << n;
            if (n > 8) continue;
            for (const Real w : {0.3L, 0.9L, 1.2L, 2.2L}) {
                const Real h = 1e-6L;
                Real dphase = std::arg(response(p, w + h) / response(p, w - h));
                EXPECT_NEAR(group_delay(p, w), -dphase / (2 * h), 1e-8L * (1 + group_delay(p, w)))
                    << approximation_name(a) << n << " " << double(w);
            }
        }
}

}  // namespace
}  // namespace analysis::design
