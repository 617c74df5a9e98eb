// morat's option parsing: accepted forms, defaults, and every usage error.
#include <gtest/gtest.h>

#include "analysis/cli/morat_cli.h"

namespace analysis {
namespace {

using Args = std::vector<std::string>;

TEST(MoratOptions, DefaultsAreTheProgramsStartValues) {
    MoratOptions o;
    ASSERT_EQ(parse_morat_options({"filter"}, o), "");
    EXPECT_EQ(o.netlist, "filter");
    EXPECT_EQ(o.fmin, 0.2L);
    EXPECT_EQ(o.fmax, 5);
    EXPECT_EQ(o.segments, 400);
    EXPECT_FALSE(o.linear);
    EXPECT_FALSE(o.hz);
    EXPECT_EQ(o.output, 1);
    EXPECT_EQ(o.listed, 1);
    EXPECT_FALSE(o.width || o.decimals || o.tol_admittance || o.tol_pivot || o.variability || o.tab);
    EXPECT_FALSE(o.range || o.normalise || o.help);
}

TEST(MoratOptions, EveryOptionInBothForms) {
    MoratOptions o;
    ASSERT_EQ(parse_morat_options({"--width",
                                   "16",
                                   "--decimals=4",
                                   "--tol-admittance",
                                   "1e-6",
                                   "--tol-pivot=1e-9",
                                   "--variability",
                                   "0.01",
                                   "--element-variability",
                                   "R1=0.1",
                                   "--element-variability=a1=0",
                                   "--normalise",
                                   "--fmin",
                                   "10",
                                   "--fmax=1e5",
                                   "--segments",
                                   "50",
                                   "--linear",
                                   "--hz",
                                   "--output",
                                   "4",
                                   "--listed=3",
                                   "--range",
                                   "--sensitivities",
                                   "0",
                                   "--sensitivities=50",
                                   "--tab",
                                   "out.tab",
                                   "circuits/sk"},
                                  o),
              "");
    EXPECT_EQ(o.netlist, "circuits/sk");
    EXPECT_EQ(*o.width, 16);
    EXPECT_EQ(*o.decimals, 4);
    EXPECT_EQ(*o.tol_admittance, 1e-6L);
    EXPECT_EQ(*o.tol_pivot, 1e-9L);
    EXPECT_EQ(*o.variability, 0.01L);
    ASSERT_EQ(o.element_variabilities.size(), 2u);
    EXPECT_EQ(o.element_variabilities[0].first, "R1");
    EXPECT_EQ(o.element_variabilities[0].second, 0.1L);
    EXPECT_EQ(o.element_variabilities[1].first, "a1");
    EXPECT_EQ(o.element_variabilities[1].second, 0);
    EXPECT_TRUE(o.normalise && o.linear && o.hz && o.range);
    EXPECT_EQ(o.fmin, 10);
    EXPECT_EQ(o.fmax, 1e5L);
    EXPECT_EQ(o.segments, 50);
    EXPECT_EQ(o.output, 4);
    EXPECT_EQ(o.listed, 3);
    EXPECT_EQ(o.sensitivities, (std::vector<int>{0, 50}));
    EXPECT_EQ(*o.tab, "out.tab");
}

TEST(MoratOptions, NegativeValuesAndDashedNetlistNames) {
    MoratOptions o;
    ASSERT_EQ(parse_morat_options({"x", "--fmin", "-3", "--output", "-1"}, o), "");
    EXPECT_EQ(o.fmin, -3);
    EXPECT_EQ(o.output, -1);
    MoratOptions p;
    ASSERT_EQ(parse_morat_options({"--hz", "--", "--odd-name"}, p), "");
    EXPECT_EQ(p.netlist, "--odd-name");
    EXPECT_TRUE(p.hz);
}

TEST(MoratOptions, UsageErrors) {
    struct Case {
        Args args;
        std::string reason;
    };
    const Case cases[] = {
        {{}, "no netlist given"},
        {{"--hz"}, "no netlist given"},
        {{"a", "b"}, "more than one netlist: a, b"},
        {{"a", "--frobnicate"}, "unknown option --frobnicate"},
        {{"a", "-h"}, "unknown option -h"},
        {{"a", "-"}, "more than one netlist: a, -"},
        {{"a", "--fmin"}, "option --fmin needs a value"},
        {{"a", "--fmin", "1k"}, "invalid value for --fmin: 1k"},
        {{"a", "--fmax=1,5"}, "invalid value for --fmax: 1,5"},
        {{"a", "--segments", "2.5"}, "invalid value for --segments: 2.5"},
        {{"a", "--width", "99999999999"}, "invalid value for --width: 99999999999"},
        {{"a", "--output", "two"}, "invalid value for --output: two"},
        {{"a", "--sensitivities", "-1"}, "invalid value for --sensitivities: -1"},
        {{"a", "--element-variability", "R1"}, "invalid value for --element-variability: R1"},
        {{"a", "--element-variability", "=0.1"}, "invalid value for --element-variability: =0.1"},
        {{"a", "--element-variability", "R1=x"}, "invalid value for --element-variability: R1=x"},
        {{"a", "--tab", ""}, "invalid value for --tab: "},
        {{"a", "--range=yes"}, "option --range takes no value"},
        {{"a", "--kind-variability", "C"}, "invalid value for --kind-variability: C"},
        {{"a", "--kind-variability", "1=0.1"}, "invalid value for --kind-variability: 1=0.1"},
        {{"a", "--opamp-noise", "1e-9"}, "invalid value for --opamp-noise: 1e-9"},
        {{"a", "--opamp-noise", "=1e-9,0"}, "invalid value for --opamp-noise: =1e-9,0"},
        {{"a", "--opamp-noise", "O1=1e-9,-1"}, "invalid value for --opamp-noise: O1=1e-9,-1"},
        {{"a", "--noise-band", "100", "10"}, "invalid value for --noise-band: 100 10 (0 < F1 < F2)"},
        {{"a", "--noise-band", "100"}, "option --noise-band needs 2 values"},
        {{"a", "--temperature", "-300"}, "invalid value for --temperature: -300"},
        {{"a", "--swing", "0"}, "invalid value for --swing: 0"},
    };
    for (const Case& k : cases) {
        MoratOptions o;
        EXPECT_EQ(parse_morat_options(k.args, o), k.reason);
    }
}

TEST(MoratOptions, HelpNeedsNoNetlist) {
    MoratOptions o;
    EXPECT_EQ(parse_morat_options({"--help"}, o), "");
    EXPECT_TRUE(o.help);
}

}  // namespace
}  // namespace analysis
