#include "editor/formula/formula.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "editor/library/library.h"

namespace editor {
namespace {

using ::testing::ElementsAre;

// Reduces `text` against a fresh value list holding `preset`.
struct Session {
    ValueList values;
    std::vector<std::string> lines;
    FormulaErrorDialog dialog;
    std::vector<std::string> shown;
    FormulaState f{values, collect_into(lines), dialog};

    explicit Session(std::initializer_list<ValueEntry> preset = {}) {
        for (const ValueEntry& e : preset) values.entry[++values.count] = e;
        dialog.show = [this](const std::string& token, bool&) { shown.push_back(token); };
    }
    std::string reduce(const std::string& text) { return reduce_text(text, f); }
};

TEST(Formula, ValidAndInvalidFormulas) {
    using V = std::vector<std::string>;
    const struct {
        const char* text;
        const char* reduced;
        V messages;
    } rows[] = {
        {"(2*3^2)", " 1.8E+1", {}},  // 18 in the number text
        {"(1|1)", " 5E-1", {}},
        {"(-3^2)", " -9", {}},
        {"(2^-1)", " (2^-1)?", {"Unknown operand: []"}},
        {"(2^(0-1))", " 5E-1", {}},
        {"(2^3^2)", " 6.4E+1", {}},  // left to right
        {"(4|4|2)", " 1", {}},
        {"(10-2-3)", " 5", {}},
        {"(8/2/2)", " 2", {}},
        {"(2*(3+4))", " 1.4E+1", {}},
        {"(--3)", " 3", {}},
        {"(1E3)", " 1E+3", {}},
        {"(1e-3*2)", " 2E-3", {}},  // upper-cased before evaluation
        {"(.5+1.)", " 1.5", {}},
        {"(E)", " (E)?", {"Unknown operand: [E]"}},
        {"(E3)", " (E3)?", {"Unknown operand: [E3]"}},
        {"(R1*2)", " (R1*2)?", {"Unknown operand: [R1]"}},
        {"(1k)", " (1k)?", {"Unknown operand: [1K]"}},
        {"(1E400)", " (1E400)?", {"Unknown operand: [1E400]"}},
        {"()", " ()?", {"Unknown operand: []"}},
        {"(1+)", " (1+)?", {"Unknown operand: []"}},
        {"(0^2)", " 0", {}},
        {"(0^3)", " 0", {}},
        {"(0^4)", " 0", {}},
        {"((0-2)^2)", " 4", {}},
        {"(0^2.5)", " (0^2.5)?", {"Invalid exponentiation."}},
        {"((0-8)^(1/3))", " ((0-8)^(1/3))?", {"Invalid exponentiation."}},
        {"(4^0.5)", " 2", {}},
        {"(1|(0-1))", " (1|(0-1))?", {"Invalid // operation."}},
        {"(1/0)", " (1/0)?", {"Division by zero."}},
        {"(1/(1-1))", " (1/(1-1))?", {"Division by zero."}},
        {"(LOG(0))", " (LOG(0))?", {}},
        {"(LOG(LOG(0)))", " (LOG(LOG(0)))?", {"Error in function argument"}},
        {"(SIN(1/0))", " (SIN(1/0))?", {"Division by zero.", "Error in function argument"}},
        {"(SIN)", " (SIN)?", {"Unknown operand: []", "Error in function argument"}},
        {"(LOG(1))", " 0", {}},
        {"(EXP(1))", " 2.71828182845905", {}},
        {"(COS(0)+SIN(0)+TAN(0))", " 1", {}},
        {"(1E200*1E200)", " (1E200*1E200)?", {"Number out of range."}},
        {"(EXP(1000))", " (EXP(1000))?", {"Number out of range."}},
        {"(A=1+2)", " 3", {"A=1 created"}},
        {"(A=(1+2))", " 3", {"A=3 created"}},
        {"(x=-3)", " -3", {"X=-3 created"}},
        {"(ABCDE=1)", " 1", {"ABCDE=1 created"}},
        {"(ABCDEF=1)", " (ABCDEF=1)?", {"Unknown operand: [ABCDEF=1]"}},
        {"(=3)", " (=3)?", {"Unknown operand: [=3]"}},
        {"(1A=3)", " (1A=3)?", {"Unknown operand: [1A=3]"}},
        {"(Y=1/0)", " (Y=1/0)?", {"Y=1 created", "Division by zero."}},  // the product splits first
        {"(Y=(1/0))", " (Y=(1/0))?", {"Division by zero.", "Error in attribution."}},
        {"(1)2", " (1)2", {}},  // not a formula: copied
        {"Filter  (1+1)   Hz", " Filter 2 Hz", {}},
        {"", " ", {}},
        {"  x", " x", {}},
        {"(1+2", " (1+2", {}},
    };
    for (const auto& row : rows) {
        Session run;
        EXPECT_EQ(run.reduce(row.text), row.reduced) << row.text;
        EXPECT_EQ(run.lines, row.messages) << row.text;
        EXPECT_EQ(run.shown.size(), std::string(row.reduced).ends_with("?") ? 1u : 0u) << row.text;
    }
}

TEST(Formula, ValueListNamesAndAssignments) {
    Session run({{"R1", 5}, {"E", 2}});
    EXPECT_EQ(run.reduce("(R1*2) (E) (E*E3)"), " 1E+1 2 (E*E3)?");
    EXPECT_EQ(run.reduce("(A=1+2) (A)"), " 3 1");
    EXPECT_EQ(run.reduce("(A=(1+2)) (A*2)"), " 3 6");
    EXPECT_EQ(run.reduce("(Y=(1/0)) (Y)"), " (Y=(1/0))? (Y)?");  // a failed assignment creates nothing
    EXPECT_THAT(run.lines, ElementsAre("Unknown operand: [E3]", "A=1 created", "A=3", "Division by zero.",
                                       "Error in attribution.", "Unknown operand: [Y]"));
    EXPECT_EQ(run.values.count, 3);
}

TEST(Formula, FullValueListRefusesNewNamesButUpdatesExistingOnes) {
    Session run;
    for (int i = 1; i <= max_values; ++i) run.values.entry[i] = {"V" + std::to_string(i), 0};
    run.values.count = max_values;
    EXPECT_EQ(run.reduce("(NEW=1) (V7=2)"), " (NEW=1)? 2");
    EXPECT_THAT(run.lines, ElementsAre("Too many variables.", "V7=2"));
    EXPECT_EQ(run.values.entry[7].value, 2.0);
    EXPECT_EQ(run.values.count, max_values);
}

TEST(Formula, TestDialogInitialText) {
    Session run;
    EXPECT_EQ(test_formula(std::string(formula_test_initial_text), run.f), " 9 1 1 text");
    EXPECT_THAT(run.lines, ElementsAre("Original expression: (1+(1+1)*(2+2)) (x=1) (SIN(x)^2+COS(x)^2) text",
                                       "X=1 created", "Reduced expression:  9 1 1 text"));
    run.lines.clear();
    test_formula(std::string(formula_test_initial_text), run.f);
    EXPECT_EQ(run.lines[1], "X=1");
}

TEST(Formula, ErrorDialogShowsTheMarkedTokenUntilErrorsAreIgnored) {
    Session run;
    run.dialog.show = [&](const std::string& token, bool& ignore) {
        run.shown.push_back(token);
        ignore = true;  // the user ticks "Ignore other errors"
    };
    EXPECT_EQ(run.reduce("(1/0) (Q) (2)"), " (1/0)? (Q)? 2");
    EXPECT_THAT(run.shown, ElementsAre("(1/0)?"));
    EXPECT_THAT(run.lines, ElementsAre("Division by zero.", "Unknown operand: [Q]"));

    Session quiet;
    quiet.dialog.ignore_other_errors = true;
    quiet.reduce("(1/0)");
    EXPECT_TRUE(quiet.shown.empty());
}

TEST(Formula, TokenScanningKeepsSignsAfterEqualsAndExponentsAndParenthesisedGroups) {
    const struct {
        const char* text;
        const char* separators;
        std::vector<std::string> tokens;
    } rows[] = {
        {"X=-3+1", "+-", {"X=-3", "+1"}},
        {"1E-3-2e+1", "+-", {"1E-3", "-2e+1"}},
        {"AE-3", "+-", {"AE", "-3"}},
        {"(1+2)+3", "+-", {"(1+2)", "+3"}},
        {"--3", "+-", {"--3"}},
        {"SIN(X)^2|4", "^|", {"SIN(X)", "^2", "|4"}},
        {"(1 2) a  b", " ", {"(1 2)", "a", "b"}},
        {"a  ", " ", {"a", ""}},
        {"((1)+2", "+-", {"((1)+2"}},
    };
    for (const auto& row : rows) {
        std::vector<std::string> tokens;
        std::size_t p = 0;
        const std::string text = row.text;
        do {
            tokens.push_back(scan_token(text, p, row.separators));
            if (std::string_view(row.separators) == " ") ++p;
        } while (p < text.size());
        EXPECT_EQ(tokens, row.tokens) << row.text;
    }
}

// Where the analysis program reads numbers (R C L I V Z E F H G Y A M Q K
// lines) a word that is not one is found; model names, source texts for
// other programs and every other kind's text pass.
TEST(Formula, ParameterWordsThatAreNotNumbers) {
    const struct {
        char key;
        const char* text;
        std::optional<std::string> found;
    } rows[] = {
        {'R', "47K", "47K"},
        {'R', "4.7E3", std::nullopt},
        {'R', "1e-3", std::nullopt},
        {'R', "+.5", std::nullopt},
        {'R', "1.", std::nullopt},
        {'R', "1,5", "1,5"},
        {'R', "1E", "1E"},
        {'R', "1E3 47K", "47K"},  // left-over text after a number
        {'R', "47K 1E3", "47K"},  // the first such word
        {'R', "(R1*2)", std::nullopt},
        {'R', "(R1*2)K", "(R1*2)K"},
        {'R', "", ""},
        {'R', "   ", ""},
        {'R', "1 IC=0", "IC=0"},  // only L and C texts take an initial condition
        {'r', "0 5 0 -20 0 16", std::nullopt},
        {'r', "0 5K", "5K"},
        {'C', "1E-9 IC=0.5", std::nullopt},
        {'c', "1E-9 IC=-2", std::nullopt},
        {'L', "1E-3 IC=1E-3", std::nullopt},
        {'l', "1 ic=0", std::nullopt},
        {'c', "1E-9 IC=X", "IC=X"},
        {'L', "1E-3 IC=", "IC="},
        {'l', "1MH", "1MH"},
        {'K', "1E-3 2E-3 0.9", std::nullopt},
        {'K', "(M12 M21)", std::nullopt},
        {'#', "1 G", "G"},
        {'G', "1MS", "1MS"},
        {'g', "1E-3", std::nullopt},
        {'A', "1E6 GB", "GB"},
        {'a', "1E6 75", std::nullopt},
        {'M', "1E-3 0", std::nullopt},
        {'m', "GM", "GM"},
        {'E', "10X", "10X"},
        {'F', "2", std::nullopt},
        {'H', "1K", "1K"},
        {'Y', "1E3", std::nullopt},
        {'Z', "50 1V", "1V"},
        // Texts for other programs begin with a word.
        {'Q', "NPN", std::nullopt},
        {'q', "PNP", std::nullopt},
        {'Q', "100 2.5K", "2.5K"},
        {'Q', "(HFE) 2.5E3", std::nullopt},
        {'V', "DC 0 AC 1", std::nullopt},
        {'V', "10M", "10M"},
        {'V', "", ""},
        {'I', "1E-3 MA", "MA"},
        {'W', "NMOS L=1e-6 W=1e-6 1e-4 1 0.01 0.3 0.6 0.1e-6", std::nullopt},
        {'w', "1E-3 0", std::nullopt},
        {'W', "1E-3 X", "X"},
        // Kinds the analysis program does not read.
        {'X', "1K", std::nullopt},
        {'J', "1M 0", std::nullopt},
        {'D', "", std::nullopt},
        {'!', "V 10e-12", std::nullopt},
        {'*', "Filter 47k", std::nullopt},
        {'.', "AC DEC 10 1 1MEG", std::nullopt},
        {'1', "IN", std::nullopt},
    };
    for (const auto& r : rows) {
        const int kind = find_kind(r.key);
        ASSERT_NE(kind, 0) << r.key;
        EXPECT_EQ(value_not_a_number(kind, r.text), r.found) << r.key << " " << r.text;
    }
}

}  // namespace
}  // namespace editor
