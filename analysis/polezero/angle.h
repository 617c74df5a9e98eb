// The analysis program's four-quadrant angle, written phase_angle(im, re):
// an exact zero imaginary part counts as 1e-10, then an
// exact zero real part counts as |im·1e-10|; arctan(im/re), moved by π into
// the left half-plane. A negative real value thus reads just below +π and
// (0, 0) reads just below π/2.
#pragma once

#include <cmath>

#include "common/real.h"

namespace analysis {

inline suite::Real pz_phase_angle(suite::Real im, suite::Real re) {
    constexpr suite::Real pi = 3.141592653589793238462643383279502884L;
    if (im == 0) im = 1e-10L;
    if (re == 0) re = std::fabs(im * 1e-10L);
    suite::Real a = std::atan(im / re);
    if (re < 0) a += im > 0 ? pi : -pi;
    return a;
}

}  // namespace analysis
