// Number texts used in logs, listings, dialogs and files.
//
// Every conversion here is independent of the process locale: the decimal
// separator is always ".".
//
//   format_scientific(1234.5, 11)    -> " 1.23E+0003"
//   format_fixed(-3.0103, 14, 9)     -> "  -3.010300000"
//   format_general(0.2)              -> "0.2"    (400 -> "400", 1e-7 -> "1E-7")
//   format_int(42, 5)                -> "   42"
//   parse_real("1e3", x)             -> true, x = 1000
//   parse_int("2.5", n)              -> false
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/real.h"

namespace suite {

// Scientific format of width w: g = w - 8 significant digits (2..18); a blank
// or "-", one digit, ".", g - 1 digits, "E", the exponent's sign and four
// exponent digits, right-aligned in w characters when w exceeds g + 8.
std::string format_scientific(Real x, int width);

// Fixed format: x rounded to d decimals, "-" for negative values,
// right-aligned in at least w characters; a wider value is never cut.
// A value that rounds to zero is written without a sign.
std::string format_fixed(Real x, int width, int decimals);

// General format: the shortest text that shows x to 15 significant digits;
// plain notation unless the magnitude is below 0.00001 or needs more than
// 15 integer digits, then "E" and the exponent without leading zeros
// ("-" only for a negative exponent).
std::string format_general(Real x);

// Decimal integer, right-aligned in at least `width` characters.
// (In every format a width beyond 255, the longest text, pads to 255.)
std::string format_int(long long n, int width = 0);

// Whole-text conversions. A real is an optional sign, digits with an
// optional "." and fraction (at least one digit in all), and an optional
// exponent of E or e, an optional sign and digits. Leading and trailing
// blanks are allowed; anything else (units, a decimal comma, "inf", "nan",
// a value beyond the range of Real) fails. A value below the smallest
// Real reads as zero.
bool parse_real(std::string_view text, Real& value);
// A signed decimal integer of the 32-bit range.
bool parse_int(std::string_view text, std::int32_t& value);
// The same for a 64-bit range (callers apply their own limits).
bool parse_long(std::string_view text, long long& value);

}  // namespace suite
