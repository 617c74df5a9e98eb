#include "viewer/tablestore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "common/numtext.h"
#include "viewer/display.h"

namespace viewer {
namespace {

TableStore store_with(std::initializer_list<std::pair<int, int>> slots_and_counts) {
    TableStore s;
    allocate_slots(s);
    for (const auto& [n, count] : slots_and_counts) {
        s.slot(n).is_pole = true;
        s.slot(n).count = count;
        register_table(s, n);
    }
    return s;
}

TEST(Real48, RoundsToFortyBits) {
    EXPECT_EQ(*round_real48(0), 0.0);
    EXPECT_EQ(*round_real48(-4), -4.0);
    EXPECT_EQ(*round_real48(0.5L + std::ldexp(1.0L, -40)), 0.5 + std::ldexp(1.0, -40));  // 40th bit kept
    EXPECT_EQ(*round_real48(0.5L + std::ldexp(1.0L, -42)), 0.5);                         // beyond: gone
    const double third = *round_real48(1.0L / 3);
    EXPECT_NE(third, 1.0 / 3);
    EXPECT_NEAR(third, 1.0 / 3, 1e-12);
    EXPECT_NEAR(*round_real48(0.1L), 0.1, 1e-13);
    EXPECT_TRUE(round_real48(1.7e38L));
    EXPECT_FALSE(round_real48(1.8e38L));
    EXPECT_FALSE(round_real48(-1e300L));
    EXPECT_FALSE(round_real48(INFINITY));
    EXPECT_FALSE(round_real48(NAN));
    EXPECT_TRUE(round_real48(3e-39L) && *round_real48(3e-39L) > 0);
    EXPECT_EQ(*round_real48(1e-40L), 0.0);
}

TEST(TableStore, DeleteMakesTheFirstTableCurrent) {
    TableStore s = store_with({{1, 5}, {2, 5}, {3, 5}});
    s.current_table = 2;
    s.current_entry = 4;
    delete_current_table(s);
    EXPECT_EQ(s.current_table, 1);
    EXPECT_EQ(s.current_entry, 1);
    EXPECT_EQ(first_free_slot(s), 2);

    TableStore only = store_with({{7, 3}});
    delete_current_table(only);
    EXPECT_EQ(only.current_table, 0);
    select_next_table(only);  // Enter without a table does nothing
    EXPECT_EQ(only.current_table, 0);
    EXPECT_EQ(only.current(), nullptr);
    EXPECT_EQ(only.current_entry_ptr(), nullptr);
}

TEST(TableStore, EnterSelectsTheNextTableAndClampsTheEntry) {
    TableStore s = store_with({{3, 20}, {998, 5}});
    s.current_table = 3;
    s.current_entry = 12;
    select_next_table(s);
    EXPECT_EQ(s.current_table, 998);
    EXPECT_EQ(s.current_entry, 5);
    select_next_table(s);  // wraps past slot 1000
    EXPECT_EQ(s.current_table, 3);
    EXPECT_EQ(s.current_entry, 5);
    TableStore one = store_with({{4, 2}});
    select_next_table(one);
    EXPECT_EQ(one.current_table, 4);
}

TEST(TableStore, EntriesWrapBothWays) {
    TableStore s = store_with({{1, 3}});
    s.current_entry = 3;
    next_entry(s);
    EXPECT_EQ(s.current_entry, 1);
    previous_entry(s);
    EXPECT_EQ(s.current_entry, 3);
    previous_entry(s);
    EXPECT_EQ(s.current_entry, 2);
    TableStore single = store_with({{1, 1}});
    next_entry(single);
    previous_entry(single);
    EXPECT_EQ(single.current_entry, 1);
}

TEST(SlotColours, FixedTenThenSeededChoicesAmongNine) {
    const auto& c = slot_colours();
    EXPECT_EQ(slot_colour(1), Rgb({255, 255, 255}));
    EXPECT_EQ(slot_colour(4), Rgb({0, 255, 255}));
    EXPECT_EQ(slot_colour(9), Rgb({192, 192, 192}));
    EXPECT_EQ(slot_colour(10), Rgb({200, 150, 255}));
    for (int n = 1; n <= 10; ++n) EXPECT_EQ(slot_colour(n), palette_colour(n)) << n;
    std::set<std::tuple<int, int, int>> used;
    for (int n = 11; n <= kSlotCount; ++n) {
        const Rgb& k = c[static_cast<std::size_t>(n - 1)];
        bool among_nine = false;
        for (int f = 1; f <= 9; ++f) among_nine = among_nine || k == slot_colour(f);
        EXPECT_TRUE(among_nine) << n;
        used.insert({k.r, k.g, k.b});
    }
    EXPECT_EQ(used.size(), 9u);  // every one of the nine is chosen somewhere
}

// Contrast against black as sRGB defines it: (L + 0.05) / 0.05 with L the
// relative luminance of the linearised channels.
double contrast_on_black(const Rgb& c) {
    auto linear = [](int v) {
        const double x = v / 255.0;
        return x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    const double l = 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
    return (l + 0.05) / 0.05;
}

// Every colour a table can be drawn in reads on the black plot as well as
// text should (4.5:1); pure blue, green 128 or maroon would not.
TEST(SlotColours, EveryColourIsLegibleOnBlack) {
    EXPECT_LT(contrast_on_black({0, 0, 255}), 4.5);
    EXPECT_LT(contrast_on_black({0, 128, 0}), 4.5);
    EXPECT_LT(contrast_on_black({128, 0, 0}), 4.5);
    EXPECT_NEAR(contrast_on_black({255, 255, 255}), 21, 1e-9);
    std::set<std::tuple<int, int, int>> distinct;
    for (int i = 1; i <= kPaletteSize; ++i) {
        const Rgb c = palette_colour(i);
        EXPECT_GE(contrast_on_black(c), 4.5) << i;
        distinct.insert({c.r, c.g, c.b});
    }
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kPaletteSize));
    for (int n = 1; n <= kSlotCount; ++n) EXPECT_GE(contrast_on_black(slot_colour(n)), 4.5) << n;
}

TEST(DisplayState, KeysMoveAndZoomTheWindow) {
    DisplayState d;
    EXPECT_FALSE(apply_window(d, zoomed_in(d)));
    EXPECT_EQ(d.re_min, -1);
    EXPECT_EQ(d.im_min, -1);
    EXPECT_EQ(d.width, 2);
    EXPECT_FALSE(apply_window(d, zoomed_out(d)));
    EXPECT_EQ(d.re_min, -2);
    EXPECT_EQ(d.im_min, -2);
    EXPECT_EQ(d.width, 4);
    EXPECT_FALSE(apply_window(d, moved(d, -1, 1)));  // Left, then Up
    EXPECT_EQ(d.re_min, -3);
    EXPECT_EQ(d.im_min, -1);
    EXPECT_FALSE(apply_window(d, centred_on(d, 0.5, -0.25)));
    EXPECT_EQ(d.re_min, -1.5);
    EXPECT_EQ(d.im_min, -2.25);
    EXPECT_TRUE(scale_magnification(d, 2));
    EXPECT_TRUE(scale_magnification(d, 0.5L));
    EXPECT_TRUE(scale_magnification(d, 0.5L));
    EXPECT_EQ(d.magnification, 0.5);
}

TEST(DisplayState, ShownValuesReadBackAsTyped) {
    for (const double typed : {0.1, -1.9, 1.6, 0.4, 3e-7, -123456.789, 4.0}) {
        const double stored = *round_real48(typed);
        EXPECT_EQ(suite::format_general(shown_value(stored)), suite::format_general(typed)) << typed;
        EXPECT_EQ(*round_real48(shown_value(stored)), stored);  // applying again changes nothing
    }
}

TEST(DisplayState, RefusedWindowsChangeNothing) {
    struct Row {
        WindowRequest w;
        const std::string* why;
    };
    const Row rows[] = {
        {{0, 0, 0}, &kBadWidth},         {{0, 0, -1}, &kBadWidth},         {{0, 0, NAN}, &kBadWidth},
        {{0, 0, 1e39L}, &kBadWindow},    {{1e38L, 0, 1e38L}, &kBadWindow}, {{1e6L, 0, 1e-6L}, &kBadWindow},
        {{0, 0, INFINITY}, &kBadWindow},
    };
    for (const Row& r : rows) {
        DisplayState d;
        const auto why = apply_window(d, r.w);
        ASSERT_TRUE(why) << static_cast<double>(r.w.width);
        EXPECT_EQ(*why, *r.why);
        EXPECT_EQ(d.re_min, -2);
        EXPECT_EQ(d.width, 4);
    }
    DisplayState small;
    EXPECT_FALSE(apply_window(small, {0, 0, 1e-20L}));  // deep, but resolvable
    // Zooming in for ever stops at the resolution limit instead of breaking.
    DisplayState d;
    d.re_min = 1000;
    int refused = 0;
    for (int k = 0; k < 200; ++k) refused += apply_window(d, zoomed_in(d)).has_value();
    EXPECT_GT(refused, 100);
    EXPECT_GT(d.width, 0);
    EXPECT_GT(d.re_min + d.width, d.re_min);
}

// The fitted window against the extents worked out by hand: a rectangle
// reaches k*VRe and k*VIm from the entry, an ellipse of semi-axes a, b at
// angle t reaches sqrt(a^2 cos^2 t + b^2 sin^2 t) along the real axis and
// sqrt(a^2 sin^2 t + b^2 cos^2 t) along the imaginary one; the square is
// centred on them with a twentieth of the larger extent spare on each side.
TEST(DisplayState, FittedWindowHoldsEveryFigure) {
    TableStore s = store_with({{2, 2}});
    DisplayState d;
    s.slot(2).entry(1) = {-1000, 0, 10, 20, 30, 10, 90};  // ellipse 10 by 30
    s.slot(2).entry(2) = {-1000, 25};                     // a reference point: no figures
    auto w = fitted_window(s, d);                         // re -1010..-990, im -30..30
    ASSERT_TRUE(w);
    EXPECT_NEAR(w->width, 66, 1e-9);
    EXPECT_NEAR(w->re_min, -1033, 1e-9);
    EXPECT_NEAR(w->im_min, -33, 1e-9);
    d.magnification = 2;  // every figure twice as far
    w = fitted_window(s, d);
    EXPECT_NEAR(w->width, 132, 1e-9);
    EXPECT_NEAR(w->im_min, -66, 1e-9);
    // Only the ellipse, at 30 degrees: im from -sqrt(300) to the point at 25.
    d.magnification = 1;
    d.rectangles = false;
    s.slot(2).entry(1).Ang = 30;
    w = fitted_window(s, d);
    const double half_re = std::sqrt(700.0), low_im = -std::sqrt(300.0);
    const double extent = std::max(2 * half_re, 25 - low_im);
    EXPECT_NEAR(w->width, 1.1 * extent, 1e-9);
    EXPECT_NEAR(w->re_min, -1000 - 0.55 * extent, 1e-9);
    EXPECT_NEAR(w->im_min, (low_im + 25) / 2 - 0.55 * extent, 1e-9);
    // Only the rectangle: an entry whose Ra is 0 has no ellipse.
    d.rectangles = true;
    d.ellipses = false;
    s.slot(2).entry(1) = {-1000, 0, 10, 20, 0, 0, 0};
    w = fitted_window(s, d);  // im -20..25
    EXPECT_NEAR(w->width, 1.1 * 45, 1e-9);
    EXPECT_NEAR(w->im_min, 2.5 - 0.55 * 45, 1e-9);
    // Nothing to tell apart: a square as wide as the point's distance from
    // the origin, and the initial window for the origin itself.
    d.rectangles = false;
    s.slot(2).count = 1;
    w = fitted_window(s, d);
    EXPECT_NEAR(w->width, 1100, 1e-9);
    EXPECT_NEAR(w->re_min, -1550, 1e-9);
    EXPECT_NEAR(w->im_min, -550, 1e-9);
    s.slot(2).entry(1) = {};
    w = fitted_window(s, d);
    EXPECT_EQ(w->re_min, -2);
    EXPECT_EQ(w->im_min, -2);
    EXPECT_EQ(w->width, 4);
    // Free slots count for nothing; without a table there is no window.
    s.slot(5).count = 1;
    s.slot(5).entry(1) = {1e6, 1e6};
    EXPECT_EQ(fitted_window(s, d)->width, 4);
    s.slot(2).is_pole = false;
    EXPECT_FALSE(fitted_window(s, d));
    EXPECT_FALSE(any_table_in_use(s));
}

}  // namespace
}  // namespace viewer
