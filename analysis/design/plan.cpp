// From a prototype to the sections of the filter.
#include "analysis/design/plan.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace analysis::design {
namespace {

using C = ComplexReal;

struct Quadratic {
    Real w0, q;
};

// The quadratic of a pole pair p, p̄.
Quadratic pair_quadratic(C p) { return {std::abs(p), std::abs(p) / (-2 * p.real())}; }

// The roots of s² − a·s + b = 0 (a, b complex).
std::pair<C, C> quadratic_roots(C a, C b) {
    const C d = std::sqrt(a * a - Real(4) * b);
    return {(a + d) / Real(2), (a - d) / Real(2)};
}

struct Factors {
    std::vector<Quadratic> pairs;  // second-order pole factors
    std::vector<Real> reals;       // first-order pole factors: the pole's −s
    std::vector<Real> zeros;       // jω-axis zero pairs: ωz (0 never)
    int origin = 0, infinity = 0;  // zeros there
};

// Upper-half-plane poles and real poles of the prototype, and its jω zero pairs.
void split_prototype(const Prototype& p, std::vector<C>& pairs, std::vector<Real>& reals,
                     std::vector<Real>& zeros) {
    for (const C& x : p.poles) {
        if (std::fabs(x.imag()) <= 1e-12L * std::abs(x))
            reals.push_back(-x.real());
        else if (x.imag() > 0)
            pairs.push_back(x);
    }
    for (const C& z : p.zeros)
        if (z.imag() > 0) zeros.push_back(z.imag());
}

Factors transform(const Requirement& r, const Prototype& p) {
    std::vector<C> pairs;
    std::vector<Real> reals, zeros;
    split_prototype(p, pairs, reals, zeros);
    const int finite = 2 * static_cast<int>(zeros.size());
    const int at_infinity = p.order - finite;
    Factors f;
    const Real w0 = std::sqrt(r.wp1 * r.wp2), b = r.wp2 - r.wp1;
    switch (r.type) {
        case FilterType::lowpass:
            for (const C& x : pairs) f.pairs.push_back(pair_quadratic(x * r.wp2));
            for (Real s : reals) f.reals.push_back(s * r.wp2);
            for (Real z : zeros) f.zeros.push_back(z * r.wp2);
            f.infinity = at_infinity;
            break;
        case FilterType::highpass:
            for (const C& x : pairs) f.pairs.push_back(pair_quadratic(r.wp1 / x));
            for (Real s : reals) f.reals.push_back(r.wp1 / s);
            for (Real z : zeros) f.zeros.push_back(r.wp1 / z);
            f.origin = at_infinity;
            break;
        case FilterType::bandpass:
            // A prototype root x gives the roots of s² − x·B·s + ω0².
            for (const C& x : pairs) {
                const auto [s1, s2] = quadratic_roots(x * b, C(w0 * w0));
                f.pairs.push_back(pair_quadratic(s1));
                f.pairs.push_back(pair_quadratic(s2));
            }
            for (Real s : reals) f.pairs.push_back({w0, w0 / (s * b)});
            for (Real z : zeros) {
                const Real d = std::sqrt(z * z * b * b + 4 * w0 * w0);
                f.zeros.push_back((d + z * b) / 2);
                f.zeros.push_back((d - z * b) / 2);
            }
            f.origin = f.infinity = at_infinity;
            break;
        case FilterType::bandstop:
            // A prototype root x gives the roots of s² − (B/x)·s + ω0².
            for (const C& x : pairs) {
                const auto [s1, s2] = quadratic_roots(C(b) / x, C(w0 * w0));
                f.pairs.push_back(pair_quadratic(s1));
                f.pairs.push_back(pair_quadratic(s2));
            }
            for (Real s : reals) f.pairs.push_back({w0, w0 * s / b});
            for (Real z : zeros) {
                const Real d = std::sqrt(b * b + 4 * z * z * w0 * w0);
                f.zeros.push_back((d + b) / (2 * z));
                f.zeros.push_back((d - b) / (2 * z));
            }
            for (int i = 0; i < at_infinity; ++i) f.zeros.push_back(w0);
            break;
    }
    return f;
}

}  // namespace

