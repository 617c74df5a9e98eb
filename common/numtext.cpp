#include "common/numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace suite {
namespace {

// Digits and decimal exponent of |x| rounded to `digits` significant digits.
struct Decimal {
    std::string digits;  // exactly `digits` characters, the first non-zero unless x is 0
    int exponent = 0;    // x = d.ddd * 10^exponent
};

Decimal to_decimal(Real x, int digits) {
    char buf[128];
    const auto r =
        std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, digits - 1);
    const std::string_view text(buf, static_cast<std::size_t>(r.ptr - buf));
    const auto e = text.find('e');
    Decimal d;
    for (char c : text.substr(0, e))
        if (c != '.') d.digits += c;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), d.exponent);
    return d;
}

// Texts are at most 255 characters: a wider field is padded to that only.
constexpr int kMaxWidth = 255;

std::string pad_left(std::string s, int width) {
    width = std::min(width, kMaxWidth);
    if (width > 0 && static_cast<int>(s.size()) < width)
        s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
    return s;
}

std::string non_finite(Real x) {
    if (std::isnan(x)) return "NAN";
    return x < 0 ? "-INF" : "INF";
}

}  // namespace

std::string format_scientific(Real x, int width) {
    if (!std::isfinite(x)) return pad_left(non_finite(x), width);
    const int g = std::clamp(width - 8, 2, 18);
    const Decimal d = to_decimal(x, g);
    std::string s;
    s += (x < 0) ? '-' : ' ';
    s += d.digits[0];
    s += '.';
    s.append(d.digits, 1, std::string::npos);
    s += 'E';
    s += d.exponent < 0 ? '-' : '+';
    std::string exp = std::to_string(std::abs(d.exponent));
    if (exp.size() < 4) exp.insert(0, 4 - exp.size(), '0');
    s += exp;
    return pad_left(s, width);
}

std::string format_fixed(Real x, int width, int decimals) {
    if (!std::isfinite(x)) return pad_left(non_finite(x), width);
    decimals = std::clamp(decimals, 0, 64);
    char buf[6000];  // the largest long double needs 4933 integer digits
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::fixed, decimals);
    std::string s(buf, static_cast<std::size_t>(r.ptr - buf));
    const bool zero = s.find_first_not_of("0.") == std::string::npos;
    if (x < 0 && !zero) s.insert(0, 1, '-');
    return pad_left(s, width);
}

std::string format_general(Real x) {
    if (!std::isfinite(x)) return non_finite(x);
    if (x == 0) return "0";
    const Decimal d = to_decimal(x, 15);
    std::string digits = d.digits;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string s = x < 0 ? "-" : "";
    const int e = d.exponent;
    if (e < -5 || e > 14) {
        s += digits[0];
        if (digits.size() > 1) {
            s += '.';
            s.append(digits, 1, std::string::npos);
        }
        s += 'E';
        s += std::to_string(e);
    } else if (e >= 0) {
        const auto whole = static_cast<std::size_t>(e) + 1;
        if (digits.size() <= whole) {
            s += digits;
            s.append(whole - digits.size(), '0');
        } else {
            s.append(digits, 0, whole);
            s += '.';
            s.append(digits, whole, std::string::npos);
        }
    } else {
        s += "0.";
        s.append(static_cast<std::size_t>(-e - 1), '0');
        s += digits;
    }
    return s;
}

std::string format_int(long long n, int width) { return pad_left(std::to_string(n), width); }

namespace {

std::string_view trim_blanks(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Checks the grammar of a decimal real; from_chars alone would also take
// "inf", "nan" and a missing mantissa.
bool is_decimal_real(std::string_view t, bool& negative_exponent) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t mantissa_digits = 0;
    while (i < t.size() && is_digit(t[i])) ++i, ++mantissa_digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && is_digit(t[i])) ++i, ++mantissa_digits;
    }
    if (mantissa_digits == 0) return false;
    negative_exponent = false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative_exponent = t[i++] == '-';
        std::size_t exponent_digits = 0;
        while (i < t.size() && is_digit(t[i])) ++i, ++exponent_digits;
        if (exponent_digits == 0) return false;
    }
    return i == t.size();
}

}  // namespace

bool parse_real(std::string_view text, Real& value) {
    const std::string_view t = trim_blanks(text);
    bool negative_exponent = false;
    if (!is_decimal_real(t, negative_exponent)) return false;
    // from_chars takes no leading "+".
    const std::string_view body = t.front() == '+' ? t.substr(1) : t;
    Real v = 0;
    const auto r = std::from_chars(body.data(), body.data() + body.size(), v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        if (!negative_exponent) return false;    // beyond the largest Real
        v = body.front() == '-' ? -0.0L : 0.0L;  // below the smallest Real
    } else if (r.ec != std::errc() || r.ptr != body.data() + body.size()) {
        return false;
    }
    value = v;
    return true;
}

bool parse_long(std::string_view text, long long& value) {
    std::string_view t = trim_blanks(text);
    if (!t.empty() && t.front() == '+') {
        t.remove_prefix(1);
        if (!t.empty() && t.front() == '-') return false;
    }
    if (t.empty()) return false;
    long long v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return false;
    value = v;
    return true;
}

bool parse_int(std::string_view text, std::int32_t& value) {
    long long v = 0;
    if (!parse_long(text, v)) return false;
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

}  // namespace suite
