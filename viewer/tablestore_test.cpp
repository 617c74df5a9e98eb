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
    EXPECT_EQ(slot_colour(4), Rgb({0, 128, 0}));
    EXPECT_EQ(slot_colour(9), Rgb({192, 192, 192}));
    EXPECT_EQ(slot_colour(10), Rgb({128, 128, 0}));
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

}  // namespace
}  // namespace viewer
