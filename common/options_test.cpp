// The shared option reader: the forms of options and operands, and the
// reasons it gives, the same for every program.
#include "common/options.h"

#include <gtest/gtest.h>

#include <sstream>

namespace suite {
namespace {

struct Parsed {
    bool hz = false;
    std::string out;
    int size = 0;
    std::vector<std::string> window, operands;
};

OptionReader reader_for(Parsed& p) {
    OptionReader r;
    r.flag("--hz", p.hz);
    r.value("--out", [&](const std::string& v) { return !v.empty() && (p.out = v, true); });
    r.checked_value("--size", [&](const std::string& v) -> std::string {
        if (!option_int(v, p.size) || p.size < 1)
            return "--size: \"" + v + "\" is not a positive whole number";
        return {};
    });
    r.values("--window", 3, [&](const std::vector<std::string>& v) {
        p.window = v;
        return std::string();
    });
    r.operand([&](const std::string& a) {
        p.operands.push_back(a);
        return std::string();
    });
    return r;
}

std::string read(const std::vector<std::string>& args, Parsed& p) { return reader_for(p).read(args); }

TEST(OptionReader, EveryFormOfOptionAndOperand) {
    Parsed p;
    ASSERT_EQ(
        read({"a.net", "--hz", "--out", "x.tab", "--size=12", "--window", "-1", "-2", "4", "-", "--", "--hz"},
             p),
        "");
    EXPECT_TRUE(p.hz);
    EXPECT_EQ(p.out, "x.tab");
    EXPECT_EQ(p.size, 12);
    EXPECT_EQ(p.window, (std::vector<std::string>{"-1", "-2", "4"}));         // values may look like options
    EXPECT_EQ(p.operands, (std::vector<std::string>{"a.net", "-", "--hz"}));  // after "--" all are operands
    Parsed q;
    ASSERT_EQ(read({"--out=a=b"}, q), "");
    EXPECT_EQ(q.out, "a=b");  // the first "=" ends the name
}

TEST(OptionReader, TheReasonsOfUsageErrors) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
        {{"--bogus"}, "unknown option --bogus"},
        {{"-x"}, "unknown option -x"},
        {{"--hz=1"}, "option --hz takes no value"},
        {{"--out"}, "option --out needs a value"},
        {{"--out="}, "invalid value for --out: "},
        {{"--size", "0"}, "--size: \"0\" is not a positive whole number"},
        {{"--window", "1", "2"}, "option --window needs 3 values"},
        {{"--window=1"}, "option --window takes 3 values, not one"},
    };
    for (const auto& [args, reason] : rows) {
        Parsed p;
        EXPECT_EQ(read(args, p), reason) << args[0];
    }
    OptionReader no_operands;
    EXPECT_EQ(no_operands.read({"file"}), "unexpected argument file");
}

TEST(OptionReader, AnOperandHandlerMayRefuse) {
    OptionReader r;
    int count = 0;
    r.operand([&](const std::string& a) { return ++count > 1 ? "only one file: " + a : std::string(); });
    EXPECT_EQ(r.read({"a", "b"}), "only one file: b");
}

TEST(OptionReader, AUsageErrorIsTheProgramTheReasonAndTheUsage) {
    std::ostringstream err;
    EXPECT_EQ(usage_error(err, "kelma", "no table file", "Usage: kelma TABLE...\n"), 2);
    EXPECT_EQ(err.str(), "kelma: no table file\nUsage: kelma TABLE...\n");
}

}  // namespace
}  // namespace suite
