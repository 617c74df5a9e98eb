// Statistical deviations of one pole or zero from its element sensitivities.
//
// Input per element i: the complex sensitivity a_i + j·b_i (the shift of
// the point per unit relative change of element i) and the element's
// relative variability σ_i. Output: the standard deviations of the real and
// imaginary parts, and an ellipse given by the angle of its principal
// direction and the standard deviations along it and across it.
//
//   PoleZeroEntry e;
//   compute_deviations(a, b, sigma, e);   // spans of equal length
#pragma once

#include <span>
#include <string>

#include "analysis/polezero/polezero_set.h"

namespace analysis {

// Fills VRe, VIm, Ang, Ra and Rb of `e`.
void compute_deviations(std::span<const Real> a, std::span<const Real> b, std::span<const Real> sigma,
                        PoleZeroEntry& e);

// The principal direction alone: each element's contribution
// (a_i² + b_i²)·σ_i², laid along the angle of its sensitivity, is added to
// or subtracted from the running sum, whichever makes the sum longer (a tie
// subtracts). Returns the sum.
struct PrincipalSum {
    Real re = 0;
    Real im = 0;
};
PrincipalSum principal_sum(std::span<const Real> a, std::span<const Real> b, std::span<const Real> sigma);

// The plot's starting square for the entries 1..count: centred on the
// origin, side 2^(e+1) with e = trunc(log2 M) + 1, M the largest of 0.1
// and every |Re|, |Im| (valid entries or not).
PoleZeroScales starting_scales(const PoleZeroSet& set);

// ".r" for poles; ".z" and the output node for zeros, cut to 4 characters.
std::string default_pole_zero_extension(bool poles, int output_node);

}  // namespace analysis
