#include "editor/formula/formula.h"

#include <cmath>

#include "common/numtext.h"
#include "editor/files/numbertext.h"
#include "editor/library/library.h"

namespace editor {
namespace {

using Wide = long double;  // the arithmetic is done in extended precision

bool is_digit(char c) { return c >= '0' && c <= '9'; }
char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string upper_text(std::string s) {
    for (char& c : s) c = upper(c);
    return s;
}

// Position just after the parenthesis that closes the one at `open`, or the
// end of the text when it is never closed.
std::size_t after_group(const std::string& s, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < s.size(); ++i) {
        if (s[i] == '(') ++depth;
        if (s[i] == ')' && --depth == 0) return i + 1;
    }
    return s.size();
}

// A "+" or "-" at `p` that belongs to its token: after "=" (X=-3) or in a
// number's exponent (1E-3).
bool sign_stays(const std::string& s, std::size_t p) {
    if (s[p] != '+' && s[p] != '-') return false;
    if (p >= 1 && s[p - 1] == '=') return true;
    return p >= 2 && upper(s[p - 1]) == 'E' && is_digit(s[p - 2]);
}

double fail(FormulaState& f, const std::string& message) {
    if (!message.empty()) f.print(message);
    f.success = false;
    return 0;
}

// Keeps a result as a 64-bit real; a result beyond its range is an error.
double store(FormulaState& f, Wide x) {
    const double d = static_cast<double>(x);
    if (!std::isfinite(d)) return fail(f, "Number out of range.");
    return d;
}

// Removes the leading operator of a token, returned (or '\0').
char take_operator(std::string& token, std::string_view operators) {
    if (token.empty() || operators.find(token[0]) == std::string_view::npos) return '\0';
    const char op = token[0];
    token.erase(0, 1);
    return op;
}

double operand(const std::string& op, FormulaState& f);

double apply_power(double s, double v, FormulaState& f) {
    const Wide w = s;
    if (v == 2) return store(f, w * w);
    if (v == 3) return store(f, w * w * w);
    if (v == 4) return store(f, (w * w) * (w * w));
    if (s <= 0) return fail(f, "Invalid exponentiation.");
    return store(f, std::exp(static_cast<Wide>(v) * std::log(w)));
}

double apply_parallel(double s, double v, FormulaState& f) {
    const Wide sum = static_cast<Wide>(s) + v;
    if (sum == 0) return fail(f, "Invalid // operation.");
    return store(f, static_cast<Wide>(s) * v / sum);
}

// Operands joined by ^ and |, strictly from left to right.
double chain(const std::string& factor, FormulaState& f) {
    std::size_t p = 0;
    double value = 0;
    bool first = true;
    do {
        std::string op = scan_token(factor, p, "^|");
        const char operation = take_operator(op, "^|");
        const double v = operand(op, f);
        if (!f.success) return 0;
        if (first)
            value = v;
        else
            value = operation == '|' ? apply_parallel(value, v, f) : apply_power(value, v, f);
        if (!f.success) return 0;
        first = false;
    } while (p < factor.size());
    return value;
}

double product(const std::string& term, FormulaState& f) {
    std::size_t p = 0;
    double value = 1;
    do {
        std::string factor = scan_token(term, p, "*/");
        const char operation = take_operator(factor, "*/");
        const double v = chain(factor, f);
        if (!f.success) return 0;
        if (operation == '/') {
            if (v == 0) return fail(f, "Division by zero.");
            value = store(f, static_cast<Wide>(value) / v);
        } else {
            value = store(f, static_cast<Wide>(value) * v);
        }
        if (!f.success) return 0;
    } while (p < term.size());
    return value;
}

double function_value(const std::string& op, FormulaState& f) {
    const std::string name = op.substr(0, 3);
    const double x = evaluate(op.substr(3), f);
    if (!f.success) return fail(f, "Error in function argument");
    const Wide w = x;
    if (name == "SIN") return store(f, std::sin(w));
    if (name == "COS") return store(f, std::cos(w));
    if (name == "TAN") {
        const Wide c = std::cos(w);
        if (c == 0) return fail(f, "");
        return store(f, std::sin(w) / c);
    }
    if (name == "LOG") {
        if (x <= 0) return fail(f, "");
        return store(f, std::log(w));
    }
    return store(f, std::exp(w));
}

bool is_function(const std::string& op) {
    const std::string name = op.substr(0, 3);
    return name == "SIN" || name == "COS" || name == "TAN" || name == "LOG" || name == "EXP";
}

void remove_entry(ValueList& values, int i) {
    for (int k = i; k < values.count; ++k) values.entry[k] = values.entry[k + 1];
    values.entry[values.count--] = ValueEntry{};
}

// NAME=expression: creates the entry when needed, then stores the value.
// An entry created for an assignment that then fails is removed again.
double assignment(const std::string& op, FormulaState& f) {
    const std::size_t q = op.find('=');
    if (q == std::string::npos || q == 0 || q > 5 || op[0] < 'A' || op[0] > 'Z')
        return fail(f, "Unknown operand: [" + op + "]");
    const std::string name = op.substr(0, q);
    int i = find_value(f.values, name);
    const bool created = i == 0;
    if (created) {
        if (f.values.count == max_values) return fail(f, "Too many variables.");
        i = ++f.values.count;
        f.values.entry[i] = ValueEntry{name, 0};
    }
    const double v = evaluate(op.substr(q + 1), f);
    if (!f.success) {
        if (created) remove_entry(f.values, find_value(f.values, name));
        return fail(f, "Error in attribution.");
    }
    i = find_value(f.values, name);
    f.values.entry[i].value = v;
    f.print(name + "=" + number_text(v) + (created ? " created" : ""));
    return v;
}

double operand(const std::string& op, FormulaState& f) {
    if (op.size() >= 2 && op.front() == '(' && op.back() == ')')
        return evaluate(op.substr(1, op.size() - 2), f);
    if (!op.empty() && op[0] != 'E') {
        suite::Real x = 0;
        if (suite::parse_real(op, x) && std::isfinite(static_cast<double>(x))) return static_cast<double>(x);
    }
    if (const int i = find_value(f.values, op); i != 0) return f.values.entry[i].value;
    if (is_function(op)) return function_value(op, f);
    return assignment(op, f);
}

}  // namespace

