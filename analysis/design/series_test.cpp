// The standard series against their closed forms: E96 is 10^(i/96) to
// three digits, E24 is 10^(i/24) to two digits but for its eight
// historical values; the smaller series are subsets of the larger; the
// same values in every decade, exactly the doubles of their decimal text.
#include "analysis/design/series.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace analysis::design {
namespace {

std::pair<Real, Real> pair(Real below, Real above) { return {below, above}; }

constexpr Series all[] = {Series::e6, Series::e12, Series::e24, Series::e48, Series::e96};

// The values of one decade [1, 10), walked from 1 by single steps.
std::vector<Real> decade(Series s) {
    std::vector<Real> v;
    for (int i = 0; i < series_size(s); ++i) v.push_back(step_standard(1, s, i));
    return v;
}

TEST(StandardSeries, TablesAgainstTheirClosedForms) {
    const int sizes[] = {6, 12, 24, 48, 96};
    const Real tolerances[] = {0.2L, 0.1L, 0.05L, 0.02L, 0.01L};
    for (int k = 0; k < 5; ++k) {
        const Series s = all[k];
        SCOPED_TRACE(series_name(s));
        EXPECT_EQ(series_size(s), sizes[k]);
        EXPECT_EQ(series_name(s), "E" + std::to_string(sizes[k]));
        EXPECT_EQ(series_from_name("e" + std::to_string(sizes[k])), s);
        EXPECT_EQ(series_tolerance(s), tolerances[k]);
        const std::vector<Real> v = decade(s);
        ASSERT_EQ(static_cast<int>(v.size()), sizes[k]);
        EXPECT_EQ(v.front(), 1);
        EXPECT_EQ(step_standard(1, s, sizes[k]), 10);
        for (std::size_t i = 1; i < v.size(); ++i) EXPECT_LT(v[i - 1], v[i]);
    }
    EXPECT_EQ(series_from_name("E10"), std::nullopt);
    EXPECT_EQ(series_from_name("E96 "), std::nullopt);
    EXPECT_EQ(series_from_name(""), std::nullopt);

    const std::vector<Real> e96 = decade(Series::e96);
    for (int i = 0; i < 96; ++i)
        EXPECT_EQ(std::lround(100 * e96[static_cast<std::size_t>(i)]),
                  std::lround(100 * std::pow(10.0L, i / 96.0L)))
            << i;
    // E24: 10^(i/24) to two digits, but 2.7 3.0 3.3 3.6 3.9 4.3 4.7 one up and 8.2 one down.
    const std::vector<Real> e24 = decade(Series::e24);
    for (int i = 0; i < 24; ++i) {
        const long rounded = std::lround(10 * std::pow(10.0L, i / 24.0L));
        const bool up = rounded == 26 || rounded == 29 || rounded == 32 || rounded == 35 || rounded == 38 ||
                        rounded == 42 || rounded == 46;
        const long historical = up ? rounded + 1 : rounded == 83 ? 82 : rounded;
        EXPECT_EQ(std::lround(10 * e24[static_cast<std::size_t>(i)]), historical) << i;
    }
    // Subsets: E6 in E12 in E24, E48 in E96 (each value is its own nearest).
    const std::pair<Series, Series> subsets[] = {
        {Series::e6, Series::e12}, {Series::e12, Series::e24}, {Series::e48, Series::e96}};
    for (auto [small, large] : subsets)
        for (Real x : decade(small))
            EXPECT_EQ(nearest_standard(x, large), x) << series_name(small) << " " << (double)x;
    // E48 is every other value of E96, from 1.00.
    const std::vector<Real> e48 = decade(Series::e48);
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(e48[static_cast<std::size_t>(i)], e96[static_cast<std::size_t>(2 * i)]);
}

TEST(StandardSeries, EveryDecadeFrom1e12To1e7) {
    for (Series s : all) {
        const std::vector<Real> v = decade(s);
        const int n = series_size(s);
        for (int exponent = -12; exponent <= 6; ++exponent)
            for (int i = 0; i < n; ++i) {
                const Real x = step_standard(1, s, exponent * n + i);
                const Real next = step_standard(x, s, 1);
                SCOPED_TRACE(::testing::Message() << series_name(s) << " " << (double)x);
                EXPECT_NEAR(x / std::pow(10.0L, exponent), v[static_cast<std::size_t>(i)], 1e-14L);
                // The value is a double: the netlist text reads back as the same number.
                EXPECT_EQ(x, static_cast<Real>(static_cast<double>(x)));
                EXPECT_EQ(nearest_standard(x, s), x);
                EXPECT_EQ(standard_neighbours(x, s), pair(x, x));
                // Just over a value and just under the next: the two neighbours, and the nearer one.
                const Real gap = std::sqrt(next / x);
                EXPECT_EQ(standard_neighbours(x * 1.001L, s), pair(x, next));
                EXPECT_EQ(standard_neighbours(next / 1.001L, s), pair(x, next));
                EXPECT_EQ(nearest_standard(x * gap / 1.0001L, s), x);
                EXPECT_EQ(nearest_standard(x * gap * 1.0001L, s), next);
                EXPECT_EQ(step_standard(next, s, -1), x);
            }
    }
}

TEST(StandardSeries, DecimalValuesDecadeEndsAndRefusals) {
    // Exactly the doubles that the decimal texts read as.
    EXPECT_EQ(nearest_standard(10.3e3, Series::e96), static_cast<Real>(10.2e3));
    EXPECT_EQ(nearest_standard(1.03e-9, Series::e96), static_cast<Real>(1.02e-9));
    EXPECT_EQ(nearest_standard(4.6e-12, Series::e12), static_cast<Real>(4.7e-12));
    EXPECT_EQ(nearest_standard(0.33e-6, Series::e6), static_cast<Real>(330e-9));
    // A long double near a standard value counts as it.
    EXPECT_EQ(standard_neighbours(1.02e-9L, Series::e96), pair(1.02e-9, 1.02e-9));

    // Decade ends: 9.76k and 10k, 0.976 and 1.0, both ways.
    EXPECT_EQ(standard_neighbours(9.9e3, Series::e96), pair(9.76e3, 10e3));
    EXPECT_EQ(standard_neighbours(1.01, Series::e96), pair(1.0, 1.02));
    EXPECT_EQ(standard_neighbours(0.99, Series::e96), pair(0.976, 1.0));
    EXPECT_EQ(step_standard(9.76e3, Series::e96, 1), 10e3);
    EXPECT_EQ(step_standard(1, Series::e96, -1), static_cast<Real>(0.976));
    EXPECT_EQ(step_standard(6.8e-9, Series::e6, 2), static_cast<Real>(15e-9));
    EXPECT_EQ(step_standard(1.5e-9, Series::e6, -3), static_cast<Real>(470e-12));
    EXPECT_EQ(nearest_standard(9.9e3, Series::e96), 10e3);

    // Nearest on a logarithmic scale: between 1.0 and 1.5 the border is √1.5 = 1.2247, not 1.25.
    EXPECT_EQ(nearest_standard(1.22, Series::e6), 1);
    EXPECT_EQ(nearest_standard(1.23, Series::e6), 1.5);
    EXPECT_EQ(nearest_standard(7.4, Series::e12), static_cast<Real>(6.8));  // √(6.8·8.2) = 7.467

    for (Real bad :
         {0.0L, -1.0L, std::numeric_limits<Real>::infinity(), std::numeric_limits<Real>::quiet_NaN()}) {
        EXPECT_THROW(nearest_standard(bad, Series::e24), std::invalid_argument);
        EXPECT_THROW(standard_neighbours(bad, Series::e24), std::invalid_argument);
        EXPECT_THROW(step_standard(bad, Series::e24, 1), std::invalid_argument);
    }
}

}  // namespace
}  // namespace analysis::design
