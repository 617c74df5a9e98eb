// Low-pass prototypes of the classical approximations, and the minimum
// order that meets a requirement.
//
//   PrototypeRequirement r{.ripple_db = 0.5, .attenuation_db = 40, .stop_edge = 1.5};
//   int n = minimum_order(Approximation::elliptic, r);            // 5: from the degree equation (4.26)
//   Prototype p = prototype(Approximation::elliptic, n, r);
//   Real a = attenuation_db(p, 1.0);                             // ≤ 0.5 dB
//
// Normalisation: the pass band edge is at Ω = 1 rad/s and the stop band
// begins at Ω = stop_edge > 1. Every prototype's pass-band peak |H| is 1
// (0 dB):
//   butterworth        |H|² = 1/(1 + ε²Ω^2n), ε² = 10^(Ap/10) − 1: Ap exactly at Ω = 1;
//   chebyshev          equiripple between 0 and −Ap dB up to Ω = 1, −Ap exactly at Ω = 1;
//   inverse_chebyshev  monotonic pass band, equiripple stop band whose minimum attenuation
//                      As is reached exactly at Ω = stop_edge; at Ω = 1 the attenuation is
//                      at most Ap (exactly Ap when the order is not rounded up);
//   elliptic           equiripple in both bands, ripple exactly Ap and stop-band attenuation
//                      exactly As from Ω = stop_edge on; the order's slack widens the pass
//                      band (the ripple band reaches beyond Ω = 1; an order below the
//                      minimum narrows it to less than 1 instead);
//   bessel             maximally flat group delay, scaled so that the attenuation at Ω = 1
//                      is exactly Ap.
#pragma once

#include <complex>
#include <string>
#include <vector>

#include "common/real.h"

namespace analysis::design {

using suite::Real;

enum class Approximation { butterworth, chebyshev, inverse_chebyshev, elliptic, bessel };

// "butterworth", "chebyshev", "inverse-chebyshev", "elliptic", "bessel";
// from_name takes these in any case and returns false for anything else.
std::string approximation_name(Approximation a);
bool approximation_from_name(const std::string& text, Approximation& a);

constexpr int max_prototype_order = 20;

struct PrototypeRequirement {
    Real ripple_db = 1;        // Ap > 0: largest attenuation in the pass band 0 ≤ Ω ≤ 1
    Real attenuation_db = 40;  // As > Ap: smallest attenuation in the stop band Ω ≥ stop_edge
    Real stop_edge = 2;        // Ωs > 1
};

// H(s) = gain · Π(s − zeros) / Π(s − poles).
// Poles and zeros are listed the same way: the real pole (odd orders)
// first, then each pair as σ + jω, σ − jω (exact conjugates, ω > 0) by
// increasing ω.
struct Prototype {
    Approximation approximation = Approximation::butterworth;
    int order = 0;
    std::vector<std::complex<Real>> poles;  // n, in the left half plane; conjugates both listed
    std::vector<std::complex<Real>> zeros;  // finite zeros, on the jω axis; conjugates both listed
    Real gain = 1;                          // makes the pass-band peak |H| equal 1
};

// Requirements with Ap ≤ 0, As ≤ Ap, Ωs ≤ 1 (or not finite) and orders
// outside 1..max_prototype_order throw std::invalid_argument.

// The smallest order that meets the requirement: from the degree formula
// of each approximation (for the elliptic one through the complete
// elliptic integrals of the selectivity and discrimination moduli); for
// Bessel, which has none, the first order whose attenuation at stop_edge
// reaches As (Bessel attenuation at a fixed Ωs does not grow without end
// with the order: past a few orders it falls again). A degree within 1E-9
// above an integer counts as that integer. max_prototype_order + 1 when no
// order up to the limit does.
int minimum_order(Approximation a, const PrototypeRequirement& r);

// The prototype of order n (1..max_prototype_order) for the requirement.
Prototype prototype(Approximation a, int n, const PrototypeRequirement& r);

// The Bessel prototype normalised to a group delay of 1 s at Ω = 0 (its
// poles are the roots of the reverse Bessel polynomial), peak 1.
Prototype bessel_unit_delay(int n);

// Evaluations on the jΩ axis.
std::complex<Real> response(const Prototype& p, Real omega);
Real attenuation_db(const Prototype& p, Real omega);  // −20·log10 |H(jΩ)|
Real group_delay(const Prototype& p, Real omega);     // −d arg H / dΩ, in s

}  // namespace analysis::design
