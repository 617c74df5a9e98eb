// Numbers and expressions of SPICE decks.
#include "analysis/spice/spice_values.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace analysis::spice {
namespace {

bool is_digit(char ch) { return ch >= '0' && ch <= '9'; }
bool is_letter(char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); }
char lower(char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch; }

bool starts_with_ci(std::string_view text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (lower(text[at + i]) != word[i]) return false;
    return true;
}

// The decimal scale of a suffix, or 0 for MIL, which is not a power of ten.
struct Suffix {
    std::string_view text;
    int exponent;
};
constexpr Suffix suffixes[] = {{"meg", 6}, {"mil", 0}, {"t", 12}, {"g", 9},   {"k", 3},
                               {"m", -3},  {"u", -6},  {"n", -9}, {"p", -12}, {"f", -15}};

constexpr Real pi = 3.14159265358979323846264338327950288L;

}  // namespace

bool scan_spice_number(std::string_view text, std::size_t& used, Real& value) {
    std::size_t i = 0;
    std::string mantissa;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') mantissa += '-';
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && is_digit(text[i])) mantissa += text[i++], ++digits;
    if (i < text.size() && text[i] == '.') {
        mantissa += text[i++];
        while (i < text.size() && is_digit(text[i])) mantissa += text[i++], ++digits;
    }
    if (digits == 0) return false;
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) negative = text[j++] == '-';
        if (j < text.size() && is_digit(text[j])) {
            long long e = 0;
            while (j < text.size() && is_digit(text[j])) {
                if (e < 100000) e = e * 10 + (text[j] - '0');
                ++j;
            }
            exponent = negative ? -e : e;
            i = j;
        }
    }
    bool mil = false;
    for (const Suffix& s : suffixes) {
        if (!starts_with_ci(text, i, s.text)) continue;
        if (s.exponent == 0)
            mil = true;
        else
            exponent += s.exponent;
        i += s.text.size();
        break;
    }
    while (i < text.size() && is_letter(text[i])) ++i;  // units
    const std::string decimal = mantissa + "e" + std::to_string(exponent);
    Real v = 0;
    const auto r = std::from_chars(decimal.data(), decimal.data() + decimal.size(), v);
    if (r.ec == std::errc::result_out_of_range)
        v = exponent < 0 ? 0 : HUGE_VALL;
    else if (r.ec != std::errc())
        return false;
    if (mil) v *= 25.4e-6L;
    used = i;
    value = v;
    return true;
}

bool parse_spice_number(std::string_view text, Real& value) {
    std::size_t used = 0;
    return scan_spice_number(text, used, value) && used == text.size();
}

bool is_parameter_name(std::string_view name) {
    if (name.empty() || !(is_letter(name[0]) || name[0] == '_')) return false;
    for (char ch : name)
        if (!(is_letter(ch) || is_digit(ch) || ch == '_')) return false;
    return true;
}

namespace {

// Recursive descent over the text, evaluating as it goes.
class Parser {
public:
    Parser(std::string_view text, std::size_t pos, const ParameterLookup& lookup, bool scan_only = false,
           const FunctionLookup* functions = nullptr, int calls = 0)
        : t_(text), p_(pos), lookup_(lookup), scan_(scan_only), functions_(functions), calls_(calls) {}

    Real expression() {
        const Real c = disjunction();
        if (!take("?")) return c;
        const Real a = expression();
        if (!take(":")) fail("falta \":\" da expressão condicional");
        const Real b = expression();
        return c != 0 ? a : b;
    }
    std::size_t position() const { return p_; }
    // The position after the blanks that follow the expression.
    std::size_t after_blanks() {
        blanks();
        return p_;
    }

private:
    std::string_view t_;
    std::size_t p_;
    const ParameterLookup& lookup_;
    bool scan_;  // syntax only: every name and call reads as 1
    const FunctionLookup* functions_;
    int calls_;  // user functions being evaluated around this text
    int depth_ = 0;

