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
