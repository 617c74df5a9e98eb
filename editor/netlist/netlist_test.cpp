#include "editor/netlist/netlist.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "editor/files/testdir.h"
#include "editor/netlist/testcircuit.h"

namespace editor {
namespace {

using ::testing::ElementsAre;
using testing::place;

struct Generation {
    Circuit c;
    NetlistState state;
    ValueList values;
    std::vector<std::string> lines;
    FormulaErrorDialog dialog;
    std::vector<std::string> shown;
    FormulaState f{values, collect_into(lines), dialog};

    Generation() {
        dialog.show = [this](const std::string& token, bool&) { shown.push_back(token); };
    }
    void prepare() {
        ASSERT_TRUE(prepare_netlist(c, state, f.print));
        lines.clear();
    }
};

// V from node 1 to ground, R from 1 to 2, C from 2 to ground, a command.
void documented_example(Circuit& c) {
    place(c, '.', ".", {{20, 20}, {21, 20}}, "AC");
    place(c, 'V', "V", {{10, 10}, {10, 9}}, "1");
    place(c, 'C', "C", {{11, 10}, {11, 9}}, "1E-6");
    place(c, 'R', "R", {{10, 10}, {11, 10}}, "1E3");
    place(c, '=', "=", {{10, 8}, {10, 9}});
    place(c, '=', "=", {{11, 8}, {11, 9}});
}

TEST(Netlist, DocumentedExampleWrittenAndListed) {
    testing::TestDir dir;
    Generation g;
    documented_example(g.c);
    g.prepare();
    const std::string path = dir.path("rc.net");
    ASSERT_TRUE(write_netlist(path, g.c, g.state, g.f, false));
    EXPECT_EQ(dir.read("rc.net"), "2\r\nR0102 1 2 1E3\r\nC0200 2 0 1E-6\r\nV0100 1 0 1\r\n.AC\r\n");
    EXPECT_THAT(g.lines, ElementsAre("Saving netlist " + path));
    EXPECT_EQ(g.c.name, dir.path("rc"));

    g.lines.clear();
    list_netlist(g.c, g.state, g.f);
    EXPECT_THAT(g.lines, ElementsAre("Component list:", "R0102 1 2 1E3", "C0200 2 0 1E-6", "V0100 1 0 1",
                                     ".AC", "--//--", "Number of nodes: 2"));
}

TEST(Netlist, NamesAreReplacedAndUpperCasedOnlyInTheFile) {
    Generation g;
    place(g.c, '#', "#1", {{10, 10}, {10, 11}, {11, 10}, {11, 11}}, "1 0.1");
    place(g.c, 'W', "Wx", {{20, 10}, {20, 11}, {21, 10}, {21, 11}}, "NMOS L=1E-6");
    place(g.c, 'w', "w3", {{30, 10}, {30, 11}, {31, 10}, {31, 11}}, "pmos");
    place(g.c, 'r', "rload", {{40, 10}, {41, 10}}, "0 5");
    place(g.c, 'O', "O1", {{50, 10}, {50, 11}, {51, 10}}, "ignored");
    g.prepare();
    const auto file = netlist_lines(g.c, g.state, g.f, false);
    EXPECT_THAT(file, ElementsAre("17", "RLOAD 1 2 0 5", "G1 3 4 5 6 1 0.1", "MX 7 8 9 10 NMOS L=1E-6",
                                  "M3 11 12 13 14 pmos", "O1 15 16 17"));
    list_netlist(g.c, g.state, g.f);
    EXPECT_THAT(g.lines,
                ElementsAre("Component list:", "rload 1 2 0 5", "#1 3 4 5 6 1 0.1", "Wx 7 8 9 10 NMOS L=1E-6",
                            "w3 11 12 13 14 pmos", "O1 15 16 17", "--//--", "Number of nodes: 17"));
}

// A name the user gave keeps its place in the file, however close it comes
// to the automatic form (the key and four digits); only that form and the
// bare key are replaced.
TEST(Netlist, UserNamesReachTheFile) {
    testing::TestDir dir;
    Generation g;
    place(g.c, 'R', "Rx123", {{10, 10}, {11, 10}}, "1");
    place(g.c, 'R', "R1x23", {{10, 12}, {11, 12}}, "2");
    place(g.c, 'R', "R123x", {{10, 14}, {11, 14}}, "3");
    place(g.c, 'R', "R1234", {{10, 16}, {11, 16}}, "4");
    place(g.c, 'C', "Cab", {{10, 18}, {11, 18}}, "5");
    place(g.c, 'C', "C", {{10, 20}, {11, 20}}, "6");
    g.prepare();
    ASSERT_TRUE(write_netlist(dir.path("n.net"), g.c, g.state, g.f, false));
    EXPECT_EQ(dir.read("n.net"),
              "12\r\nRX123 1 2 1\r\nR1X23 3 4 2\r\nR123X 5 6 3\r\nR0708 7 8 4\r\nCAB 9 10 5\r\n"
              "C1112 11 12 6\r\n");
}

TEST(Netlist, CommentsTopToBottomWithTheOptionAndCommandsLast) {
    Generation g;
    place(g.c, '*', "*", {{5, 30}, {6, 30}}, "Top (A=1)");
    place(g.c, '*', "*", {{5, 10}, {6, 10}}, "bottom (A=2)");
    place(g.c, 'R', "R", {{10, 10}, {11, 10}}, "(A)");
    place(g.c, '.', ".", {{5, 40}, {6, 40}}, ".end");
    place(g.c, '.', ".", {{5, 5}, {6, 5}}, "tran (A=3)");
    g.prepare();
    EXPECT_THAT(netlist_lines(g.c, g.state, g.f, true),
                ElementsAre("2", "* Top 1", "* bottom 2", "R0102 1 2 2", "end", ".tran 3"));
    EXPECT_THAT(g.lines, ElementsAre("A=1 created", "A=2", "A=3"));
    g.lines.clear();
    EXPECT_THAT(netlist_lines(g.c, g.state, g.f, false), ElementsAre("2", "R0102 1 2 3", "end", ".tran 3"));

    list_netlist(g.c, g.state, g.f);  // comments always listed, messages before their line
    EXPECT_THAT(g.lines, ElementsAre("A=3", "Component list:", "A=1", "* Top 1", "A=2", "* bottom 2",
                                     "R0102 1 2 2", "end", "A=3", ".tran 3", "--//--", "Number of nodes: 2"));
}

TEST(Netlist, FormulaErrorsShowTheDialogWhenListingButNotWhenWriting) {
    testing::TestDir dir;
    Generation g;
    place(g.c, 'R', "R", {{10, 10}, {11, 10}}, "(1/0)");
    place(g.c, 'C', "C", {{10, 12}, {11, 12}}, "(X)");
    g.prepare();
    g.dialog.ignore_other_errors = true;  // left ticked from an earlier run
    list_netlist(g.c, g.state, g.f);
    EXPECT_THAT(g.shown, ElementsAre("(1/0)?", "(X)?"));
    EXPECT_THAT(g.lines,
                ElementsAre("Component list:", "Division by zero.", "R0102 1 2 (1/0)?",
                            "Unknown operand: [X]", "C0304 3 4 (X)?", "--//--", "Number of nodes: 4"));
    g.shown.clear();
    ASSERT_TRUE(write_netlist(dir.path("e.net"), g.c, g.state, g.f, false));
    EXPECT_TRUE(g.shown.empty());
    EXPECT_EQ(dir.read("e.net"), "4\r\nR0102 1 2 (1/0)?\r\nC0304 3 4 (X)?\r\n");
    EXPECT_EQ(g.f.unevaluated, 2);  // those of the file only, not of the listing too
}

// The count of formulas a netlist holds unevaluated, for the closing line
// of a generation: comments count only when they are written.
TEST(Netlist, UnevaluatedFormulasAreCountedPerFile) {
    testing::TestDir dir;
    Generation g;
    place(g.c, 'R', "R", {{10, 10}, {11, 10}}, "(R) (2*3) (Q)");
    place(g.c, '*', "*", {{5, 30}, {6, 30}}, "fc (FC) Hz");
    place(g.c, '.', ".", {{5, 40}, {6, 40}}, "ac (1/0)");
    g.prepare();
    for (const bool comments : {false, true}) {
        ASSERT_TRUE(write_netlist(dir.path("u.net"), g.c, g.state, g.f, comments));
        EXPECT_EQ(g.f.unevaluated, comments ? 4 : 3);
    }
    EXPECT_EQ(unevaluated_message(4),
              "* 4 formulas could not be evaluated: the netlist holds unevaluated text.");
    EXPECT_EQ(unevaluated_message(1),
              "* 1 formula could not be evaluated: the netlist holds unevaluated text.");

    Generation clean;
    documented_example(clean.c);
    clean.prepare();
    clean.f.unevaluated = 5;  // from an earlier run
    ASSERT_TRUE(write_netlist(dir.path("rc.net"), clean.c, clean.state, clean.f, true));
    EXPECT_EQ(clean.f.unevaluated, 0);
}

// The circuit elements whose texts hold words that are not numbers where
// the analysis program reads them, each by its name in the netlist; the
// closing line counts them. Comments, commands and kinds the analysis
// program does not read are not looked at.
TEST(Netlist, ValuesThatAreNotNumbersAreNamedByTheirNetlistNames) {
    Generation g;
    documented_example(g.c);
    g.c.element[4].parameters = "10k";                                         // R
    place(g.c, '#', "#1", {{12, 10}, {13, 10}, {12, 9}, {13, 9}}, "1 X");      // G line
    place(g.c, 'w', "w", {{14, 10}, {14, 9}, {15, 10}, {15, 9}}, "1E-3 GDS");  // M line
    place(g.c, 'X', "X", {{16, 10}, {16, 9}}, "1k");
    place(g.c, '*', "*", {{20, 22}, {21, 22}}, "R=10k");
    g.c.element[1].parameters = "AC 10k";  // the command
    g.prepare();
    EXPECT_THAT(values_not_numbers(g.c, g.state), ElementsAre("R0102 \"10k\"", "G1 \"X\"", "M0910 \"GDS\""));
    EXPECT_EQ(not_numbers_message(values_not_numbers(g.c, g.state)),
              "* 3 values are not numbers: R0102 \"10k\", G1 \"X\", M0910 \"GDS\".");
    EXPECT_EQ(not_numbers_message({"V0100 \"\""}), "* 1 value is not a number: V0100 \"\".");
    g.c.element[1].parameters = "";
    for (int i = 1; i <= g.c.count; ++i)
        if (g.c.element[i].name == "R0102" || g.c.element[i].name == "#1" || g.c.element[i].name[0] == 'w')
            g.c.element[i].parameters = "(R)";
    EXPECT_TRUE(values_not_numbers(g.c, g.state).empty());
}

TEST(Netlist, FailedWriteIsReported) {
    testing::TestDir dir;
    Generation g;
    documented_example(g.c);
    g.prepare();
    const std::string path = dir.path("missing/rc.net");
    EXPECT_FALSE(write_netlist(path, g.c, g.state, g.f, false));
    EXPECT_THAT(g.lines, ElementsAre("Saving netlist " + path, "Impossible to write file."));
}

TEST(Netlist, CircuitListShowsPointsAndRawText) {
    Generation g;
    place(g.c, 'R', "R1", {{65, 65}, {65, 64}}, "(R)");
    place(g.c, '-', "-", {{1, 1}, {2, 1}});
    place(g.c, 'A', "A1", {{3, 3}, {3, 4}, {4, 3}}, "1E6 75");
    list_circuit_list(g.c, g.f.print);
    EXPECT_THAT(g.lines, ElementsAre("Component list:", "R1 16705 16449 (R)", "- 257 258",
                                     "A1 771 1027 772 1E6 75", "--//--"));
}

}  // namespace
}  // namespace editor