std::string scan_token(const std::string& text, std::size_t& p, std::string_view separators) {
    const auto is_separator = [&](char c) { return separators.find(c) != std::string_view::npos; };
    while (p < text.size() && text[p] == ' ') ++p;
    const std::size_t start = p;
    while (p < text.size() && is_separator(text[p])) ++p;
    while (p < text.size()) {
        if (text[p] == '(') {
            p = after_group(text, p);
        } else if (is_separator(text[p]) && !sign_stays(text, p)) {
            break;
        } else {
            ++p;
        }
    }
    return text.substr(start, p - start);
}

double evaluate(const std::string& expression, FormulaState& f) {
    struct Level {
        int& depth;
        explicit Level(int& d) : depth(++d) {}
        ~Level() { --depth; }
    } level(f.depth);
    if (f.depth > max_formula_depth) return fail(f, "Formula nested too deeply.");
    std::size_t p = 0;
    double total = 0;
    do {
        std::string term = scan_token(expression, p, "+-");
        const char sign = take_operator(term, "+-");
        const double v = product(term, f);
        if (!f.success) return 0;
        total = store(f, sign == '-' ? static_cast<Wide>(total) - v : static_cast<Wide>(total) + v);
        if (!f.success) return 0;
    } while (p < expression.size());
    return total;
}

std::string reduce_text(const std::string& text, FormulaState& f) {
    std::string result;
    std::size_t p = 0;
    do {
        std::string token = scan_token(text, p, " ");
        if (token.size() >= 2 && token.front() == '(' && token.back() == ')') {
            f.success = true;
            const double v = evaluate(upper_text(token.substr(1, token.size() - 2)), f);
            if (f.success) {
                token = number_text(v);
            } else {
                token += '?';
                ++f.unevaluated;
                if (!f.dialog.ignore_other_errors && f.dialog.show)
                    f.dialog.show(token, f.dialog.ignore_other_errors);
            }
        }
        result += ' ' + token;
        ++p;  // the separator
    } while (p < text.size());
    return result;
}

namespace {

bool is_formula(const std::string& token) {
    return token.size() >= 2 && token.front() == '(' && token.back() == ')';
}

// A number as the netlist reader reads it: no unit suffixes.
bool is_number(const std::string& token) {
    suite::Real x = 0;
    return suite::parse_real(token, x);
}

// L and C lines may end in an initial condition, which the reader ignores.
bool is_initial_condition(int kind, const std::string& token) {
    const char key = component_kind(kind).key;
    if (key != 'L' && key != 'l' && key != 'C' && key != 'c') return false;
    return token.size() > 3 && upper_text(token.substr(0, 3)) == "IC=" && is_number(token.substr(3));
}

// A text that begins with a digit, a sign, a point or a formula is meant as
// numbers; one that begins with a letter is a model or parameter text.
bool begins_as_number(const std::string& text) {
    const std::size_t p = text.find_first_not_of(' ');
    if (p == std::string::npos) return true;  // nothing at all: no number either
    const char c = text[p];
    return is_digit(c) || c == '+' || c == '-' || c == '.' || c == '(';
}

}  // namespace

std::optional<std::string> value_not_a_number(int kind, const std::string& text) {
    const ParameterValues rule = parameter_values(kind);
    if (rule == ParameterValues::free) return std::nullopt;
    if (rule == ParameterValues::numbers_or_model && !begins_as_number(text)) return std::nullopt;
    std::size_t p = 0;
    bool any = false;
    while (p < text.size()) {
        const std::string token = scan_token(text, p, " ");
        ++p;  // the separator
        if (token.empty()) continue;
        any = true;
        if (!is_formula(token) && !is_number(token) && !is_initial_condition(kind, token)) return token;
    }
    if (!any) return std::string();
    return std::nullopt;
}

std::string test_formula(const std::string& text, FormulaState& f) {
    f.print("Original expression: " + text);
    const std::string reduced = reduce_text(text, f);
    f.print("Reduced expression: " + reduced);
    return reduced;
}

}  // namespace editor