std::vector<SectionSpec> plan_sections(const Requirement& r, const Prototype& p) {
    Factors f = transform(r, p);
    std::sort(f.pairs.begin(), f.pairs.end(),
              [](const Quadratic& a, const Quadratic& b) { return a.q > b.q; });
    std::vector<SectionSpec> second;
    for (const Quadratic& x : f.pairs) {
        SectionSpec s{Shape::lowpass, x.w0, x.q, 0, 1};
        if (!f.zeros.empty()) {
            auto nearest = std::min_element(f.zeros.begin(), f.zeros.end(), [&](Real a, Real b) {
                return std::fabs(std::log(a / x.w0)) < std::fabs(std::log(b / x.w0));
            });
            s.shape = Shape::notch;
            s.wz = *nearest;
            f.zeros.erase(nearest);
        } else if (f.origin > 0 && f.infinity > 0) {
            s.shape = Shape::bandpass;
            --f.origin;
            --f.infinity;
        } else if (f.origin >= 2) {
            s.shape = Shape::highpass;
            f.origin -= 2;
        } else {
            s.shape = Shape::lowpass;
            f.infinity -= 2;
        }
        second.push_back(s);
    }
    std::vector<SectionSpec> sections;
    for (Real w : f.reals) {
        const bool high = f.origin > 0;
        (high ? f.origin : f.infinity) -= 1;
        sections.push_back({high ? Shape::highpass1 : Shape::lowpass1, w, 0, 0, 1});
    }
    std::stable_sort(second.begin(), second.end(),
                     [](const SectionSpec& a, const SectionSpec& b) { return a.q < b.q; });
    sections.insert(sections.end(), second.begin(), second.end());
    return sections;
}

Real cascade_peak(const std::vector<SectionSpec>& sections) { return cascade_peak(sections, {}); }

Real cascade_peak(const std::vector<SectionSpec>& sections, const std::function<ComplexReal(Real w)>& extra) {
    Real lo = 1e300L, hi = 0;
    for (const SectionSpec& s : sections) {
        lo = std::min(lo, s.w0);
        hi = std::max(hi, s.w0);
        if (s.shape == Shape::notch) {
            lo = std::min(lo, s.wz);
            hi = std::max(hi, s.wz);
        }
    }
    if (sections.empty()) lo = hi = 1;
    auto magnitude = [&](Real w) {
        C h(1);
        for (const SectionSpec& s : sections) h *= section_response(s, C(0, w));
        if (extra) h *= extra(w);
        return std::abs(h);
    };
    // A scan fine enough for the sharpest peak of the sections (its
    // half-width is about ω0/Q), then a golden-section refinement.
    Real qmax = 1;
    for (const SectionSpec& s : sections) qmax = std::max(qmax, s.q);
    const Real span = std::log(hi / lo) + 2 * std::log(Real(1e6));
    const int n = std::clamp(static_cast<int>(span * qmax * 40), 2000, 200000);
    const Real start = std::log(lo / 1e6L);
    Real best = -1, best_x = start;
    const Real step = span / n;
    for (int i = 0; i <= n; ++i) {
        const Real x = start + step * i;
        const Real m = magnitude(std::exp(x));
        if (m > best) best = m, best_x = x;
    }
    Real a = best_x - step, b = best_x + step;
    const Real g = (std::sqrt(Real(5)) - 1) / 2;
    for (int i = 0; i < 80; ++i) {
        const Real c = b - g * (b - a), d = a + g * (b - a);
        if (magnitude(std::exp(c)) > magnitude(std::exp(d)))
            b = d;
        else
            a = c;
    }
    return std::max(best, magnitude(std::exp((a + b) / 2)));
}

}  // namespace analysis::design
