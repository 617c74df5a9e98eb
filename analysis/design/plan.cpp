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

std::vector<SectionGoal> plan_sections(const Requirement& r, const Prototype& p) {
    Factors f = transform(r, p);
    std::sort(f.pairs.begin(), f.pairs.end(),
              [](const Quadratic& a, const Quadratic& b) { return a.q > b.q; });
    std::vector<SectionGoal> second;
    for (const Quadratic& x : f.pairs) {
        SectionGoal s{Shape::lowpass, x.w0, x.q, 0, 1};
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
    std::vector<SectionGoal> sections;
    for (Real w : f.reals) {
        const bool high = f.origin > 0;
        (high ? f.origin : f.infinity) -= 1;
        sections.push_back({high ? Shape::highpass1 : Shape::lowpass1, w, 0, 0, 1});
    }
    std::stable_sort(second.begin(), second.end(),
                     [](const SectionGoal& a, const SectionGoal& b) { return a.q < b.q; });
    sections.insert(sections.end(), second.begin(), second.end());
    return sections;
}

Real cascade_peak(const std::vector<SectionGoal>& sections) { return cascade_peak(sections, {}); }

namespace {

// |H(jω)|² of a section, in real arithmetic.
Real section_power(const SectionGoal& s, Real w) {
    const Real w2 = w * w, k2 = s.gain * s.gain;
    if (first_order(s.shape))
        return k2 * (s.shape == Shape::lowpass1 ? s.w0 * s.w0 : w2) / (s.w0 * s.w0 + w2);
    const Real re = s.w0 * s.w0 - w2, im = s.w0 * w / s.q, d = re * re + im * im;
    switch (s.shape) {
        case Shape::lowpass:
            return k2 * s.w0 * s.w0 * s.w0 * s.w0 / d;
        case Shape::highpass:
            return k2 * w2 * w2 / d;
        case Shape::bandpass:
            return k2 * im * im / d;
        default: {
            const Real n = s.wz * s.wz - w2;
            return k2 * n * n / d;
        }
    }
}

}  // namespace

Real cascade_peak(const std::vector<SectionGoal>& sections, const std::function<ComplexReal(Real w)>& extra,
                  const std::vector<SectionGoal>& around) {
    Real lo = 1e300L, hi = 0;
    std::vector<Real> points;  // where sections peak
    std::vector<SectionGoal> all = sections;
    all.insert(all.end(), around.begin(), around.end());
    for (const SectionGoal& s : all) {
        lo = std::min(lo, s.w0);
        hi = std::max(hi, s.w0);
        points.push_back(s.w0);
        if (!first_order(s.shape) && s.q > 0.7072L) {
            const Real shift = std::sqrt(1 - 1 / (2 * s.q * s.q));
            points.push_back(s.w0 * shift);
            points.push_back(s.w0 / shift);
        }
        if (s.shape == Shape::notch) {
            lo = std::min(lo, s.wz);
            hi = std::max(hi, s.wz);
        }
    }
    if (all.empty()) lo = hi = 1;
    auto power = [&](Real w) {
        Real p = 1;
        for (const SectionGoal& s : sections) p *= section_power(s, w);
        if (extra) p *= std::norm(extra(w));
        return p;
    };
    // A geometric scan of 200 points a decade from far below to far above
    // the sections (the ends stand for zero and infinite frequency), the
    // points where sections peak, then a golden-section refinement of the
    // largest maxima.
    const Real ratio = std::pow(Real(10), Real(1) / 200);
    for (Real w = lo / 100; w <= hi * 100; w *= ratio) points.push_back(w);
    points.push_back(lo * 1e-6L);
    points.push_back(hi * 1e6L);
    std::sort(points.begin(), points.end());
    std::vector<Real> values(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) values[i] = power(points[i]);
    Real best = 0;
    std::vector<std::pair<Real, std::size_t>> maxima;
    for (std::size_t i = 0; i < points.size(); ++i) {
        best = std::max(best, values[i]);
        const bool left = i == 0 || values[i] >= values[i - 1];
        const bool right = i + 1 == points.size() || values[i] >= values[i + 1];
        if (left && right && i > 0 && i + 1 < points.size()) maxima.emplace_back(values[i], i);
    }
    std::sort(maxima.rbegin(), maxima.rend());
    const Real g = (std::sqrt(Real(5)) - 1) / 2;
    for (std::size_t m = 0; m < std::min<std::size_t>(maxima.size(), 4); ++m) {
        const std::size_t i = maxima[m].second;
        Real a = std::log(points[i - 1]), b = std::log(points[i + 1]);
        for (int k = 0; k < 60; ++k) {
            const Real c = b - g * (b - a), d = a + g * (b - a);
            if (power(std::exp(c)) > power(std::exp(d)))
                b = d;
            else
                a = c;
        }
        best = std::max(best, power(std::exp((a + b) / 2)));
    }
    return std::sqrt(best);
}

}  // namespace analysis::design
