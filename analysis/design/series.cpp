// The standard series. A value is kept as its index on the whole scale:
// index d·n + i is the series' i-th mantissa in decade d (index 0 is 1.0),
// and its value is the double nearest to the decimal text "mantissa e
// exponent", so that 10.2e3 is exactly the double nearest 10200 whatever
// decade it lies in.
#include "analysis/design/series.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace analysis::design {
namespace {

constexpr int e24[24] = {10, 11, 12, 13, 15, 16, 18, 20, 22, 24, 27, 30,
                         33, 36, 39, 43, 47, 51, 56, 62, 68, 75, 82, 91};

constexpr int e96[96] = {100, 102, 105, 107, 110, 113, 115, 118, 121, 124, 127, 130, 133, 137, 140, 143,
                         147, 150, 154, 158, 162, 165, 169, 174, 178, 182, 187, 191, 196, 200, 205, 210,
                         215, 221, 226, 232, 237, 243, 249, 255, 261, 267, 274, 280, 287, 294, 301, 309,
                         316, 324, 332, 340, 348, 357, 365, 374, 383, 392, 402, 412, 422, 432, 442, 453,
                         464, 475, 487, 499, 511, 523, 536, 549, 562, 576, 590, 604, 619, 634, 649, 665,
                         681, 698, 715, 732, 750, 768, 787, 806, 825, 845, 866, 887, 909, 931, 953, 976};

// A value this close to a standard one (relatively) is taken as that value.
constexpr Real same_value = 1e-12L;

// E6, E12 and E48 take every 4th, 2nd and 2nd value of E24 and E96.
int mantissa(Series s, int i) {
    switch (s) {
        case Series::e6:
            return e24[4 * i];
        case Series::e12:
            return e24[2 * i];
        case Series::e24:
            return e24[i];
        case Series::e48:
            return e96[2 * i];
        case Series::e96:
            return e96[i];
    }
    return 0;
}

int digits(Series s) { return s == Series::e48 || s == Series::e96 ? 3 : 2; }

Real value_at(Series s, long long index) {
    const long long n = series_size(s);
    long long decade = index / n;
    long long i = index % n;
    if (i < 0) {
        i += n;
        --decade;
    }
    char text[48];
    auto r = std::to_chars(text, text + 20, mantissa(s, static_cast<int>(i)));
    *r.ptr++ = 'e';
    r = std::to_chars(r.ptr, text + sizeof text, decade - (digits(s) - 1));
    double v = 0;
    std::from_chars(text, r.ptr, v);
    return v;
}

void check_positive(Real x) {
    if (!(x > 0) || !std::isfinite(x))
        throw std::invalid_argument("standard value of a number that is not positive");
}

// The largest index whose value does not exceed x (a value within
// same_value of x counting as equal).
long long index_at_or_below(Real x, Series s) {
    check_positive(x);
    const Real limit = x * (1 + same_value);
    long long index = static_cast<long long>(std::floor(std::log10(x))) * series_size(s);
    while (value_at(s, index) > limit) --index;
    while (value_at(s, index + 1) <= limit) ++index;
    return index;
}

bool same(Real v, Real x) { return std::fabs(v - x) <= same_value * x; }

long long nearest_index(Real x, Series s) {
    const long long below = index_at_or_below(x, s);
    const Real b = value_at(s, below);
    if (same(b, x)) return below;
    return x / b <= value_at(s, below + 1) / x ? below : below + 1;
}

}  // namespace

std::string series_name(Series s) { return "E" + std::to_string(series_size(s)); }

std::optional<Series> series_from_name(const std::string& text) {
    for (Series s : {Series::e6, Series::e12, Series::e24, Series::e48, Series::e96}) {
        const std::string name = series_name(s);
        if (text.size() != name.size() || (text[0] != 'E' && text[0] != 'e')) continue;
        if (text.compare(1, std::string::npos, name, 1, std::string::npos) == 0) return s;
    }
    return std::nullopt;
}

int series_size(Series s) {
    switch (s) {
        case Series::e6:
            return 6;
        case Series::e12:
            return 12;
        case Series::e24:
            return 24;
        case Series::e48:
            return 48;
        case Series::e96:
            return 96;
    }
    return 0;
}

Real series_tolerance(Series s) {
    switch (s) {
        case Series::e6:
            return 0.2L;
        case Series::e12:
            return 0.1L;
        case Series::e24:
            return 0.05L;
        case Series::e48:
            return 0.02L;
        case Series::e96:
            return 0.01L;
    }
    return 0;
}

Real nearest_standard(Real x, Series s) { return value_at(s, nearest_index(x, s)); }

std::pair<Real, Real> standard_neighbours(Real x, Series s) {
    const long long below = index_at_or_below(x, s);
    const Real b = value_at(s, below);
    if (same(b, x)) return {b, b};
    return {b, value_at(s, below + 1)};
}

Real step_standard(Real x, Series s, int steps) { return value_at(s, nearest_index(x, s) + steps); }

}  // namespace analysis::design
