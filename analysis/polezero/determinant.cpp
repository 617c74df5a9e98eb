#include "analysis/polezero/determinant.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <numbers>

#include "analysis/circuit/circuit.h"

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

Real element_frequency_scale(const Circuit& c) {
    auto kind = [&](int i) { return element_kind(c, i); };
    Real log_r = 0, log_l = 0, log_c = 0;
    int nr = 0, nl = 0, nc = 0;
    for (int i = 1; i <= c.element_count; ++i) {
        const Real v = std::fabs(c.elements[i].value);
        if (v == 0 || !std::isfinite(v)) continue;
        switch (kind(i)) {
            case 'R':
            case 'a':
            case 'm':
            case 'q':
            case 'Z':
                log_r += std::log(v), ++nr;
                break;
            case 'L':
                log_l += std::log(v), ++nl;
                break;
            case 'C':
                log_c += std::log(v), ++nc;
                break;
            default:
                break;
        }
    }
    Real log_r0 = 0;
    if (nr > 0)
        log_r0 = log_r / nr;
    else if (nl > 0 && nc > 0)
        log_r0 = (log_l / nl - log_c / nc) / 2;
    Real sum = 0;
    int count = 0;
    for (int i = 1; i <= c.element_count; ++i) {
        const Real v = std::fabs(c.elements[i].value);
        if (v == 0 || !std::isfinite(v)) continue;
        if (kind(i) == 'C') sum += -log_r0 - std::log(v), ++count;
        if (kind(i) == 'L') sum += log_r0 - std::log(v), ++count;
        if (kind(i) == 'A' && i < c.element_count) {  // GB = (GB/Ro)·Ro, Ro the next element
            const Real gb = v * std::fabs(c.elements[i + 1].value);
            if (gb > 0 && std::isfinite(gb)) sum += std::log(gb), ++count;
        }
    }
    return count == 0 ? 1 : std::exp(sum / count);
}

Real newton_difference(Complex p) { return std::hypot(p.re, p.im) * 1e-7L; }

std::optional<Complex> newton_step(ScaledComplex at, ScaledComplex above, ScaledComplex below, Real h) {
    if (is_zero(at)) return Complex{};
    const long unit = std::max({at.e, above.e, below.e});
    const Complex diff = in_units(above, unit) - in_units(below, unit);
    if (diff.re == 0 && diff.im == 0) return std::nullopt;
    const Complex step = complex_divide(scale(in_units(at, unit), 2 * h), diff);
    if (!std::isfinite(step.re) || !std::isfinite(step.im)) return std::nullopt;
    return step;
}

}  // namespace analysis
