// The formula evaluator on hostile parameter texts: numbers beyond any
// real, "nan" and "inf", results out of range, nesting deep enough to
// exhaust the stack, and very long texts.
#include <gtest/gtest.h>

#include <cmath>

#include "editor/formula/formula.h"

namespace editor {
namespace {

struct Session {
    ValueList values;
    std::vector<std::string> lines;
    FormulaErrorDialog dialog;
    FormulaState f{values, collect_into(lines), dialog};
    Session() { values.entry[++values.count] = ValueEntry{"BIG", 1e300}; }
};

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST(FormulaHardening, BadNumbersAndResultsFailWithTheirMessage) {
    const struct {
        std::string text;
        std::string reduced;
        std::string last_message;
    } rows[] = {
        {"(1E5000)", " (1E5000)?", "Unknown operand: [1E5000]"},
        {"(1E400)", " (1E400)?", "Unknown operand: [1E400]"},
        {"(NAN)", " (NAN)?", "Unknown operand: [NAN]"},
        {"(inf*2)", " (inf*2)?", "Unknown operand: [INF]"},
        {"(BIG*BIG)", " (BIG*BIG)?", "Number out of range."},
        {"(BIG^4)", " (BIG^4)?", "Number out of range."},
        {"(EXP(1E5))", " (EXP(1E5))?", "Number out of range."},
        {"(X=(BIG*BIG))", " (X=(BIG*BIG))?", "Error in attribution."},
        {"(" + repeat("(", 300) + "1" + repeat(")", 300) + ")", "", "Formula nested too deeply."},
        {"(" + repeat("SIN", 300) + "1)", "", "Error in function argument"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.substr(0, 40));
        Session s;
        const std::string reduced = reduce_text(row.text, s.f);
        if (!row.reduced.empty()) {
            EXPECT_EQ(reduced, row.reduced);
        }
        EXPECT_EQ(reduced.back(), '?');
        ASSERT_FALSE(s.lines.empty());
        EXPECT_EQ(s.lines.back(), row.last_message);
        EXPECT_EQ(s.f.depth, 0);
        EXPECT_EQ(s.values.count, 1);  // no entry left by a failed assignment
    }
}

TEST(FormulaHardening, NestingUpToTheLimitStillEvaluates) {
    Session s;
    // reduce_text strips the outer pair; evaluate then sees 199 levels.
    const std::string text = repeat("(", 200) + "2" + repeat(")", 200);
    EXPECT_EQ(reduce_text(text, s.f), " 2");
    EXPECT_TRUE(s.lines.empty());
    // Deep nesting that exhausted the stack before: refused, and the next
    // formula is evaluated normally.
    const std::string deep = repeat("(", 50000) + "1" + repeat(")", 50000);
    EXPECT_EQ(reduce_text(deep + " (1+1)", s.f), " " + deep + "? 2");
}

TEST(FormulaHardening, LongTextsKeepEveryToken) {
    Session s;
    const std::string word(1000, 'w');
    EXPECT_EQ(reduce_text(word + " (1+2) " + word, s.f), " " + word + " 3 " + word);
}

}  // namespace
}  // namespace editor
