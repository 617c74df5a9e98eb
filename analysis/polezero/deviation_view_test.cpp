// The deviation plot's entry steps and square changes at their edges.
#include "analysis/polezero/deviation_view.h"

#include <gtest/gtest.h>

#include <limits>

namespace analysis {
namespace {

// The key sequences of the window test step and move in the ordinary
// cases; here the edges: no entries, and squares that cannot be drawn.
TEST(DeviationPlotEntries, WithoutEntriesNothingIsSelected) {
    PoleZeroSet empty;
    next_plot_entry(empty);
    previous_plot_entry(empty);
    EXPECT_EQ(empty.current_entry, 1);
    EXPECT_EQ(current_plot_entry(empty), nullptr);
}

TEST(DeviationPlotSquare, AnUndrawableSquareIsNotTaken) {
    const Real inf = std::numeric_limits<Real>::infinity();
    const PoleZeroScales refused[] = {
        {0, 0, 0},
        {0, 0, -1},
        {0, 0, inf},
        {0, 0, std::numeric_limits<Real>::quiet_NaN()},
        {inf, 0, 1},
        {0, 0, std::numeric_limits<Real>::denorm_min()},  // its reciprocal overflows
        {1e6L, 0, 1e-16L},                                // edges the same number
        {std::numeric_limits<Real>::max(), 0, std::numeric_limits<Real>::max()},
    };
    for (const PoleZeroScales& r : refused) {
        PoleZeroScales s{-2, -2, 4};
        EXPECT_FALSE(apply_plot_scales(s, r))
            << static_cast<double>(r.min_re) << " " << static_cast<double>(r.width);
        EXPECT_EQ(s.width, 4);
        EXPECT_EQ(s.min_re, -2);
    }
    PoleZeroScales s{-2, -2, 4};
    EXPECT_TRUE(apply_plot_scales(s, {1e6L, -1e6L, 1e-6L}));  // a deep but resolvable zoom
    EXPECT_EQ(s.width, 1e-6L);

    // "+" pressed until the square cannot shrink any more stops there,
    // about the centre (3, 3).
    PoleZeroScales z{1, 1, 4};
    int presses = 0;
    while (apply_plot_scales(z, zoomed_in(z)) && presses < 1000) ++presses;
    EXPECT_GT(presses, 40);
    EXPECT_LT(presses, 80);
    EXPECT_GT(z.width, 0);
    EXPECT_TRUE(drawable_scales(z));
}

}  // namespace
}  // namespace analysis
