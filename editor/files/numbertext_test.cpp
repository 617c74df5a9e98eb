#include "editor/files/numbertext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace editor {
namespace {

TEST(NumberText, ShortestScientificText) {
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {1, "1"},
        {1000, "1E+3"},
        {0.001, "1E-3"},
        {-2.5, "-2.5"},
        {4.7e-9, "4.7E-9"},
        {0, "0"},
        {-0.0, "0"},
        {0.1, "1E-1"},
        {12.5, "1.25E+1"},
        {-1e-300, "-1E-300"},
        {1.0 / 3, "3.33333333333333E-1"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {0.99999999999999989, "1"},  // rounds up to 15 digits
        {9.5, "9.5"},
        {1e100, "1E+100"},
    };
    for (const auto& row : rows) EXPECT_EQ(number_text(row.value), row.text) << row.value;
}

TEST(NumberText, NonFiniteValuesAreNamed) {
    EXPECT_EQ(number_text(std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(number_text(-std::numeric_limits<double>::infinity()), "-INF");
    EXPECT_EQ(number_text(std::nan("")), "NAN");
}

}  // namespace
}  // namespace editor
