// The deviation plot's entry steps and square moves.
#include "analysis/polezero/deviation_view.h"

#include <gtest/gtest.h>

#include <limits>

namespace analysis {
namespace {

PoleZeroSet set_of(int count, int current) {
    PoleZeroSet s;
    s.entry_count = count;
    s.current_entry = current;
    return s;
}

TEST(DeviationPlotEntries, StepAroundTheSetAndStayWithOneEntry) {
    struct Row {
        int count, current, next, previous;
    };
    const Row rows[] = {{3, 1, 2, 3}, {3, 3, 1, 2}, {3, 2, 3, 1}, {1, 1, 1, 1}};
    for (const Row& r : rows) {
        PoleZeroSet a = set_of(r.count, r.current), b = a;
        next_plot_entry(a);
        previous_plot_entry(b);
        EXPECT_EQ(a.current_entry, r.next) << r.count << " " << r.current;
        EXPECT_EQ(b.current_entry, r.previous) << r.count << " " << r.current;
    }
    PoleZeroSet empty = set_of(0, 1);
    next_plot_entry(empty);
    previous_plot_entry(empty);
    EXPECT_EQ(empty.current_entry, 1);
    EXPECT_EQ(current_plot_entry(empty), nullptr);
    PoleZeroSet two = set_of(2, 2);
    two.entries[2].Re = -7;
    ASSERT_NE(current_plot_entry(two), nullptr);
    EXPECT_EQ(current_plot_entry(two)->Re, -7);
}

TEST(DeviationPlotSquare, MovesAndZooms) {
    const PoleZeroScales start{-2, -2, 4};
    PoleZeroScales s = start;
    ASSERT_TRUE(apply_plot_scales(s, zoomed_in(s)));
    EXPECT_EQ(s.min_re, -1);
    EXPECT_EQ(s.min_im, -1);
    EXPECT_EQ(s.width, 2);
    ASSERT_TRUE(apply_plot_scales(s, zoomed_out(s)));
    EXPECT_EQ(s.min_re, start.min_re);
    EXPECT_EQ(s.min_im, start.min_im);
    EXPECT_EQ(s.width, start.width);

    const PoleZeroScales left = moved(start, -1, 0), up = moved(start, 0, 1);
    EXPECT_EQ(left.min_re, -3);
    EXPECT_EQ(left.min_im, -2);
    EXPECT_EQ(up.min_re, -2);
    EXPECT_EQ(up.min_im, -1);
    const PoleZeroScales c = centred_on(start, 10, -5);
    EXPECT_EQ(c.min_re, 8);
    EXPECT_EQ(c.min_im, -7);
    EXPECT_EQ(c.width, 4);
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
