#include "analysis/polezero/point_sensitivity.h"

#include <cassert>

namespace analysis {

Complex frequency_scaling_sum(std::span<const char> kinds, std::span<const Real> re,
                              std::span<const Real> im) {
    assert(kinds.size() == re.size() && re.size() == im.size());
    Complex g;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const Complex s{re[i], im[i]};
        if (kinds[i] == 'C' || kinds[i] == 'L')
            g = g + s;
        else if (kinds[i] == 'A' || kinds[i] == 'K')
            g = g - s;
    }
    return g;
}

bool scale_to_point_sensitivities(Complex s, Complex g, std::span<Real> re, std::span<Real> im) {
    assert(re.size() == im.size());
    if (g.re == 0 && g.im == 0) return false;
    const Complex f = complex_divide(-s, g);
    for (std::size_t i = 0; i < re.size(); ++i) {
        const Complex v = complex_multiply(f, {re[i], im[i]});
        re[i] = v.re;
        im[i] = v.im;
    }
    return true;
}

}  // namespace analysis
