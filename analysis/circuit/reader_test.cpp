// The netlist reader on valid netlists: description lines, stored
// elements, expansions and their order, maps and counters.
#include <gtest/gtest.h>

#include "analysis/circuit/reader_testing.h"

namespace analysis {
namespace {

using testing::read_text_netlist;
using Lines = std::vector<std::string>;

struct Stored {
    std::string name;
    Real value;
    int n1, n2, n3, n4;
};

void expect_elements(const testing::ReadResult& r, const std::vector<Stored>& want) {
    ASSERT_EQ(r.c().element_count, static_cast<int>(want.size()));
    for (std::size_t i = 0; i < want.size(); ++i) {
        const Element& e = r.element(static_cast<int>(i) + 1);
        SCOPED_TRACE("element " + std::to_string(i + 1));
        EXPECT_EQ(e.name, want[i].name);
        if (want[i].value == 0)
            EXPECT_EQ(e.value, 0);
        else
            EXPECT_NEAR(static_cast<double>(e.value / want[i].value), 1.0, 1e-15);
        EXPECT_EQ(e.node1, want[i].n1);
        EXPECT_EQ(e.node2, want[i].n2);
        EXPECT_EQ(e.node3, want[i].n3);
        EXPECT_EQ(e.node4, want[i].n4);
    }
}

TEST(NetlistReader, WorkedExampleLineForLine) {
    const auto r = read_text_netlist(
        "3\r\n* buffer test\r\nV1 1 0 1\r\nR1 1 2 1E3\r\nC1 2 0 1E-6\r\nA1 3 2 3 6.28E6 75\r\n");
    ASSERT_EQ(r.fatal, "");
    EXPECT_EQ(r.log, (Lines{"Número de nós: 3", "Descrição do circuito:", "*buffer test",
                            "V1:  1.00E+0000 de 1 para 0", "R1:  1.00E+0003 de 1 para 2",
                            "C1:  1.00E-0006 de 2 para 0",
                            "A1: GB: 6.28E+0006, Ro: 7.50E+0001 Saída entre 3(+) e 0(-), entradas entre "
                            "2(+) e 3(-)",
                            "Número de elementos efetivos: 5", "Número de variáveis: 4",
                            "Ordem do sistema: 3 equações", "Circuito lido."}));
    expect_elements(r, {{"V1", 1, 1, 0, 0, 0},
                        {"R1", 1e3L, 1, 2, 0, 0},
                        {"C1", 1e-6L, 2, 0, 0, 0},
                        {"A1", 6.28e6L / 75, 3, 0, 3, 2},
                        {"a1", 75, 3, 0, 0, 0}});
    const Circuit& c = r.c();
    EXPECT_EQ(c.elements[1].extra_var, 4);
    EXPECT_EQ(c.row_map[1], 0);
    EXPECT_EQ(c.row_map[4], 1);
    EXPECT_EQ(c.column_map[4], 0);
    EXPECT_EQ(c.saved_row_map, c.row_map);
    EXPECT_EQ(c.variable_count, 4);
    EXPECT_EQ(c.equation_count, 3);
    EXPECT_EQ(c.last_equation, 2);
    EXPECT_EQ(c.output_node, 1);
    EXPECT_EQ(c.output_column, 1);
    EXPECT_EQ(c.segments, 400);
    EXPECT_EQ(c.current_curve, 1);
    EXPECT_TRUE(c.present);
    // Sources get no variability, everything else the default.
    EXPECT_EQ(c.variability[1], 0);
    for (int i = 2; i <= 5; ++i) EXPECT_EQ(c.variability[i], 0.05L);
}

TEST(NetlistReader, ExpansionsAndTheirOrder) {
    const auto r = read_text_netlist(
        "5\n"
        "A2 1 2 3 4 1e6 50\n"  // four-node form
        "M1 1 2 0 2e-3 1e-5 1e-12 2e-13\n"
        "M2 1 2 0 2e-3 0\n"        // Gds 0, no capacitances: only M2
        "MOSX 1 2 0 1e-3 0 0 0\n"  // capacitances of value 0 still created
        "Q1 3 2 1 100 2500 1e-11 2e-12\n"
        "Q2 3 2 1 50 1000\n"
        "G1 2 0 1 0 1e-3 1e-4\n"
        "G2 2 0 1 0 1e-3\n"
        "Z1234\t5 0 1E3 2\n"  // five characters, then a tab before the fields
        "K17 1 0 2 0 1e-3 4e-3 0.5\n");
    ASSERT_EQ(r.fatal, "");
    expect_elements(r, {{"A2", 1e6L / 50, 1, 2, 3, 4},
                        {"a2", 50, 1, 2, 0, 0},
                        {"M1", 2e-3L, 1, 0, 2, 0},
                        {"m1", 1e5L, 1, 0, 0, 0},
                        {"Cgs", 1e-12L, 2, 0, 0, 0},
                        {"Cgd", 2e-13L, 2, 1, 0, 0},
                        {"M2", 2e-3L, 1, 0, 2, 0},
                        {"MOSX", 1e-3L, 1, 0, 2, 0},
                        {"Cgs", 0, 2, 0, 0, 0},
                        {"Cgd", 0, 2, 1, 0, 0},
                        {"Q1", 100.0L / 2500, 3, 1, 2, 1},
                        {"q1", 2500, 2, 1, 0, 0},
                        {"Cbe", 1e-11L, 2, 1, 0, 0},
                        {"Cbc", 2e-12L, 2, 3, 0, 0},
                        {"Q2", 0.05L, 3, 1, 2, 1},
                        {"q2", 1000, 2, 1, 0, 0},
                        {"G1", 1e-3L, 2, 0, 1, 0},
                        {"g1", 1e-4L, 2, 0, 1, 0},
                        {"G2", 1e-3L, 2, 0, 1, 0},
                        {"Z1234", 1e3L, 5, 0, 0, 0},
                        {"v1234", 2e-3L, 5, 0, 0, 0},
                        {"K17", -1e3L / 3, 1, 0, 2, 0},
                        {"La7", 7.5e-4L, 1, 0, 0, 0},
                        {"Lb7", 3e-3L, 2, 0, 0, 0}});
    EXPECT_EQ(r.log,
              (Lines{"Número de nós: 5",
                     "Descrição do circuito:",
                     "A2: GB: 1.00E+0006, Ro: 5.00E+0001 Saída entre 1(+) e 2(-), entradas entre 4(+) e 3(-)",
                     "M1: Gm:  2.00E-0003, Gds:  1.00E-0005 entre 1 (d), 2 (g) e 0 (s)",
                     "Cgs:  1.00E-0012 entre 2 e 0",
                     "Cgd:  2.00E-0013 entre 2 e 1",
                     "M2: Gm:  2.00E-0003, Gds:  0.00E+0000 entre 1 (d), 2 (g) e 0 (s)",
                     "MOSX: Gm:  1.00E-0003, Gds:  0.00E+0000 entre 1 (d), 2 (g) e 0 (s)",
                     "Cgs:  0.00E+0000 entre 2 e 0",
                     "Cgd:  0.00E+0000 entre 2 e 1",
                     "Q1: hfe:  1.00E+0002, hie:  2.50E+0003 entre 3 (c), 2 (b) e 1 (e)",
                     "Cbe:  1.00E-0011 entre 2 e 1",
                     "Cbc:  2.00E-0012 entre 2 e 3",
                     "Q2: hfe:  5.00E+0001, hie:  1.00E+0003 entre 3 (c), 2 (b) e 1 (e)",
                     "G1: Gm: 1.00E-0003 entre 1 (v+), 0 (v-), 2 (i+) e 0 (i-)",
                     "G1: Gc: 1.00E-0004 entre 1 (+v/2), 0 (+v/2), 2 (i-) e 0 (i-)",
                     "G2: Gm: 1.00E-0003 entre 1 (v+), 0 (v-), 2 (i+) e 0 (i-)",
                     "Z1234: Rs: 1.00E+0003 Vs: 2.00E+0000 de 5 para 0",
                     "K17: L1= 1.00E-0003 entre 1 e 0, L2= 4.00E-0003 entre 2 e 0, k= 0.500000",
                     "Número de elementos efetivos: 24",
                     "Número de variáveis: 5",
                     "Ordem do sistema: 5 equações",
                     "Circuito lido."}));
}

struct MapCase {
    const char* netlist;
    std::vector<int> rows, columns;  // entries 0..variable_count
    int variables, equations, elements;
    const char* description;  // the line after "Descrição do circuito:"
};

TEST(NetlistReader, SourcesAndAmplifiersShapeTheMaps) {
    const MapCase cases[] = {
        {"3\nE1 3 0 1 2 10\n",
         {0, 1, 2, 0, 3},
         {0, 1, 2, 3, 0},
         4,
         3,
         1,
         "E1: Av: 1.00E+0001 entre 1 (vi+), 2 (vi-), 3 (vo+) e 0 (vo-)"},
        {"3\nF1 1 0 2 3 5\n",
         {0, 1, 2, 3, 0},
         {0, 1, 2, 2, 3},
         4,
         3,
         1,
         "F1: Ai: 5.00E+0000 entre 2 (ii+), 3 (ii-), 1 (io+) e 0 (io-)"},
        {"4\nH1 3 0 1 2 100\n",
         {0, 1, 2, 0, 3},
         {0, 1, 1, 2, 3},
         4,
         3,
         1,
         "H1: Rm: 1.00E+0002 entre 1 (ii+), 2 (ii-), 3 (vo+) e 0 (vo-)"},
        {"3\nO1 1 2 3\n", {0, 1, 2, 0}, {0, 1, 1, 2}, 3, 2, 0, "O1: Saída entre 3 e 0, entradas em 1 e 2"},
        {"4\no7 4 3 2 1\n",
         {0, 1, 2, 3, 3},
         {0, 1, 1, 2, 3},
         4,
         3,
         0,
         "O7: Saída entre 4 e 3, entradas em 2 e 1"},
        // A V source between two nodes: their rows add up, the freed row
        // is the constraint of the new variable.
        {"3\nV1 2 3 1\n", {0, 1, 2, 2, 3}, {0, 1, 2, 3, 0}, 4, 3, 1, "V1:  1.00E+0000 de 2 para 3"},
    };
    for (const MapCase& m : cases) {
        SCOPED_TRACE(m.netlist);
        const auto r = read_text_netlist(m.netlist);
        ASSERT_EQ(r.fatal, "");
        const Circuit& c = r.c();
        EXPECT_EQ(c.variable_count, m.variables);
        EXPECT_EQ(c.equation_count, m.equations);
        EXPECT_EQ(c.element_count, m.elements);
        for (int k = 0; k <= c.variable_count; ++k) {
            EXPECT_EQ(c.row_map[k], m.rows[k]) << "row_map " << k;
            EXPECT_EQ(c.column_map[k], m.columns[k]) << "column_map " << k;
        }
        EXPECT_EQ(r.log.at(2), m.description);
    }
}

TEST(NetlistReader, ControlledSourcesKeepTheirGainAsStamp) {
    const auto r = read_text_netlist("4\nE1 3 0 1 2 10\nF1 4 0 1 2 -2.5\n");
    ASSERT_EQ(r.fatal, "");
    const Circuit& c = r.c();
    EXPECT_EQ(c.stamp_re[1], 10);
    EXPECT_EQ(c.stamp_re[2], -2.5L);
    EXPECT_EQ(c.stamp_im[1], 0);
    EXPECT_EQ(c.elements[1].extra_var, 5);
    EXPECT_EQ(c.elements[2].extra_var, 6);
}

TEST(NetlistReader, CommentsAreEchoedAndNotCounted) {
    const auto r =
        read_text_netlist("2\n* buffer test\n.AC DEC 10 1 1MEG\n*\nR1 1 2 1\n   \t\n  *abcdefg\n\n\n");
    ASSERT_EQ(r.fatal, "");
    // The blank after the first token is not echoed; the name part of a
    // comment is upper-cased like any name, five characters at most; a
    // comment alone on its line ends at the line end.
    EXPECT_EQ(r.log, (Lines{"Número de nós: 2", "Descrição do circuito:", "*buffer test", ".ACDEC 10 1 1MEG",
                            "*", "R1:  1.00E+0000 de 1 para 2", "*ABCDefg", "Número de elementos efetivos: 1",
                            "Número de variáveis: 2", "Ordem do sistema: 2 equações", "Circuito lido."}));
}

TEST(NetlistReader, OnlyACommentGivesAnEmptyCircuit) {
    const auto r = read_text_netlist("7\n* nothing here");
    ASSERT_EQ(r.fatal, "");
    EXPECT_EQ(r.c().element_count, 0);
    EXPECT_EQ(r.c().variable_count, 7);
    EXPECT_EQ(r.c().equation_count, 7);
    EXPECT_EQ(r.log.back(), "Circuito lido.");
    EXPECT_TRUE(r.c().present);
}

TEST(NetlistReader, NamesAndFields) {
    struct Case {
        const char* line;
        const char* name;
        int n1, n2;
        Real value;
    };
    const Case cases[] = {
        {"r1 1 0 5", "R1", 1, 0, 5},                 // lower case accepted
        {"R1234 1 2 1E3", "R1234", 1, 2, 1e3L},      // five characters and a blank
        {"R1234\t1 2 1E3", "R1234", 1, 2, 1e3L},     // a tab after five characters
        {"R1234\n1 2 1E3", "R1234", 1, 2, 1e3L},     // a line end after five characters
        {"C1\t1 0 2 1e-6", "C1\t1", 0, 2, 1e-6L},    // a tab does not end a name
        {"R1 1 0 5 ohms and more", "R1", 1, 0, 5},   // rest of an R line ignored
        {"R1 1\n\t0\n 47.5e+1\n", "R1", 1, 0, 475},  // fields on following lines
        {"  C9 2 1 -3.3E-9", "C9", 2, 1, -3.3e-9L},  // leading blanks before a later line
        {"RÉS 1 2 10", "RÉS", 1, 2, 10},             // only ASCII letters are upper-cased
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.line);
        const auto r = read_text_netlist(std::string("2\n* x\n") + k.line);
        ASSERT_EQ(r.fatal, "");
        ASSERT_EQ(r.c().element_count, 1);
        const Element& e = r.element(1);
        EXPECT_EQ(e.name, k.name);
        EXPECT_EQ(e.node1, k.n1);
        EXPECT_EQ(e.node2, k.n2);
        EXPECT_EQ(e.value, k.value);
    }
}

TEST(NetlistReader, OptionalFieldsAreLookedForOnTheSameLineOnly) {
    // Text after the last mandatory field of M is read as Cgs and Cgd.
    auto r = read_text_netlist("2\nM1 1 2 0 1e-3 0 1e-12 2e-12\n");
    EXPECT_EQ(r.c().element_count, 3);
    // Values on the next line are the next element, not the capacitances.
    r = read_text_netlist("2\nM1 1 2 0 1e-3 0\nC1 1 0 1e-12\n");
    EXPECT_EQ(r.c().element_count, 2);
    EXPECT_EQ(r.element(2).name, "C1");
    r = read_text_netlist("3\nO1 1 2 3   \nR1 3 0 1\n");
    EXPECT_EQ(r.c().equation_count, 2);
    EXPECT_EQ(r.element(1).name, "R1");
    r = read_text_netlist("3\nG1 1 0 2 0 1e-3 \t\nR1 3 0 1\n");
    EXPECT_EQ(r.c().element_count, 2);
    // The fourth node of A is rounded from the real read in its place.
    r = read_text_netlist("4\nA1 1 2 3 3.6 1e6 10\n");
    EXPECT_EQ(r.element(1).node4, 4);
    EXPECT_EQ(r.element(1).value, 1e5L);
}

TEST(NetlistReader, VariabilitiesAndMudarTodas) {
    auto r = read_text_netlist("3\nI1 0 1 1\nZ1 1 2 50 1\nV1 3 0 1\nR1 2 3 1\nvX 1 0 1\n");
    ASSERT_EQ(r.fatal, "");
    Circuit& c = *r.circuit;
    // I1, Z1, v1 (its Norton current), V1, R1, then "vX" read as V.
    ASSERT_EQ(c.element_count, 6);
    c.default_variability = 0.01L;
    reset_variabilities(c);
    const Real want[] = {0, 0, 0.01L, 0, 0, 0.01L, 0};
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(c.variability[i], want[i]) << c.elements[i].name;
}

TEST(NetlistReader, ANewReadReplacesTheModel) {
    Circuit c;
    const Log quiet = [](const std::string&) {};
    suite::TextScanner first("3\nV1 1 0 1\nE1 2 0 1 0 2\nH1 3 0 2 0 5\n");
    read_netlist(c, first, quiet);
    EXPECT_EQ(c.variable_count, 5);
    c.output_node = 3;
    c.default_variability = 0.2L;
    suite::TextScanner second("2\nR1 1 2 1\n");
    read_netlist(c, second, quiet);
    EXPECT_EQ(c.element_count, 1);
    EXPECT_EQ(c.variable_count, 2);
    EXPECT_EQ(c.equation_count, 2);
    for (int k = 0; k <= 2; ++k) EXPECT_EQ(c.row_map[k], k);
    EXPECT_EQ(c.output_node, 1);
    EXPECT_EQ(c.default_variability, 0.05L);
    EXPECT_EQ(c.variability[1], 0.05L);
    EXPECT_TRUE(c.present);
}

}  // namespace
}  // namespace analysis
