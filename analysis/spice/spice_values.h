// Values in a SPICE deck: numbers with scale suffixes and unit letters, and
// arithmetic expressions over parameters.
//
//   Real x = 0;
//   parse_spice_number("10kOhm", x);          // true, x = 10000
//   parse_spice_number("100nF", x);           // true, x = 1e-7
//   const ParameterLookup none = [](const std::string&) { return std::nullopt; };
//   evaluate_expression("1/(2*pi*1k*10n)", none);   // 15915.49...
//
// A number is an optional sign, digits with an optional point and fraction,
// an optional exponent (E or e, sign, digits), then an optional scale
// suffix: T 1e12, G 1e9, MEG 1e6, K 1e3, MIL 25.4e-6, M 1e-3, U 1e-6,
// N 1e-9, P 1e-12, F 1e-15 (any case); letters after the number and its
// suffix are units and are ignored ("10kOhm", "1uF", and "1F" is one
// femtofarad, as SPICE reads it). A number without suffix is converted as
// the decimal it is written, so "10E-9" and "10n" give the same Real.
//
// Expressions: + - * / ^ (and **, right-associative, binding tighter than
// a unary minus: -2^2 is -4), parentheses, unary minus and plus,
// comparisons (== != < > <= >=) with && || ! and the conditional c ? a : b
// (true is 1, false 0), numbers as above, parameters, pi, and the
// functions sqrt exp log (natural) ln log10 sin cos tan asin acos atan
// atan2 sinh cosh tanh abs sgn floor ceil int nint min max pow pwr hypot,
// and the user functions that a FunctionLookup gives.
// Names are case-insensitive. References to circuit quantities (v(...),
// i(...), time, temper, hertz) are behavioural and refused.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/real.h"

namespace analysis::spice {

using suite::Real;

// Why a value could not be had (text in the analysis program's language).
class ValueError : public std::runtime_error {
public:
    explicit ValueError(const std::string& message) : std::runtime_error(message) {}
};

// Reads a number at the start of text; `used` is the number of characters
// it took, unit letters included. False when text does not start with one.
bool scan_spice_number(std::string_view text, std::size_t& used, Real& value);
// The whole text is one number.
bool parse_spice_number(std::string_view text, Real& value);

// The value of a parameter (name lower-cased), or nothing when there is no
// parameter of that name. May throw ValueError.
using ParameterLookup = std::function<std::optional<Real>(const std::string& name)>;

// A user function (.func NAME(A, B) {BODY}): its parameters, lower-case,
// and its body, evaluated at each call with the parameters bound to the
// arguments and every other name looked up where it is called.
struct UserFunction {
    std::vector<std::string> parameters;
    std::string body;
};
// The user function of a name (lower-cased), or nullptr.
using FunctionLookup = std::function<const UserFunction*(const std::string& name)>;

// Evaluates the expression that starts at text[pos] and moves pos past its
// end: it stops before the first character that cannot continue it, such
// as the next "name=" of a parameter list. Throws ValueError.
Real evaluate_expression_at(std::string_view text, std::size_t& pos, const ParameterLookup& lookup,
                            const FunctionLookup* functions = nullptr);
// The whole text is one expression.
Real evaluate_expression(std::string_view text, const ParameterLookup& lookup,
                         const FunctionLookup* functions = nullptr);
// The end of the expression that starts at text[pos], without evaluating
// it (names are not looked up). Throws ValueError on faulty syntax.
std::size_t scan_expression(std::string_view text, std::size_t pos);

// Whether the name is a parameter name: a letter or "_", then letters,
// digits and "_".
bool is_parameter_name(std::string_view name);

}  // namespace analysis::spice
