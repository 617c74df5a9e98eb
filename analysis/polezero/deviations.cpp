#include "analysis/polezero/deviations.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "analysis/engine/engine.h"

namespace analysis {

PrincipalSum principal_sum(std::span<const Real> a, std::span<const Real> b, std::span<const Real> sigma) {
    assert(a.size() == b.size() && a.size() == sigma.size());
    PrincipalSum p;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const Real m = (a[i] * a[i] + b[i] * b[i]) * sigma[i] * sigma[i];
        const Real theta = phase_angle(b[i], a[i]);
        const Real c = m * std::cos(theta);
        const Real d = m * std::sin(theta);
        const PrincipalSum plus{p.re + c, p.im + d};
        const PrincipalSum minus{p.re - c, p.im - d};
        const Real plus2 = plus.re * plus.re + plus.im * plus.im;
        const Real minus2 = minus.re * minus.re + minus.im * minus.im;
        p = plus2 > minus2 ? plus : minus;
    }
    return p;
}

void compute_deviations(std::span<const Real> a, std::span<const Real> b, std::span<const Real> sigma,
                        PoleZeroEntry& e) {
    const PrincipalSum p = principal_sum(a, b, sigma);
    e.Ang = phase_angle(p.im, p.re);
    const Real ca = std::cos(e.Ang);
    const Real sa = std::sin(e.Ang);
    Real vre = 0, vim = 0, ra = 0, rb = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const Real x = a[i] * sigma[i];
        const Real y = b[i] * sigma[i];
        const Real along = (a[i] * ca + b[i] * sa) * sigma[i];
        const Real across = (-a[i] * sa + b[i] * ca) * sigma[i];
        vre += x * x;
        vim += y * y;
        ra += along * along;
        rb += across * across;
    }
    e.VRe = std::sqrt(vre);
    e.VIm = std::sqrt(vim);
    e.Ra = std::sqrt(ra);
    e.Rb = std::sqrt(rb);
}

PoleZeroScales starting_scales(const PoleZeroSet& set) {
    Real m = 0.1L;
    for (int k = 1; k <= set.entry_count; ++k) {
        m = std::max({m, std::fabs(set.entries[k].Re), std::fabs(set.entries[k].Im)});
    }
    const int e = static_cast<int>(std::trunc(std::log2(m))) + 1;
    const Real half = std::ldexp(Real{1}, e);
    return PoleZeroScales{-half, -half, 2 * half};
}

std::string default_pole_zero_extension(bool poles, int output_node) {
    if (poles) return ".r";
    return (".z" + std::to_string(output_node)).substr(0, 4);
}

}  // namespace analysis
