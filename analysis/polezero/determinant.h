// The determinant of the factored nodal system, and the scaled complex
// numbers that hold it: the product of a hundred pivots leaves the range
// of a Real, so it is kept as a mantissa and a power of two.
//
//   build_and_solve(c, e, tol);                       // factors the system
//   ScaledComplex d = system_determinant(e.system, c.equation_count);
#pragma once

#include "analysis/engine/complex.h"
#include "analysis/engine/solver.h"

namespace analysis {

// m·2^e, where m = 0 or the larger part of m has a magnitude in [0.5, 1).
struct ScaledComplex {
    Complex m;
    long e = 0;
};

ScaledComplex normalised(Complex m, long e);
ScaledComplex times(ScaledComplex a, ScaledComplex b);
inline bool is_zero(ScaledComplex a) { return a.m.re == 0 && a.m.im == 0; }
// a as a plain complex number in units of 2^unit.
Complex in_units(ScaledComplex a, long unit);

// The change of angle from `from` to `to`, brought into (-π, π]: summed
// around a closed curve, 2π times the winding of the values.
Real angle_step(Real from, Real to);

// The determinant of the factored system: the pivots on its diagonal,
// negated for an odd number of row exchanges.
ScaledComplex system_determinant(const NodalSystem& sys, int n);

}  // namespace analysis
