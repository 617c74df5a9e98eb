// From a prototype to the filter's sections: the product of the sections
// is the prototype at the transformed frequency, for every type, and the
// sections come paired and ordered by the written rules.
#include "analysis/design/plan.h"

#include <gtest/gtest.h>

#include <cmath>

namespace analysis::design {
namespace {

Requirement requirement(FilterType t) {
    Requirement r;
    r.type = t;
    r.wp1 = t == FilterType::lowpass ? 0 : 1000;
    r.wp2 = t == FilterType::highpass ? 0 : 1500;
    if (t == FilterType::lowpass) r.wp2 = 1000;
    if (t == FilterType::bandstop) r.wp1 = 700, r.wp2 = 2000;
    return r;
}

ComplexReal product(const std::vector<SectionGoal>& s, Real w) {
    ComplexReal h(1);
    for (const SectionGoal& x : s) h *= section_response(x, ComplexReal(0, w));
    return h;
}

TEST(DesignPlan, TheSectionsMultiplyToThePrototypeAtTheTransformedFrequency) {
    const PrototypeRequirement pr{0.5, 40, 1.5};
    for (FilterType t :
         {FilterType::lowpass, FilterType::highpass, FilterType::bandpass, FilterType::bandstop})
        for (Approximation a : {Approximation::butterworth, Approximation::elliptic, Approximation::bessel})
            for (int n : {4, 5}) {
                const Requirement r = requirement(t);
                const Prototype p = prototype(a, n, pr);
                const std::vector<SectionGoal> s = plan_sections(r, p);
                int order = 0;
                for (const SectionGoal& x : s) order += first_order(x.shape) ? 1 : 2;
                const bool doubled = t == FilterType::bandpass || t == FilterType::bandstop;
                EXPECT_EQ(order, doubled ? 2 * n : n);
                // |Π H_i(jω)| / |H_proto(jΩ(ω))| is the same at every frequency.
                Real lo = 1e300, hi = 0;
                for (int i = 0; i <= 60; ++i) {
                    const Real w = 50 * std::pow(Real(10), Real(i) / 20);
                    const Real proto = std::abs(response(p, prototype_frequency(r, w)));
                    if (proto < 1e-12) continue;  // on a zero
                    const Real ratio = std::abs(product(s, w)) / proto;
                    lo = std::min(lo, ratio);
                    hi = std::max(hi, ratio);
                }
                EXPECT_LT(hi / lo - 1, 1e-9)
                    << filter_type_name(t) << " " << approximation_name(a) << " " << n;
            }
}

TEST(DesignPlan, SectionsArePairedAndOrderedByTheRules) {
    const PrototypeRequirement pr{0.5, 40, 1.5};
    // Low-pass elliptic of odd order: the first-order section first, then by
    // increasing Q; every pole pair with a zero pair above it, the highest Q
    // with the lowest zero (the one nearest the pass band).
    std::vector<SectionGoal> s =
        plan_sections(requirement(FilterType::lowpass), prototype(Approximation::elliptic, 5, pr));
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].shape, Shape::lowpass1);
    EXPECT_EQ(s[1].shape, Shape::notch);
    EXPECT_LT(s[1].q, s[2].q);
    EXPECT_GT(s[1].wz, s[1].w0);
    EXPECT_LT(s[2].wz, s[1].wz);
    // High-pass: the zeros move below the poles, the real pole takes an origin zero.
    s = plan_sections(requirement(FilterType::highpass), prototype(Approximation::elliptic, 5, pr));
    EXPECT_EQ(s[0].shape, Shape::highpass1);
    EXPECT_LT(s[2].wz, s[2].w0);
    // Band-pass of an all-pole prototype: band-pass sections only; of an odd
    // elliptic one, one band-pass section (the origin and infinity zeros).
    s = plan_sections(requirement(FilterType::bandpass), prototype(Approximation::chebyshev, 3, pr));
    for (const SectionGoal& x : s) EXPECT_EQ(x.shape, Shape::bandpass);
    s = plan_sections(requirement(FilterType::bandpass), prototype(Approximation::elliptic, 3, pr));
    EXPECT_EQ(std::count_if(s.begin(), s.end(), [](auto& x) { return x.shape == Shape::bandpass; }), 1);
    // Band-stop of an all-pole prototype: notches at ω0 = √(wp1·wp2).
    s = plan_sections(requirement(FilterType::bandstop), prototype(Approximation::butterworth, 3, pr));
    for (const SectionGoal& x : s) {
        EXPECT_EQ(x.shape, Shape::notch);
        EXPECT_NEAR(x.wz, std::sqrt(700.0L * 2000), 1e-9);
    }
    for (std::size_t i = 1; i < s.size(); ++i) EXPECT_LE(s[i - 1].q, s[i].q);
}

TEST(DesignPlan, CascadePeakMatchesTheClosedForm) {
    // A second-order low-pass peaks at K·Q/√(1 − 1/(4Q²)).
    for (Real q : {0.9L, 5.0L, 40.0L}) {
        const SectionGoal s{Shape::lowpass, 1000, q, 0, 2};
        EXPECT_NEAR(cascade_peak({s}), 2 * q / std::sqrt(1 - 1 / (4 * q * q)), 1e-9 * q);
    }
    // Below Q = 1/√2 the peak is the gain at DC; an extra factor multiplies in.
    const SectionGoal s{Shape::lowpass, 1000, 0.6, 0, 1};
    EXPECT_NEAR(cascade_peak({s}), 1, 1e-12);
    EXPECT_NEAR(cascade_peak({s}, [](Real) { return ComplexReal(0, 3); }), 3, 1e-11);
}

}  // namespace
}  // namespace analysis::design
