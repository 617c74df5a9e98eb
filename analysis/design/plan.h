// From a low-pass prototype to the sections of the filter: the frequency
// transformation, the pairing of every pole pair with its zeros, and the
// order of the sections in the cascade.
//
//   std::vector<SectionGoal> s = plan_sections(requirement, prototype);   // gains 1, cascade order
//
// Transformation (Ω the prototype's frequency, pass band edges at |Ω| = 1):
//   low-pass   s/ωp2;   high-pass  ωp1/s;
//   band-pass  (s² + ω0²)/(B·s);  band-stop  B·s/(s² + ω0²);
//   with ω0 = √(ωp1·ωp2) and B = ωp2 − ωp1. Every first- or second-order
//   factor of the prototype becomes one or two factors of the filter; the
//   prototype's zeros at infinity become zeros at infinity (low-pass), at
//   the origin (high-pass), one at the origin and one at infinity for each
//   (band-pass) or a pair at ±jω0 (band-stop).
// Pairing: the pole pairs are taken from the highest Q down, each with the
//   pair of zeros on the jω axis nearest to its ω0 (on a logarithmic
//   scale) while such pairs remain; the others take a zero at the origin
//   and one at infinity when both remain (band-pass), else two of those
//   left (low-pass: infinity, high-pass: origin). A first-order factor
//   takes one.
// Order: first-order sections first, then by increasing Q, so that the
//   sections that peak most come last, where the signal has already been
//   shaped by the others (with the gains set so that no section's output
//   exceeds the filter's pass-band peak, see design.h).
#pragma once

#include <functional>
#include <vector>

#include "analysis/design/approximation.h"
#include "analysis/design/requirement.h"
#include "analysis/design/section.h"

namespace analysis::design {

std::vector<SectionGoal> plan_sections(const Requirement& r, const Prototype& p);

// The peak over frequency of |Π H_i(jω)| for the sections given (each
// with its gain), from a dense logarithmic scan spanning every ω0 and ωz
// of the sections, refined around the largest point.
Real cascade_peak(const std::vector<SectionGoal>& sections);
// The same times |extra(jω)|, the scan spanning the sections of `around` too
// (the section that `extra` belongs to).
Real cascade_peak(const std::vector<SectionGoal>& sections, const std::function<ComplexReal(Real w)>& extra,
                  const std::vector<SectionGoal>& around = {});

}  // namespace analysis::design
