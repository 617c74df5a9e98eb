// The derivative with respect to ω (rad/s) at a point of the sweep, as
// weights of the values at that point and its neighbours: the parabola
// through the three points (exact to second order on an uneven spacing),
// and the chord at either end of the sweep.
//
//   for (auto [q, w] : frequency_derivative(sw, p)) d += w * value[q];
#pragma once

#include <utility>
#include <vector>

#include "analysis/engine/sweep.h"

namespace analysis {

inline std::vector<std::pair<int, Real>> frequency_derivative(const Sweep& sw, int p) {
    constexpr Real two_pi = 6.283185307179586L;
    auto omega = [&](int q) {
        return sw.hertz_units ? two_pi * sw.points[q].frequency : sw.points[q].frequency;
    };
    const int last = sw.last_point;
    if (last < 1) return {};
    if (p <= 0 || p >= last) {
        const int a = p <= 0 ? 0 : last - 1, b = a + 1;
        const Real h = omega(b) - omega(a);
        return {{a, -1 / h}, {b, 1 / h}};
    }
    const Real h1 = omega(p) - omega(p - 1), h2 = omega(p + 1) - omega(p);
    return {{p - 1, -h2 / (h1 * (h1 + h2))}, {p, (h2 - h1) / (h1 * h2)}, {p + 1, h1 / (h2 * (h1 + h2))}};
}

}  // namespace analysis
