// The netlist reader on hostile input: truncated, binary, oversized and
// out-of-range text gives a clear message and leaves no circuit behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "analysis/circuit/reader_testing.h"

namespace analysis {
namespace {

using testing::read_text_netlist;
using namespace std::string_literals;

struct BadCase {
    std::string netlist;
    std::string fatal;     // expected FatalError message, or empty
    std::string io_error;  // expected IoError message, or empty
};

const std::string out_of_range = "Valor fora da faixa de 1E-300 a 1E+300.";

TEST(NetlistReaderHardening, BadInputGivesItsMessage) {
    const BadCase cases[] = {
        // Empty files.
        {"", "", "Netlist vazia: falta o número de nós na linha 1"},
        {" \n\r\n\t\n", "", "Netlist vazia: falta o número de nós na linha 1"},
        // The text ends inside an element line: no field is invented.
        {"3\nC1 1", "C1:  Erro de leitura nesta linha", ""},
        {"3\nI1 0 2", "I1:  Erro de leitura nesta linha", ""},
        {"3\nR1 1 2", "R1:  Erro de leitura nesta linha", ""},
        {"3\nR1 1 0 5\nE1 1 0 2 0", "E1:  Erro de leitura nesta linha", ""},
        {"3\nM1 1 2 0 1e-3", "M1:  Erro de leitura nesta linha", ""},
        {"3\nK1 1 0 2 0 1e-3 1e-3", "K1:  Erro de leitura nesta linha", ""},
        {"3\nA1 1 2 3 1e6\n", "A1:  Erro de leitura nesta linha", ""},
        // Numbers that are no numbers, or beyond any real.
        {"3\nR1 1 0 1e5000", "R1:  Erro de leitura nesta linha", ""},
        {"3\nR1 1 0 nan", "R1:  Erro de leitura nesta linha", ""},
        {"3\nR1 1 0 NaN\n", "R1:  Erro de leitura nesta linha", ""},
        {"3\nC1 1 0 inf", "C1:  Erro de leitura nesta linha", ""},
        {"3\nC1 1 0 -INF\n", "C1:  Erro de leitura nesta linha", ""},
        {"3\nR1 1 0 1" + std::string(400, '0') + "\n", "R1:  " + out_of_range, ""},
        // Values whose stamps would overflow or divide to infinity.
        {"3\nC1 1 0 1e4000\n", "C1:  " + out_of_range, ""},
        {"3\nR1 1 0 1e-4000\n", "R1:  " + out_of_range, ""},
        {"3\nL1 1 0 -1e301\n", "L1:  " + out_of_range, ""},
        {"3\nE1 1 0 2 0 1e-301\n", "E1:  " + out_of_range, ""},
        {"3\nQ1 1 2 0 100 1e3 1e-12 1e400\n", "Q1:  " + out_of_range, ""},
        {"3\nZ1 1 0 50 1e999\n", "Z1:  " + out_of_range, ""},
        // Node numbers: huge, negative, beyond a byte.
        {"3\nR1 1 99999999999 5\n", "R1:  Nó 99999999999 fora da faixa 0-3.", ""},
        {"3\nR1 1 99999999999999999999 5\n", "R1:  Erro de leitura nesta linha", ""},
        {"3\nE1 1 0 -2 0 1\n", "E1:  Nó -2 fora da faixa 0-3.", ""},
        {"99999999999\nR1 1 0 1\n", "Número máximo de variáveis (120) excedido.", ""},
        {"-99999999999\nR1 1 0 1\n", "Número de nós negativo.", ""},
        // Long lines.
        {"3\n" + std::string(300, 'R') + " 1 0 1\n",
         std::string(20, 'R') + "...:  Nome de elemento com mais de 5 caracteres.", ""},
        {"\x7f"
         "ELF\x02\x01\x01\n",
         "",
         "Número de nós inválido \"\x7f"
         "ELF\" na linha 1"},  // binary
        {"3\nR1\0 1 0 1\n"s, "", "Não é um arquivo de texto: caractere NUL na linha 2"},
    };
    for (const BadCase& k : cases) {
        SCOPED_TRACE(k.netlist.substr(0, 60));
        const auto r = read_text_netlist(k.netlist);
        EXPECT_EQ(r.fatal, k.fatal);
        EXPECT_EQ(r.io_error, k.io_error);
        EXPECT_FALSE(r.c().present);
    }
}

TEST(NetlistReaderHardening, ValuesAtTheEdgesOfTheRangeAreKept) {
    const auto r = read_text_netlist("2\nR1 1 0 1e300\nC1 1 2 -1e-300\nL1 2 0 1E+300\nI1 0 1 0\n");
    ASSERT_EQ(r.fatal, "");
    EXPECT_EQ(r.element(1).value, 1e300L);
    EXPECT_EQ(r.element(2).value, -1e-300L);
    EXPECT_EQ(r.element(4).value, 0);
}

TEST(NetlistReaderHardening, LongLinesAreReadWhole) {
    // A comment far longer than 255 characters is logged whole; text after
    // the fields of an element line is ignored however long it is.
    const std::string comment = "* " + std::string(1000, 'x');
    const auto r =
        read_text_netlist("2\n" + comment + "\nR1 1 0 5 " + std::string(5000, 'y') + "\nC1 1 2 1\n");
    ASSERT_EQ(r.fatal, "");
    EXPECT_EQ(r.log.at(2), "*" + std::string(1000, 'x'));
    EXPECT_EQ(r.c().element_count, 2);
    EXPECT_EQ(r.element(2).name, "C1");
}

class NetlistFileHardening : public ::testing::Test {
protected:
    std::string path = ::testing::TempDir() + "hardening_" + std::to_string(::getpid()) + ".net";
    void TearDown() override { std::remove(path.c_str()); }
    std::string open(const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
        Circuit c;
        c.present = true;
        try {
            open_netlist(c, path, [](const std::string&) {});
        } catch (const suite::IoError& e) {
            EXPECT_FALSE(c.present);
            return e.what();
        }
        return "";
    }
};

TEST_F(NetlistFileHardening, NulBytesAnywhereMarkABinaryFile) {
    EXPECT_EQ(open("3\nR1 1 0 5\0\n"s), "Não é um arquivo de texto: caractere NUL na linha 2");
    EXPECT_EQ(open("3\r\n* c\r\nR1 1 0\0 5\r\n"s), "Não é um arquivo de texto: caractere NUL na linha 3");
    EXPECT_EQ(open("\0\0\0\0\x01\x02"s), "Não é um arquivo de texto: caractere NUL na linha 1");
    EXPECT_EQ(open(""), "Netlist vazia: falta o número de nós na linha 1");
}

}  // namespace
}  // namespace analysis
