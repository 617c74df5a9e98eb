// The standard series of preferred values (E6, E12, E24, E48, E96) and
// the taking of a value to them.
//
//   Real r = nearest_standard(10.3e3, Series::e96);      // 10.2e3
//   auto [below, above] = standard_neighbours(10.3e3, Series::e96);   // 10.2e3, 10.5e3
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "common/real.h"

namespace analysis::design {

using suite::Real;

enum class Series { e6, e12, e24, e48, e96 };

// "E6" ... "E96"; std::nullopt for any other text (case-insensitive).
std::string series_name(Series s);
std::optional<Series> series_from_name(const std::string& text);
// Values per decade (6 ... 96).
int series_size(Series s);
// The tolerance that parts of the series are usually sold with: E6 20 %,
// E12 10 %, E24 5 %, E48 2 %, E96 1 % (as a fraction).
Real series_tolerance(Series s);

// Every standard value is the double nearest to its decimal value (1.02e-9
// is the double that the text "1.02e-9" reads as), in every decade. A
// number within a relative 1e-12 of a standard value counts as that value.
// Each function throws std::invalid_argument for x not positive and finite.

// The standard value nearest to x > 0 (nearest on a logarithmic scale).
Real nearest_standard(Real x, Series s);
// The standard values just below and just above x (both that value when x is one).
std::pair<Real, Real> standard_neighbours(Real x, Series s);
// The standard value `steps` places above (or below, when negative) the
// standard value nearest x, across decades.
Real step_standard(Real x, Series s, int steps);

}  // namespace analysis::design
