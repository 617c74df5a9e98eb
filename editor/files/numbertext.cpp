#include "editor/files/numbertext.h"

#include <cmath>

#include "common/numtext.h"

namespace editor {

std::string number_text(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    // " d.ddddddddddddddE+dddd": 15 significant digits in 23 characters.
    std::string s = suite::format_scientific(value, 23);
    if (!s.empty() && s[0] == ' ') s.erase(0, 1);
    const auto e = s.find('E');
    std::string mantissa = s.substr(0, e);
    const char sign = s[e + 1];
    std::string exponent = s.substr(e + 2);
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
    while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
    if (exponent == "0") return mantissa;
    return mantissa + 'E' + sign + exponent;
}

}  // namespace editor
