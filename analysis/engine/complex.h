// Complex arithmetic on pairs of extended reals.
//
// The engine keeps complex numbers as two Reals (real part, imaginary
// part), in separate arrays where it stores many of them; these helpers
// write the arithmetic out on such pairs.
//
//   Complex p = complex_multiply({1, 2}, {3, -1});   // 5 + 5j
//   Complex q = complex_divide(p, {3, -1});          // 1 + 2j
#pragma once

#include "common/real.h"

namespace analysis {

using suite::Real;

struct Complex {
    Real re = 0;
    Real im = 0;
};

inline Complex complex_multiply(Complex a, Complex b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// (a + jb) / (c + jd) = (a + jb)(c - jd) / (c² + d²), without scaling
// against overflow.
// The same with c² + d² already at hand (one divisor for many dividends).
inline Complex complex_divide(Complex a, Complex b, Real b_norm) {
    return {(a.re * b.re + a.im * b.im) / b_norm, (a.im * b.re - a.re * b.im) / b_norm};
}
inline Complex complex_divide(Complex a, Complex b) { return complex_divide(a, b, b.re * b.re + b.im * b.im); }

inline Complex operator+(Complex a, Complex b) { return {a.re + b.re, a.im + b.im}; }
inline Complex operator-(Complex a, Complex b) { return {a.re - b.re, a.im - b.im}; }
inline Complex operator-(Complex a) { return {-a.re, -a.im}; }
inline Complex scale(Complex a, Real k) { return {a.re * k, a.im * k}; }

}  // namespace analysis
