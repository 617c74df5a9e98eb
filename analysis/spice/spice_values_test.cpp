// Numbers with SPICE suffixes and unit letters, and expressions.
#include "analysis/spice/spice_values.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/numtext.h"

namespace analysis::spice {
namespace {

const ParameterLookup no_parameters = [](const std::string&) { return std::optional<Real>(); };

TEST(SpiceNumbers, SuffixesAndUnitsAsSpiceReadsThem) {
    struct Case {
        const char* text;
        const char* decimal;  // the same value written as the suite writes reals
    };
    const Case cases[] = {
        {"10k", "1E4"},
        {"10K", "1E4"},
        {"0.5MEG", "5E5"},
        {".5meg", "5E5"},
        {"1Meg", "1E6"},
        {"2.2T", "2.2E12"},
        {"3g", "3E9"},
        {"1m", "1E-3"},
        {"1M", "1E-3"},
        {"4.7u", "4.7E-6"},
        {"10n", "10E-9"},
        {"207P", "207E-12"},
        {"1f", "1E-15"},
        {"1F", "1E-15"},  // a farad written "F" is a femto, as in SPICE
        {"10kOhm", "1E4"},
        {"100nF", "1E-7"},
        {"4.7uH", "4.7E-6"},
        {"5V", "5"},
        {"1e3", "1000"},
        {"1.5e-3k", "1.5"},
        {"-2.2k", "-2200"},
        {"+3", "3"},
        {"1a", "1"},
        {"1e", "1"},  // letters that are no suffix are units
        {"2.", "2"},
        {"0.1", "0.1"},
        {"1E+2MEG", "1E8"},
        {"79577.5", "79577.5"},
        {"15.91549430918953357688837633725143620345e-9", "15.91549430918953357688837633725143620345e-9"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        Real x = 0, expected = 0;
        ASSERT_TRUE(parse_spice_number(k.text, x));
        ASSERT_TRUE(suite::parse_real(k.decimal, expected));
        EXPECT_EQ(x, expected);  // the same Real, bit for bit
    }
    Real x = 0;
    ASSERT_TRUE(parse_spice_number("1mil", x));
    EXPECT_EQ(x, 25.4e-6L);
    for (const char* bad : {"", "k", "abc", ".", "-", "e3", "1k2", "1.2.3", "1 k", "--1"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(parse_spice_number(bad, x));
    }
}

TEST(SpiceExpressions, ArithmeticFunctionsAndParameters) {
    const ParameterLookup params = [](const std::string& n) -> std::optional<Real> {
        if (n == "a") return 3;
        if (n == "r_0") return 1000;
        return std::nullopt;
    };
    struct Case {
        const char* text;
        Real value;
    };
    const Case cases[] = {
        {"1+2*3", 7},
        {"(1+2)*3", 9},
        {"2^3^2", 512},  // right-associative
        {"-2^2", -4},    // power before the unary minus
        {"2**3", 8},
        {"2^-1", 0.5},
        {"- (3)", -3},
        {"10k*2", 20000},
        {"1/4/2", 0.125},
        {"sqrt(16)", 4},
        {"exp(0)", 1},
        {"log(exp(2))", 2},  // natural logarithm
        {"ln(1)", 0},
        {"log10(1000)", 3},
        {"max(1, 2) + min(1,2)", 3},
        {"abs(-3) + sgn(-2)", 2},
        {"pow(2, 10)", 1024},
        {"pwr(-2, 2)", -4},
        {"floor(2.7) + ceil(2.2) + int(-2.7)", 3},
        {"A*2", 6},  // names in any case
        {"r_0/a", 1000.0L / 3},
        {"2 > 1 ? 5 : 6", 5},
        {"a == 3 && !(a < 1)", 1},
        {"1 <= 0 || 0", 0},
        {"PI", 3.14159265358979323846264338327950288L},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        EXPECT_NEAR(static_cast<double>(evaluate_expression(k.text, params)), static_cast<double>(k.value),
                    1e-15 * std::fabs(static_cast<double>(k.value)));
    }
    // A parameter named like a constant is the parameter.
    const ParameterLookup pi_param = [](const std::string& n) -> std::optional<Real> {
        if (n == "pi") return 3;
        return std::nullopt;
    };
    EXPECT_EQ(evaluate_expression("pi", pi_param), 3);
}

// Every function and operator of the expression language, each at a
// point where its meaning shows: atan2 in the four quadrants (and with its
// arguments in order), floor, ceil, int and nint of negatives, pow against
// pwr, comparisons at equality, short sums against their closed forms.
TEST(SpiceExpressions, EveryFunctionAndOperatorAgainstItsClosedForm) {
    constexpr Real pi = 3.14159265358979323846264338327950288L;
    constexpr Real e = 2.71828182845904523536028747135266250L;
    constexpr Real sqrt2 = 1.41421356237309504880168872420969808L;
    constexpr Real sqrt3 = 1.73205080756887729352744634150587237L;
    struct Case {
        const char* text;
        Real value;
    };
    const Case cases[] = {
        {"sqrt(2)", sqrt2},
        {"exp(1)", e},
        {"exp(-2)", 1 / (e * e)},
        {"log(1/e^3)", -3},  // natural
        {"ln(e^0.5)", 0.5L},
        {"log10(0.001)", -3},
        {"sin(pi/6)", 0.5L},
        {"cos(pi/6)", sqrt3 / 2},
        {"tan(pi/3)", sqrt3},
        {"asin(0.5)", pi / 6},
        {"acos(0.5)", pi / 3},
        {"atan(-1)", -pi / 4},
        {"atan2(1, sqrt(3))", pi / 6},  // y first: atan2(y, x)
        {"atan2(1, 1)", pi / 4},
        {"atan2(1, -1)", 3 * pi / 4},
        {"atan2(-1, -1)", -3 * pi / 4},
        {"atan2(-1, 1)", -pi / 4},
        {"atan2(0, -1)", pi},
        {"sinh(ln(2))", 0.75L},  // (2 - 1/2)/2
        {"cosh(ln(2))", 1.25L},  // (2 + 1/2)/2
        {"tanh(ln(2))", 0.6L},   // 3/5
        {"abs(-3.5)", 3.5L},
        {"abs(2)", 2},
        {"sgn(-0.1)", -1},
        {"sgn(0)", 0},
        {"sgn(7)", 1},
        {"sign(-3)", -1},
        {"sign(0)", 0},
        {"sign(2)", 1},
        {"floor(-2.5)", -3},
        {"floor(2.5)", 2},
        {"ceil(-2.5)", -2},
        {"ceil(2.1)", 3},
        {"int(-2.7)", -2},  // toward zero
        {"int(2.7)", 2},
        {"nint(-2.7)", -3},  // nearest
        {"nint(-2.4)", -2},
        {"nint(2.4)", 2},
        {"nint(2.7)", 3},
        {"round(-2.6)", -3},
        {"round(-1.2)", -1},
        {"round(1.2)", 1},
        {"round(2.6)", 3},
        {"min(3, -1)", -1},
        {"min(-1, 3)", -1},
        {"max(3, -1)", 3},
        {"max(-1, 3)", 3},
        {"pow(-2, 3)", -8},
        {"pow(-2, 2)", 4},
        {"pow(2, -2)", 0.25L},
        {"pwr(-2, 3)", -8},
        {"pwr(-2, 2)", -4},  // the sign of x, the power of |x|
        {"pwr(-4, 0.5)", -2},
        {"pwr(2, 0.5)", sqrt2},
        {"hypot(3, -4)", 5},
        {"ATAN2(1, -1) + Sqrt(4)", 3 * pi / 4 + 2},  // names in any case
        // Arithmetic: left-associative, unary minus after a binary operator.
        {"1-2-3", -4},
        {"8/4/2", 1},
        {"2*-3", -6},
        {"+2-+3", -1},
        {"-3^2", -9},
        {"(-3)^2", 9},
        // Comparisons, each at equality and off it.
        {"2 >= 2", 1},
        {"1 >= 2", 0},
        {"3 >= 2", 1},
        {"2 <= 2", 1},
        {"3 <= 2", 0},
        {"1 <= 2", 1},
        {"2 > 2", 0},
        {"3 > 2", 1},
        {"1 > 2", 0},
        {"2 < 2", 0},
        {"1 < 2", 1},
        {"3 < 2", 0},
        {"2 == 2", 1},
        {"2 == 3", 0},
        {"2 != 2", 0},
        {"2 != 3", 1},
        {"-3 < -2", 1},
        {"1+1 == 2", 1},  // sums bind tighter than comparisons
        // Logic: any nonzero is true, the result is 1 or 0.
        {"2 && -1", 1},
        {"1 && 0", 0},
        {"0 && 1", 0},
        {"0 || 0", 0},
        {"0 || 3", 1},
        {"3 || 0", 1},
        {"0 || -2", 1},
        {"1 || 0 && 0", 1},  // && binds tighter than ||
        {"(1 || 0) && 0", 0},
        {"!0", 1},
        {"!2", 0},
        {"!-1", 0},
        {"!0 + 1", 2},
        {"1 > 2 || 2 >= 2", 1},
        // The conditional: the false branch too, nesting to the right.
        {"0 ? 5 : 6", 6},
        {"1 ? 5 : 6", 5},
        {"-1 ? 5 : 6", 5},
        {"0 ? 1 : 0 ? 2 : 3", 3},
        {"0 ? 1 : 1 ? 2 : 3", 2},
        {"1 ? 0 ? 7 : 8 : 9", 8},
        {"2 >= 2 ? 10 : 20", 10},
        {"2 > 2 ? 10 : 20", 20},
    };
    const ParameterLookup known = [e](const std::string& n) -> std::optional<Real> {
        if (n == "e") return e;
        return std::nullopt;
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        const Real v = evaluate_expression(k.text, known);
        EXPECT_LE(std::fabs(v - k.value), 1e-17L * std::fmax(1.0L, std::fabs(k.value)))
            << static_cast<double>(v) << " against " << static_cast<double>(k.value);
    }
    // Each function takes its own number of arguments.
    for (const char* text : {"sqrt()", "abs(1, 2)", "nint(1, 2)", "sgn()"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(evaluate_expression(text, known), ValueError);
    }
    for (const char* text : {"atan2(1)", "min(1, 2, 3)", "max(1)", "pow(2)", "pwr(1,2,3)", "hypot(3)"}) {
        SCOPED_TRACE(text);
        try {
            evaluate_expression(text, known);
            ADD_FAILURE() << "no error";
        } catch (const ValueError& error) {
            EXPECT_NE(std::string(error.what()).find("pede dois argumentos"), std::string::npos)
                << error.what();
        }
    }
}

TEST(SpiceExpressions, FaultsAreNamed) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"1/0", "expressão sem valor finito (divisão por zero ou fora do domínio): 1/0"},
        {"sqrt(-1)", "expressão sem valor finito (divisão por zero ou fora do domínio): sqrt(-1)"},
        {"foo+1", "parâmetro desconhecido: foo"},
        {"v(out)*2",
         "expressão comportamental (v(...)) não pode ser representada na análise linear: v(out)*2"},
        {"i(v1)", "expressão comportamental (i(...)) não pode ser representada na análise linear: i(v1)"},
        {"time*2", "expressão comportamental (time) não pode ser representada na análise linear: time*2"},
        {"1+", "expressão inválida (falta um valor): 1+"},
        {"(1", "expressão inválida (falta \")\"): (1"},
        {"1 2", "expressão inválida (texto a mais): 1 2"},
        {"nofunc(1)", "função desconhecida: nofunc"},
        {"sqrt(1, 2)", "expressão inválida (sqrt pede um argumento): sqrt(1, 2)"},
        {"1 ? 2", "expressão inválida (falta \":\" da expressão condicional): 1 ? 2"},
        {"#", "expressão inválida (\"#\" inesperado): #"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        try {
            evaluate_expression(k.text, no_parameters);
            ADD_FAILURE() << "no error";
        } catch (const ValueError& e) {
            EXPECT_EQ(std::string(e.what()), k.message);
        }
    }
}

TEST(SpiceExpressions, AnExpressionEndsWhereTheNextParameterBegins) {
    const std::string text = "r=1k c = {2} d=2*a e=-(1+1)";
    const ParameterLookup params = [](const std::string& n) -> std::optional<Real> {
        return n == "a" ? std::optional<Real>(4) : std::nullopt;
    };
    std::size_t pos = 2;
    EXPECT_EQ(evaluate_expression_at(text, pos, params), 1000);
    EXPECT_EQ(text.substr(pos), " c = {2} d=2*a e=-(1+1)");
    pos = text.find("d=") + 2;
    EXPECT_EQ(evaluate_expression_at(text, pos, params), 8);
    EXPECT_EQ(text.substr(pos), " e=-(1+1)");
    EXPECT_EQ(scan_expression(text, text.find("e=") + 2), text.size());
    EXPECT_TRUE(is_parameter_name("r_0"));
    EXPECT_TRUE(is_parameter_name("_x"));
    EXPECT_FALSE(is_parameter_name("0r"));
    EXPECT_FALSE(is_parameter_name("a-b"));
}

}  // namespace
}  // namespace analysis::spice
