#include "common/numtext.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <locale>

namespace suite {
namespace {

struct Row {
    Real x;
    int width;
    const char* text;
};

TEST(NumberText, ScientificFormat) {
    const Row rows[] = {
        {1234.5L, 11, " 1.23E+0003"},      {-1234.5L, 11, "-1.23E+0003"},
        {1.0L, 11, " 1.00E+0000"},         {1e-6L, 11, " 1.00E-0006"},
        {75.0L, 11, " 7.50E+0001"},        {0.0L, 11, " 0.00E+0000"},
        {-0.0L, 11, " 0.00E+0000"},        {1e300L, 11, " 1.00E+0300"},
        {1e-4000L, 11, " 1.00E-4000"},                                   // exponent of four digits
        {1e4000L, 12, " 1.000E+4000"},     {9.996L, 11, " 1.00E+0001"},  // rounding carries into the exponent
        {1.234L, 11, " 1.23E+0000"},       {1.235001L, 11, " 1.24E+0000"},
        {1234.5L, 10, " 1.2E+0003"},  // g is at least 2
        {1234.5L, 6, " 1.2E+0003"},   // ... so a narrow field grows
        {1234.5L, 16, " 1.2345000E+0003"}, {1234.5L, 30, "     1.23450000000000000E+0003"},  // g at most 18
    };
    for (const auto& r : rows) EXPECT_EQ(format_scientific(r.x, r.width), r.text) << r.text;
}

TEST(NumberText, FixedFormat) {
    EXPECT_EQ(format_fixed(-3.0103L, 14, 9), "  -3.010300000");
    EXPECT_EQ(format_fixed(0.5L, 9, 6), " 0.500000");
    EXPECT_EQ(format_fixed(2.0L / 3.0L, 0, 3), "0.667");
    EXPECT_EQ(format_fixed(-2.5e-7L, 8, 3), "   0.000");            // no sign on a rounded zero
    EXPECT_EQ(format_fixed(123456789.126L, 5, 2), "123456789.13");  // never cut
    EXPECT_EQ(format_fixed(42.0L, 4, 0), "  42");
    EXPECT_EQ(format_fixed(1e20L, 3, 1), "100000000000000000000.0");
}

TEST(NumberText, GeneralFormat) {
    const std::pair<Real, const char*> rows[] = {
        {0.2L, "0.2"},
        {400.0L, "400"},
        {1e-7L, "1E-7"},
        {0.00001L, "0.00001"},
        {0.0000099L, "9.9E-6"},
        {-1.5e-9L, "-1.5E-9"},
        {0.0L, "0"},
        {1e3L, "1000"},
        {123456789012345.0L, "123456789012345"},
        {1234567890123456.0L, "1.23456789012346E15"},
        {1.0L / 3.0L, "0.333333333333333"},
        {2.0L / 3.0L, "0.666666666666667"},
        {6.28e6L, "6280000"},
        {-75.25L, "-75.25"},
        {1e300L, "1E300"},
    };
    for (const auto& [x, text] : rows) EXPECT_EQ(format_general(x), text);
}

TEST(NumberText, GeneralFormatReadsBack) {
    for (Real x : {0.2L, 1e-7L, 6.02214076e23L, -1.0L / 7.0L, 47e-9L, 1.5915494309189535e3L}) {
        Real y = 0;
        ASSERT_TRUE(parse_real(format_general(x), y));
        EXPECT_NEAR(static_cast<double>(y / x), 1.0, 1e-14);
    }
}

TEST(NumberText, HugeWidthsPadOnlyToTheLongestText) {
    EXPECT_EQ(format_fixed(1.5L, 2000000000, 2).size(), 255u);
    EXPECT_EQ(format_scientific(1.5L, 2000000000).size(), 255u);
    EXPECT_EQ(format_int(7, 1 << 30).size(), 255u);
    EXPECT_EQ(format_fixed(1.5L, 3, 1000), "1." + std::string(64, '0').replace(0, 1, "5"));
}

TEST(NumberText, Integers) {
    EXPECT_EQ(format_int(42), "42");
    EXPECT_EQ(format_int(-7, 4), "  -7");
    EXPECT_EQ(format_int(12345, 3), "12345");
}

TEST(NumberText, ParseReal) {
    const std::pair<const char*, Real> good[] = {{"1e3", 1000.0L}, {"-2.5", -2.5L},   {"+4", 4.0L},
                                                 {".5", 0.5L},     {"5.", 5.0L},      {"1E-7", 1e-7L},
                                                 {" 12 ", 12.0L},  {"1e-5000", 0.0L}, {"1e4000", 1e4000L}};
    for (const auto& [text, x] : good) {
        Real y = -99;
        EXPECT_TRUE(parse_real(text, y)) << text;
        EXPECT_EQ(y, x) << text;
    }
    for (const char* bad : {"", " ", "1,5", "1k", "10u", "abc", "1e", "e5", ".", "-", "inf", "nan", "1e5000",
                            "0x10", "1.2.3", "1 2", "--1"}) {
        Real y = 7;
        EXPECT_FALSE(parse_real(bad, y)) << bad;
        EXPECT_EQ(y, 7) << bad;
    }
}

TEST(NumberText, ParseInt) {
    std::int32_t n = 0;
    EXPECT_TRUE(parse_int("400", n));
    EXPECT_EQ(n, 400);
    EXPECT_TRUE(parse_int("-2147483648", n));
    EXPECT_EQ(n, std::numeric_limits<std::int32_t>::min());
    for (const char* bad : {"2.5", "2147483648", "-2147483649", "", "1e3", "12a", "+-1"}) {
        n = 5;
        EXPECT_FALSE(parse_int(bad, n)) << bad;
        EXPECT_EQ(n, 5);
    }
}

// A comma locale must change nothing.
TEST(NumberText, IndependentOfLocale) {
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale saved = std::locale::global(std::locale(std::locale::classic(), new Comma));
    for (const char* name : {"de_DE.UTF-8", "pt_BR.UTF-8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_ALL, name)) break;
    Real x = 0;
    EXPECT_TRUE(parse_real("2.5", x));
    EXPECT_EQ(x, 2.5L);
    EXPECT_EQ(format_general(2.5L), "2.5");
    EXPECT_EQ(format_fixed(2.5L, 5, 2), " 2.50");
    EXPECT_EQ(format_scientific(2.5L, 11), " 2.50E+0000");
    std::setlocale(LC_ALL, "C");
    std::locale::global(saved);
}

}  // namespace
}  // namespace suite
