#include "common/textscan.h"

#include <gtest/gtest.h>

namespace suite {
namespace {

TEST(TextScanner, NumericFieldsSkipBlanksAndLineEnds) {
    TextScanner in("3 junk\nR1 1\t2\n  1E3\nC");
    long long n = 0;
    EXPECT_TRUE(in.read_int(n));
    EXPECT_EQ(n, 3);
    EXPECT_TRUE(in.line_has_field());
    in.readln();
    EXPECT_EQ(in.line_number(), 2u);
    EXPECT_EQ(in.get(), 'R');
    EXPECT_EQ(in.get(), '1');
    EXPECT_EQ(in.get(), ' ');
    long long a = 0, b = 0;
    Real v = 0;
    EXPECT_TRUE(in.read_int(a));
    EXPECT_TRUE(in.read_int(b));
    EXPECT_FALSE(in.line_has_field());
    EXPECT_TRUE(in.read_real(v));  // the field stands on the next line
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(v, 1000.0L);
    EXPECT_FALSE(in.seek_eof());
    EXPECT_EQ(in.rest_of_line(), "C");
    EXPECT_TRUE(in.eof());
}

TEST(TextScanner, BadFieldsFailAndTheEndReadsZero) {
    TextScanner in("1k 2,5 x\n");
    Real v = 9;
    EXPECT_FALSE(in.read_real(v));
    EXPECT_FALSE(in.read_real(v));
    long long n = 4;
    EXPECT_FALSE(in.read_int(n));
    EXPECT_EQ(v, 9);
    EXPECT_EQ(n, 4);
    EXPECT_TRUE(in.read_real(v));  // only a line end left: the end of the text
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(in.eof());
    EXPECT_EQ(in.get(), '\0');
}

TEST(TextScanner, ControlCharactersEndAField) {
    TextScanner in(
        "12\x01"
        "5\t7");
    long long n = 0;
    EXPECT_TRUE(in.read_int(n));
    EXPECT_EQ(n, 12);
    EXPECT_TRUE(in.read_int(n));
    EXPECT_EQ(n, 5);
    EXPECT_EQ(in.read_field(), "7");
    EXPECT_EQ(in.read_field(), "");
}

}  // namespace
}  // namespace suite
