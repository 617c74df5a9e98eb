#include "analysis/polezero/point_sensitivity.h"

#include <cassert>

namespace analysis {

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
