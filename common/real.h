// Numeric types of the suite.
//
// The analysis program computes in 80-bit extended reals throughout; the
// editor keeps its values in doubles and evaluates formulas in Real.
// A complex number is a pair of Reals kept side by side (real part,
// imaginary part); the engine writes its complex arithmetic out on such
// pairs.
#pragma once

namespace suite {

using Real = long double;

}  // namespace suite
