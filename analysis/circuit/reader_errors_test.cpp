// The netlist reader on faulty netlists: every message, the limits, and
// the model left absent afterwards.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "analysis/circuit/reader_testing.h"

namespace analysis {
namespace {

using testing::read_text_netlist;
using Lines = std::vector<std::string>;

std::string repeat(const std::string& line, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += line;
    return out;
}

struct FatalCase {
    std::string netlist;
    std::string message;
};

TEST(NetlistReaderErrors, FatalMessages) {
    const FatalCase cases[] = {
        // Nothing after the node count, or a blank line before the first element.
        {"3\n", ":  Elemento desconhecido"},
        {"3", ":  Elemento desconhecido"},
        {"3\n\nR1 1 2 1\n", ":  Elemento desconhecido"},
        {"3\nX1 1 0 5\n", "X1:  Elemento desconhecido"},
        {"3\n1R 1 0 5\n", "1R:  Elemento desconhecido"},
        {"3\n# comment\n", "#:  Elemento desconhecido"},
        // Unreadable fields, after the line has been consumed.
        // A name that goes on after five characters is refused, whole.
        {"3\nRLOAD1 1 2 1000\n", "RLOAD1:  Nome de elemento com mais de 5 caracteres."},
        {"3\nR1 1 2 1\nrload12\t1 2 5\n", "RLOAD12:  Nome de elemento com mais de 5 caracteres."},
        {"3\nZ12345 0 1E3 2\n", "Z12345:  Nome de elemento com mais de 5 caracteres."},
        {"3\nC1\t1\t0 2 1e-6\n", "C1\t1\t0:  Nome de elemento com mais de 5 caracteres."},
        {"3\nR1 1 2 1k\n", "R1:  Erro de leitura nesta linha"},
        {"3\nR1 1 2 1,5\n", "R1:  Erro de leitura nesta linha"},
        {"3\nR1 1.0 2 1\n", "R1:  Erro de leitura nesta linha"},
        {"3\nR1 1 2\nR2 2 0 1\n", "R1:  Erro de leitura nesta linha"},  // took the next name
        {"3\nM1 1 2 0 1e-3 0 junk\n", "M1:  Erro de leitura nesta linha"},
        {"3\nV1 x 0 1\n", "V1:  Erro de leitura nesta linha"},  // not "Circuito proibido"
        {"3\nR1 1 2 1\nA1 1 2 3 1e6 Ro\n", "A1:  Erro de leitura nesta linha"},
        // Joined nodes.
        {"3\nV1 1 0 1\nV2 1 0 2\n", "Circuito proibido"},
        {"3\nV1 0 0 1\n", "Circuito proibido"},
        {"3\nV1 1 2 1\nE1 2 1 3 0 2\n", "Circuito proibido"},
        {"3\nF1 1 0 2 2 1\n", "Circuito proibido"},
        {"3\nH1 1 0 2 3 1\nH2 2 0 3 2 1\n", "Circuito proibido"},
        {"3\nO1 1 0 2\nO2 1 0 3\n", "Circuito proibido"},  // both inputs grounded
        {"3\nO1 1 2 3 3\n", "Circuito proibido"},
        // Node numbers outside 0..node_count.
        {"3\nR1 1 4 5\n", "R1:  Nó 4 fora da faixa 0-3."},
        {"3\nC2 -1 0 5\n", "C2:  Nó -1 fora da faixa 0-3."},
        {"3\nE1 1 0 2 300 1\n", "E1:  Nó 300 fora da faixa 0-3."},
        {"3\nA1 1 2 3 7 1e6 75\n", "A1:  Nó 7 fora da faixa 0-3."},
        {"3\nO1 1 2 9\n", "O1:  Nó 9 fora da faixa 0-3."},
        {"3\nQ1 1 2 4 100 1e3\n", "Q1:  Nó 4 fora da faixa 0-3."},
        {"3\nR1 256 0 1\n", "R1:  Nó 256 fora da faixa 0-3."},
        // Values the engine would divide by.
        {"3\nZ1 1 0 0 1\n", "Z1:  Rs não pode ser zero."},
        {"3\nA1 1 2 3 1e6 0\n", "A1:  Ro não pode ser zero."},
        {"3\nA1 1 2 3 0 1e6 0\n", "A1:  Ro não pode ser zero."},
        {"3\nQ1 1 2 0 100 0\n", "Q1:  hie não pode ser zero."},
        {"3\nK1 1 0 2 0 0 1e-3 0.5\n", "K1:  L1 não pode ser zero."},
        {"3\nK1 1 0 2 0 1e-3 0 0.5\n", "K1:  L2 não pode ser zero."},
        {"3\nK1 1 0 2 0 1e-3 1e-3 1\n", "K1:  k deve ter módulo menor que 1."},
        {"3\nK1 1 0 2 0 1e-3 1e-3 -1\n", "K1:  k deve ter módulo menor que 1."},
        {"3\nK1 1 0 2 0 1e-3 1e-3 1.5\n", "K1:  k deve ter módulo menor que 1."},
        {"3\nK1 1 0 2 0 -1e-3 1e-3 0.5\n", "K1:  L1 e L2 devem ter o mesmo sinal."},
        {"3\nR1 1 0 0\n", "R1:  R não pode ser zero."},
        {"3\nL1 1 0 0\n", "L1:  L não pode ser zero."},
        {"3\nH1 1 0 2 3 0\n", "H1:  Rm não pode ser zero."},
        {"3\nY1 1 0 2 0 0\n", "Y1:  rg não pode ser zero."},
        // Node count.
        {"-2\nR1 1 0 1\n", "Número de nós negativo."},
    };
    for (const FatalCase& k : cases) {
        SCOPED_TRACE(k.netlist);
        const auto r = read_text_netlist(k.netlist);
        EXPECT_EQ(r.fatal, k.message);
        EXPECT_EQ(r.io_error, "");
        EXPECT_FALSE(r.c().present);
    }
}

// Comment and command lines are not names: their first word may be long.
TEST(NetlistReaderErrors, LongFirstWordsOfCommentLinesAreKept) {
    const auto r = read_text_netlist("2\n*commentary\n.subcircuit x\nR1 1 0 5\n");
    EXPECT_EQ(r.fatal, "");
    ASSERT_EQ(r.log.size(), 9u);
    EXPECT_EQ(r.log[2], "*COMMentary");
    EXPECT_EQ(r.log[3], ".SUBCircuit x");
}

TEST(NetlistReaderErrors, InputOutputErrors) {
    using namespace std::string_literals;
    for (const std::string& text : {"three\nR1 1 0 1\n"s, "3.5\nR1 1 0 1\n"s, "3\nR1\0 1 0 1\n"s}) {
        const auto r = read_text_netlist(text);
        EXPECT_NE(r.io_error, "") << text;
        EXPECT_EQ(r.fatal, "");
        EXPECT_FALSE(r.c().present);
    }
    const auto r = read_text_netlist("abc\nR1 1 0 1\n");
    EXPECT_EQ(r.io_error, "Número de nós inválido \"abc\" na linha 1");
    EXPECT_TRUE(r.log.empty());
}

TEST(NetlistReaderErrors, ElementLimit) {
    // 400 stored elements are allowed; the 401st stops the reading, be it
    // a line, a generated element or the comment line being read.
    auto r = read_text_netlist("2\n" + repeat("R1 1 0 1\n", 400));
    EXPECT_EQ(r.fatal, "");
    EXPECT_EQ(r.c().element_count, 400);
    const std::string limit = "Número máximo de elementos (400) excedido.";
    r = read_text_netlist("2\n" + repeat("R1 1 0 1\n", 401));
    EXPECT_EQ(r.fatal, limit);
    r = read_text_netlist("2\n" + repeat("R1 1 0 1\n", 399) + "Z1 1 0 50 1\n");
    EXPECT_EQ(r.fatal, limit);
    r = read_text_netlist("2\n" + repeat("R1 1 0 1\n", 398) + "Q1 1 2 0 100 1e3 1e-12 1e-12\n");
    EXPECT_EQ(r.fatal, limit);
    r = read_text_netlist("2\n" + repeat("R1 1 0 1\n", 400) + "* one comment too many\n");
    EXPECT_EQ(r.fatal, limit);
    r = read_text_netlist("3\n" + repeat("R1 1 0 1\n", 400) + "O1 1 2 3\n");
    EXPECT_EQ(r.fatal, limit);
    // O lines and comments give their place back.
    r = read_text_netlist("3\n" + repeat("* c\n", 500) + repeat("R1 1 0 1\n", 399) + "O1 1 2 3\n");
    EXPECT_EQ(r.fatal, "");
    EXPECT_EQ(r.c().element_count, 399);
}

TEST(NetlistReaderErrors, VariableLimit) {
    auto r = read_text_netlist("121\nR1 1 0 1\n");
    EXPECT_EQ(r.fatal, "Número máximo de variáveis (120) excedido.");
    EXPECT_EQ(r.log, (Lines{"Número de nós: 121"}));
    r = read_text_netlist("99999999999\nR1 1 0 1\n");
    EXPECT_EQ(r.fatal, "Número máximo de variáveis (120) excedido.");
    EXPECT_EQ(r.log, (Lines{"Número de nós: 99999999999"}));
    r = read_text_netlist("119\nV1 1 0 1\nE1 2 0 1 0 1\n");
    EXPECT_EQ(r.fatal, "Número máximo de variáveis (120) excedido.");
    r = read_text_netlist("119\nV1 1 0 1\nO1 3 4 5\n* H and O do not add variables\n");
    EXPECT_EQ(r.fatal, "Número máximo de equações (100) excedido.");
    EXPECT_EQ(r.c().variable_count, 120);
}

TEST(NetlistReaderErrors, EquationLimitIsCheckedAfterTheLastLine) {
    auto r = read_text_netlist("101\n* big\n");
    EXPECT_EQ(r.fatal, "Número máximo de equações (100) excedido.");
    EXPECT_EQ(r.log, (Lines{"Número de nós: 101", "Descrição do circuito:", "*big",
                            "Número de elementos efetivos: 0", "Número de variáveis: 101",
                            "Ordem do sistema: 101 equações"}));
    r = read_text_netlist("101\nO1 1 2 3\n");
    EXPECT_EQ(r.fatal, "");
    EXPECT_EQ(r.c().equation_count, 100);
    EXPECT_EQ(r.c().last_equation, 99);
}

TEST(NetlistReaderErrors, DescriptionStopsAtTheFaultyLine) {
    const auto r = read_text_netlist("3\nR1 1 2 1E3\nV1 1 0 1\nV2 0 1 1\nC1 2 0 1\n");
    EXPECT_EQ(r.fatal, "Circuito proibido");
    EXPECT_EQ(r.log, (Lines{"Número de nós: 3", "Descrição do circuito:", "R1:  1.00E+0003 de 1 para 2",
                            "V1:  1.00E+0000 de 1 para 0"}));
}

class TempFile {
public:
    TempFile(const std::string& name, const std::string& bytes) : path_(::testing::TempDir() + name) {
        std::ofstream(path_, std::ios::binary) << bytes;
    }
    ~TempFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

TEST(NetlistFile, NameCompletionAndBaseName) {
    struct Case {
        const char* chosen;
        const char* opened;
        const char* base;
    };
    const Case cases[] = {
        {"filter", "filter.net", "filter"},
        {"filter.net", "filter.net", "filter"},
        {"filter.cir.net", "filter.cir.net", "filter"},
        {"/home/ana/v1.2/lp", "/home/ana/v1.2/lp.net", "/home/ana/v1.2/lp"},
        {"./lp", "./lp.net", "./lp"},
        {"../x/lp.txt", "../x/lp.txt", "../x/lp"},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(complete_netlist_name(k.chosen), k.opened);
        EXPECT_EQ(netlist_base_name(complete_netlist_name(k.chosen)), k.base);
    }
}

TEST(NetlistFile, OpenReadsCp1252WithAnyLineEnd) {
    // "* filtro de saída" in code page 1252, CR line ends.
    const TempFile f("open_test.net",
                     "2\r* filtro de sa\xED"
                     "da\rR1 1 2 1\r\nC1 2 0 1\n");
    Circuit c;
    Lines log;
    ASSERT_TRUE(open_netlist(c, f.path(), [&](const std::string& s) { log.push_back(s); }));
    EXPECT_EQ(log.at(2), "*filtro de saída");
    EXPECT_EQ(c.element_count, 2);
    EXPECT_TRUE(c.present);
}

TEST(NetlistFile, MissingFileLeavesTheCircuitAsItWas) {
    Circuit c;
    Lines log;
    suite::TextScanner in("2\nR1 1 2 1\n");
    read_netlist(c, in, [](const std::string&) {});
    const std::string name = ::testing::TempDir() + "no-such-netlist.net";
    EXPECT_FALSE(open_netlist(c, name, [&](const std::string& s) { log.push_back(s); }));
    EXPECT_EQ(log, (Lines{"* Arquivo " + name + " inexistente."}));
    EXPECT_EQ(c.element_count, 1);
    EXPECT_TRUE(c.present);
}

}  // namespace
}  // namespace analysis
