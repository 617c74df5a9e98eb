#include "analysis/polezero/determinant.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <numbers>

namespace analysis {

ScaledComplex normalised(Complex m, long e) {
    const Real big = std::max(std::fabs(m.re), std::fabs(m.im));
    if (big == 0 || !std::isfinite(big)) return {m, e};
    int ex = 0;
    std::frexp(big, &ex);
    return {{std::ldexp(m.re, -ex), std::ldexp(m.im, -ex)}, e + ex};
}

ScaledComplex times(ScaledComplex a, ScaledComplex b) {
    return normalised(complex_multiply(a.m, b.m), a.e + b.e);
}

Complex in_units(ScaledComplex a, long unit) {
    if (is_zero(a)) return {};
    const long shift = std::max(a.e - unit, static_cast<long>(LDBL_MIN_EXP - LDBL_MANT_DIG - 2));
    return {std::ldexp(a.m.re, static_cast<int>(shift)), std::ldexp(a.m.im, static_cast<int>(shift))};
}

Real angle_step(Real from, Real to) {
    constexpr Real pi = std::numbers::pi_v<Real>;
    Real step = to - from;
    while (step > pi) step -= 2 * pi;
    while (step <= -pi) step += 2 * pi;
    return step;
}

ScaledComplex system_determinant(const NodalSystem& sys, int n) {
    ScaledComplex d{{1, 0}, 0};
    for (int k = 1; k <= n; ++k) d = times(d, normalised({sys.matrix_re[k][k], sys.matrix_im[k][k]}, 0));
    if (sys.row_exchanges % 2 != 0) d.m = -d.m;
    return d;
}

}  // namespace analysis
