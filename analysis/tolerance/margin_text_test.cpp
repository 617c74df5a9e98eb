// The margins of the log lines: one plain format for every size, each
// text within half a unit of its fourth significant digit.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "analysis/tolerance/mask.h"

namespace analysis {
namespace {

TEST(MarginText, FourDigitsInPlainDecimals) {
    struct Row {
        Real x;
        const char* text;
    };
    const Row rows[] = {{6.917e-6L, "0.000006917"},
                        {-2.0554e-5L, "-0.00002055"},
                        {0.2591L, "0.2591"},
                        {-2, "-2"},
                        {0.001L, "0.001"},
                        {9.99961L, "10"},
                        {1234567, "1234567"},
                        {-0.0145549L, "-0.01455"},
                        {0, "0"}};
    for (const Row& r : rows) EXPECT_EQ(margin_text(r.x), r.text) << r.text;
    for (Real x = 3.3e-9L; x < 1e7L; x *= 3.7L)
        for (Real sign : {-1.0L, 1.0L}) {
            const std::string t = margin_text(sign * x);
            EXPECT_EQ(t.find('E'), std::string::npos) << t;
            const Real unit = std::pow(Real(10), std::floor(std::log10(x)) - 3);
            EXPECT_LE(std::fabs(std::stold(t) - sign * x), unit * 0.5000001L) << t;
        }
}

}  // namespace
}  // namespace analysis
