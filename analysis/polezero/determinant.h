// The nodal determinant as a function of s: the circuit's frequency scale,
// the determinant of the factored system and the scaled complex numbers
// that hold it (the product of a hundred pivots leaves the range of a
// Real, so it is kept as a mantissa and a power of two), and the Newton
// step toward its nearest root.
//
//   Real w0 = element_frequency_scale(c);             // where to look
//   build_and_solve(c, e, tol);                       // factors the system
//   ScaledComplex d = system_determinant(e.system, c.equation_count);
//   Real h = newton_difference(p);                    // d, then d1, d2 at p ± h
//   std::optional<Complex> step = newton_step(d, d1, d2, h);
#pragma once

#include <optional>

#include "analysis/circuit/circuit.h"
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

// The frequency scale of the circuit from its element values (rad/s): the
// geometric mean of 1/(R0·C) over the capacitors, R0/L over the inductors
// and GB over the op-amps, R0 the geometric mean of the resistances; 1
// when the circuit has none of them.
Real element_frequency_scale(const Circuit& c);

// The step h of the central difference at p: 1e-7·|p|, near the cube
// root of the long double epsilon (1e-19), where the truncation error of
// the difference (h²) and the rounding noise of the function over h
// balance.
Real newton_difference(Complex p);

// The Newton step f(p)/f'(p) toward the nearest root of f (its distance
// is the step's modulus), from the values of f at p, p + h and p - h on
// the real axis, h = newton_difference(p): 0 when f(p) is exactly 0;
// nothing when the difference vanishes or the step overflows.
std::optional<Complex> newton_step(ScaledComplex at, ScaledComplex above, ScaledComplex below, Real h);

}  // namespace analysis
