// Deviations of a pole or zero from its sensitivities, the plot's starting
// square and the default file extension.
#include "analysis/polezero/deviations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace analysis {
namespace {

constexpr Real pi = 3.141592653589793238462643383279502884L;

PoleZeroEntry deviations_of(const std::vector<Real>& a, const std::vector<Real>& b,
                            const std::vector<Real>& sigma) {
    PoleZeroEntry e;
    compute_deviations(a, b, sigma, e);
    return e;
}

TEST(Deviations, RadiiShareTheTotalVarianceWithTheAxes) {
    const std::vector<std::vector<Real>> as{{0.3, -1.2, 0.05}, {2, 0, 0}, {-0.4, 0.4, 0.7}};
    const std::vector<std::vector<Real>> bs{{0.8, 0.1, -0.6}, {0, 3, 0}, {0.4, 0.4, -0.2}};
    const std::vector<Real> sigma{0.05, 0.01, 0.1};
    for (std::size_t r = 0; r < as.size(); ++r) {
        const PoleZeroEntry e = deviations_of(as[r], bs[r], sigma);
        Real vre = 0, vim = 0;
        for (std::size_t i = 0; i < sigma.size(); ++i) {
            vre += std::pow(as[r][i] * sigma[i], 2);
            vim += std::pow(bs[r][i] * sigma[i], 2);
        }
        EXPECT_NEAR(e.VRe, std::sqrt(vre), 1e-15) << r;
        EXPECT_NEAR(e.VIm, std::sqrt(vim), 1e-15) << r;
        EXPECT_NEAR(e.VRe * e.VRe + e.VIm * e.VIm, e.Ra * e.Ra + e.Rb * e.Rb, 1e-15) << r;
    }
}

TEST(Deviations, NoVariabilityGivesZeroDeviationsAndAnAngleNearHalfPi) {
    const PoleZeroEntry e = deviations_of({0.3, -2}, {0.7, 5}, {0, 0});
    EXPECT_EQ(e.VRe, 0);
    EXPECT_EQ(e.VIm, 0);
    EXPECT_EQ(e.Ra, 0);
    EXPECT_EQ(e.Rb, 0);
    EXPECT_NEAR(e.Ang, pi / 2, 1e-9);
    EXPECT_LT(e.Ang, pi / 2);
}

TEST(Deviations, PurelyRealSensitivityLiesAlongTheRealAxis) {
    // An exactly real sensitivity points just above 0 (positive) or just
    // below π (negative): its zero imaginary part counts as 1e-10. From an
    // empty sum the tie subtracts it, so the sum points the other way.
    PrincipalSum p = principal_sum(std::vector<Real>{2}, std::vector<Real>{0}, std::vector<Real>{0.1});
    EXPECT_NEAR(p.re, -0.04, 1e-15);
    EXPECT_NEAR(p.im / p.re, 5e-11, 1e-18);
    p = principal_sum(std::vector<Real>{-2}, std::vector<Real>{0}, std::vector<Real>{0.1});
    EXPECT_NEAR(p.re, 0.04, 1e-15);
    EXPECT_NEAR(p.im / p.re, -5e-11, 1e-18);
    for (Real a : {2.0L, -2.0L}) {
        const PoleZeroEntry e = deviations_of({a}, {0}, {0.1});
        EXPECT_NEAR(std::sin(e.Ang), 0, 1e-9);
        EXPECT_NEAR(e.Ra, 0.2, 1e-12);
        EXPECT_NEAR(e.Rb, 0, 1e-9);
        EXPECT_EQ(e.VIm, 0);
    }
}

TEST(Deviations, PrincipalSumAddsEachContributionWithTheLongerSign) {
    // First element along 0° (a tie from zero: subtracted), second along
    // 45° (subtracted too, since the sum points the other way).
    PrincipalSum p =
        principal_sum(std::vector<Real>{1, 1}, std::vector<Real>{1e-30, 1}, std::vector<Real>{1, 1});
    EXPECT_NEAR(p.re, -1 - std::sqrt(2.0L), 1e-12);
    EXPECT_NEAR(p.im, -std::sqrt(2.0L), 1e-12);
    // A contribution along the sum is added: -1, then 4 more along -π.
    p = principal_sum(std::vector<Real>{1, -1}, std::vector<Real>{1e-30, -1e-30}, std::vector<Real>{1, 2});
    EXPECT_NEAR(p.re, -5, 1e-12);
    // The angle of each sensitivity is used as it is, not doubled: two
    // perpendicular equal contributions end at 45°, not cancelled.
    p = principal_sum(std::vector<Real>{1, 1e-30}, std::vector<Real>{1e-30, 1}, std::vector<Real>{1, 1});
    EXPECT_NEAR(std::fabs(p.re), 1, 1e-12);
    EXPECT_NEAR(std::fabs(p.im), 1, 1e-12);
}

TEST(Deviations, ATieInThePrincipalSumTakesTheSubtraction) {
    // From a zero sum, +c and -c are equally long: the sum becomes -c.
    const PrincipalSum p = principal_sum(std::vector<Real>{3}, std::vector<Real>{4}, std::vector<Real>{1});
    EXPECT_NEAR(p.re, -15, 1e-12);
    EXPECT_NEAR(p.im, -20, 1e-12);
    const PoleZeroEntry e = deviations_of({3}, {4}, {1});
    EXPECT_NEAR(e.Ang, std::atan2(-4.0L, -3.0L), 1e-15);
    EXPECT_NEAR(e.Ra, 5, 1e-15);
    EXPECT_NEAR(e.Rb, 0, 1e-15);
}

TEST(PlotSquare, CentredOnTheOriginAndContainingEveryEntry) {
    struct Row {
        std::vector<std::pair<Real, Real>> points;
        Real half;
    };
    const std::vector<Row> rows{
        {{}, 0.25},                   // count 0: M = 0.1
        {{{-0.05, 0.02}}, 0.25},      // everything below 0.1
        {{{-0.3, 0}}, 1},             // M = 0.3
        {{{-1, 4}, {0.5, -0.5}}, 8},  // M = 4
        {{{-0.7, 0.7}}, 2},           // log2 0.7 truncates to 0
        {{{-3, 2.5}}, 4},             // M = 3
        {{{-1200, 0}}, 2048},
    };
    for (const Row& row : rows) {
        PoleZeroSet set;
        set.entry_count = static_cast<int>(row.points.size());
        for (int k = 1; k <= set.entry_count; ++k) {
            set.entries[k].Re = row.points[k - 1].first;
            set.entries[k].Im = row.points[k - 1].second;
        }
        const PoleZeroScales s = starting_scales(set);
        EXPECT_EQ(s.min_re, -row.half);
        EXPECT_EQ(s.min_im, -row.half);
        EXPECT_EQ(s.width, 2 * row.half);
    }
}

TEST(DefaultExtension, PolesAndZerosWithTheFourCharacterCut) {
    EXPECT_EQ(default_pole_zero_extension(true, 12), ".r");
    EXPECT_EQ(default_pole_zero_extension(false, 7), ".z7");
    EXPECT_EQ(default_pole_zero_extension(false, 12), ".z12");
    EXPECT_EQ(default_pole_zero_extension(false, 123), ".z12");
}

}  // namespace
}  // namespace analysis