    [[noreturn]] void fail(const std::string& why) const {
        throw ValueError("expressão inválida (" + why + "): " + std::string(t_));
    }
    void blanks() {
        while (p_ < t_.size() && (t_[p_] == ' ' || t_[p_] == '\t')) ++p_;
    }
    // Takes the operator when the text continues with it (blanks first);
    // "*" is not taken from "**", nor "<" from "<=".
    bool take(std::string_view op) {
        const std::size_t save = p_;
        blanks();
        if (t_.substr(p_, op.size()) == op) {
            const char next = p_ + op.size() < t_.size() ? t_[p_ + op.size()] : '\0';
            const bool longer = (op == "*" && next == '*') || ((op == "<" || op == ">") && next == '=') ||
                                (op == "!" && next == '=');
            if (!longer) {
                p_ += op.size();
                return true;
            }
        }
        p_ = save;
        return false;
    }
    Real disjunction() {
        Real a = conjunction();
        while (take("||")) {
            const Real b = conjunction();
            a = (a != 0 || b != 0) ? 1 : 0;
        }
        return a;
    }
    Real conjunction() {
        Real a = comparison();
        while (take("&&")) {
            const Real b = comparison();
            a = (a != 0 && b != 0) ? 1 : 0;
        }
        return a;
    }
    Real comparison() {
        const Real a = sum();
        if (take("==")) return a == sum() ? 1 : 0;
        if (take("!=")) return a != sum() ? 1 : 0;
        if (take("<=")) return a <= sum() ? 1 : 0;
        if (take(">=")) return a >= sum() ? 1 : 0;
        if (take("<")) return a < sum() ? 1 : 0;
        if (take(">")) return a > sum() ? 1 : 0;
        return a;
    }
    Real sum() {
        Real a = product();
        for (;;) {
            if (take("+"))
                a += product();
            else if (take("-"))
                a -= product();
            else
                return a;
        }
    }
    Real product() {
        Real a = unary();
        for (;;) {
            if (take("*"))
                a *= unary();
            else if (take("/"))
                a /= unary();
            else
                return a;
        }
    }
    Real unary() {
        if (++depth_ > 200) fail("aninhamento profundo demais");
        Real v;
        if (take("-"))
            v = -unary();
        else if (take("+"))
            v = unary();
        else if (take("!"))
            v = unary() == 0 ? 1 : 0;
        else
            v = power();
        --depth_;
        return v;
    }
    Real power() {
        const Real base = primary();
        if (take("^") || take("**")) return std::pow(base, unary());
        return base;
    }
    Real primary() {
        blanks();
        if (p_ >= t_.size()) fail("falta um valor");
        if (take("(")) {
            const Real v = expression();
            if (!take(")")) fail("falta \")\"");
            return v;
        }
        const char ch = t_[p_];
        if (is_digit(ch) || ch == '.') {
            std::size_t used = 0;
            Real v = 0;
            if (!scan_spice_number(t_.substr(p_), used, v)) fail("número mal escrito");
            p_ += used;
            return v;
        }
        if (!(is_letter(ch) || ch == '_')) fail("\"" + std::string(1, ch) + "\" inesperado");
        std::string name;
        while (p_ < t_.size() && (is_letter(t_[p_]) || is_digit(t_[p_]) || t_[p_] == '_'))
            name += lower(t_[p_++]);
        const std::size_t save = p_;
        if (take("(")) return call(name);
        p_ = save;
        if (name == "time" || name == "temper" || name == "hertz")
            throw ValueError("expressão comportamental (" + name +
                             ") não pode ser representada na análise linear: " + std::string(t_));
        if (scan_) return 1;
        if (const std::optional<Real> v = lookup_(name)) return *v;
        if (name == "pi") return pi;
        throw ValueError("parâmetro desconhecido: " + name);
    }
    Real call(const std::string& name) {
        if (name == "v" || name == "i" || name == "vm" || name == "vp" || name == "vr" || name == "vi" ||
            name == "vdb")
            throw ValueError("expressão comportamental (" + name +
                             "(...)) não pode ser representada na análise linear: " + std::string(t_));
        std::vector<Real> args;
        if (!take(")")) {
            do args.push_back(expression());
            while (take(","));
            if (!take(")")) fail("falta \")\"");
        }
        if (scan_) return 1;
        if (functions_)
            if (const UserFunction* user = (*functions_)(name)) return call_user(name, *user, args);
        return apply(name, args);
    }
    Real call_user(const std::string& name, const UserFunction& f, const std::vector<Real>& args) {
        if (args.size() != f.parameters.size())
            fail(name + " pede " + std::to_string(f.parameters.size()) + " argumentos");
        if (calls_ >= 50) fail("funções chamadas umas dentro das outras fundo demais");
        const ParameterLookup bound = [&](const std::string& n) -> std::optional<Real> {
            for (std::size_t k = 0; k < args.size(); ++k)
                if (f.parameters[k] == n) return args[k];
            return lookup_(n);
        };
        Parser inner(f.body, 0, bound, false, functions_, calls_ + 1);
        const Real v = inner.expression();
        if (inner.after_blanks() != f.body.size())
            throw ValueError("expressão inválida (texto a mais): " + f.body);
        return v;
    }
    Real apply(const std::string& f, const std::vector<Real>& a) {
        using Fn1 = Real (*)(Real);
        static const std::pair<const char*, Fn1> one[] = {
            {"sqrt", [](Real x) { return std::sqrt(x); }},
            {"exp", [](Real x) { return std::exp(x); }},
            {"log", [](Real x) { return std::log(x); }},
            {"ln", [](Real x) { return std::log(x); }},
            {"log10", [](Real x) { return std::log10(x); }},
            {"sin", [](Real x) { return std::sin(x); }},
            {"cos", [](Real x) { return std::cos(x); }},
            {"tan", [](Real x) { return std::tan(x); }},
            {"asin", [](Real x) { return std::asin(x); }},
            {"acos", [](Real x) { return std::acos(x); }},
            {"atan", [](Real x) { return std::atan(x); }},
            {"sinh", [](Real x) { return std::sinh(x); }},
            {"cosh", [](Real x) { return std::cosh(x); }},
            {"tanh", [](Real x) { return std::tanh(x); }},
            {"abs", [](Real x) { return std::fabs(x); }},
            {"floor", [](Real x) { return std::floor(x); }},
            {"ceil", [](Real x) { return std::ceil(x); }},
            {"int", [](Real x) { return std::trunc(x); }},
            {"nint", [](Real x) { return std::round(x); }},
            {"round", [](Real x) { return std::round(x); }},
            {"sgn", [](Real x) { return Real(x > 0   ? 1
                                             : x < 0 ? -1
                                                     : 0); }},
            {"sign", [](Real x) { return Real(x > 0   ? 1
                                              : x < 0 ? -1
                                                      : 0); }},
        };
        for (const auto& [name, fn] : one) {
            if (f != name) continue;
            if (a.size() != 1) fail(f + " pede um argumento");
            return fn(a[0]);
        }
        using Fn2 = Real (*)(Real, Real);
        static const std::pair<const char*, Fn2> two[] = {
            {"pow", [](Real x, Real y) { return std::pow(x, y); }},
            {"pwr", [](Real x, Real y) { return (x < 0 ? -1 : 1) * std::pow(std::fabs(x), y); }},
            {"atan2", [](Real y, Real x) { return std::atan2(y, x); }},
            {"hypot", [](Real x, Real y) { return std::hypot(x, y); }},
            {"min", [](Real x, Real y) { return std::fmin(x, y); }},
            {"max", [](Real x, Real y) { return std::fmax(x, y); }},
        };
        for (const auto& [name, fn] : two) {
            if (f != name) continue;
            if (a.size() != 2) fail(f + " pede dois argumentos");
            return fn(a[0], a[1]);
        }
        throw ValueError("função desconhecida: " + f);
    }
};

Real checked(Real v, std::string_view text) {
    if (!std::isfinite(v))
        throw ValueError("expressão sem valor finito (divisão por zero ou fora do domínio): " +
                         std::string(text));
    return v;
}

}  // namespace

Real evaluate_expression_at(std::string_view text, std::size_t& pos, const ParameterLookup& lookup,
                            const FunctionLookup* functions) {
    Parser p(text, pos, lookup, false, functions);
    const Real v = p.expression();
    pos = p.position();
    return checked(v, text);
}

std::size_t scan_expression(std::string_view text, std::size_t pos) {
    const ParameterLookup none = [](const std::string&) { return std::optional<Real>(); };
    Parser p(text, pos, none, true);
    p.expression();
    return p.position();
}

Real evaluate_expression(std::string_view text, const ParameterLookup& lookup,
                         const FunctionLookup* functions) {
    Parser p(text, 0, lookup, false, functions);
    const Real v = p.expression();
    if (p.after_blanks() != text.size())
        throw ValueError("expressão inválida (texto a mais): " + std::string(text));
    return checked(v, text);
}

}  // namespace analysis::spice
