// From the raw sensitivities of a function D(s) that vanishes at a pole or
// zero p to the sensitivities of p itself.
//
// With S_i = x_i·∂D/∂x_i for every element and G = s·dD/ds (by frequency
// scaling: the sum of S over capacitors and inductors minus the sum over
// gain-bandwidth op-amps and couplings), the shift of p per unit relative
// change of element i is x_i·∂p/∂x_i = F·S_i with F = -s/G.
//
//   Complex g = sum_frequency_sensitivity(c, e, k);   // engine.h
//   if (!scale_to_point_sensitivities({sigma, omega}, g, re, im)) ...;
#pragma once

#include <span>

#include "analysis/engine/complex.h"

namespace analysis {

// S_i := F·S_i with F = -s/G. Returns false, changing nothing, when G is
// exactly zero (D does not depend on the frequency: no pole or zero there).
bool scale_to_point_sensitivities(Complex s, Complex g, std::span<Real> re, std::span<Real> im);

}  // namespace analysis
