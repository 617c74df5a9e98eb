// morat end to end: exit statuses and what goes to each stream, in
// process and through the program itself.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "analysis/cli/morat_cli.h"
#include "common/scratch_dir.h"
#include "common/textfile.h"

namespace analysis {
namespace {

using Args = std::vector<std::string>;

struct Outcome {
    int status;
    std::string out, err;
};

Outcome run(const Args& args) {
    std::ostringstream out, err;
    const int status = morat_main(args, out, err);
    return {status, out.str(), err.str()};
}

// Every test writes its netlists and tables into a folder of its own.
class MoratRun : public ::testing::Test {
protected:
    std::string write_netlist(const std::string& name, const std::string& text) const {
        return dir.write(name, text);
    }
    std::string scratch(const std::string& name) const { return dir.path(name); }
    suite::testing::ScratchDir dir;
};
using MoratProgram = MoratRun;

std::string last_line(const std::string& text) {
    const std::size_t end = text.find_last_not_of('\n');
    const std::size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1,
                       end - (start == std::string::npos ? 0 : start + 1) + 1);
}

const std::string rc = "2\nV1 1 0 1\nR1 1 2 1000\nC1 2 0 1E-6\n";

TEST_F(MoratRun, RefusalsAndErrorsExitWithOne) {
    struct Case {
        std::string netlist;
        Args options;
        std::string last_out;  // last line on standard output
        std::string err;       // all of standard error
    };
    const std::string missing = scratch("morat-missing");
    const Case cases[] = {
        {missing, {}, "* Arquivo " + missing + ".net inexistente.", ""},
        {write_netlist("unknown.net", "3\nX1 1 0 1\n"),
         {},
         "Descrição do circuito:",
         "Erro: X1:  Elemento desconhecido\n"},
        {write_netlist("nodes.net", "abc\nR1 1 0 1\n"),
         {},
         "",
         "Número de nós inválido \"abc\" na linha 1\n"},
        {write_netlist("rc.net", rc), {"--output", "4"}, "Nó inválido, fora da faixa 0-3.", ""},
        {write_netlist("rc.net", rc), {"--listed", "-1"}, "Nó inválido, fora da faixa 0-3.", ""},
        {write_netlist("rc.net", rc), {"--output", "3"}, "Nó de saída com tensão calculada sempre nula.", ""},
        {write_netlist("rc.net", rc), {"--output", "0"}, "Nó de saída com tensão calculada sempre nula.", ""},
        {write_netlist("comment.net", "2\n* nothing\n"),
         {},
         "* Circuito sem elementos. A análise não pode ser feita.",
         ""},
        {write_netlist("floating.net", "3\nV1 1 0 1\nR1 1 2 1\nR2 2 0 1\n"),
         {"--output", "2"},
         "Nó de saída: 2",
         "Erro: Circuito insolúvel (determinante muito pequeno).\n"},
    };
    for (const Case& k : cases) {
        Args args = {k.netlist};
        args.insert(args.end(), k.options.begin(), k.options.end());
        SCOPED_TRACE(k.netlist);
        const Outcome o = run(args);
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(last_line(o.out), k.last_out);
        EXPECT_EQ(o.err, k.err);
    }
}

TEST_F(MoratRun, RaisingThePivotToleranceMakesACircuitInsoluble) {
    const std::string path = write_netlist("tol.net", "2\nV1 1 0 1\nR1 1 2 1E6\nR2 2 0 1E6\n");
    EXPECT_EQ(run({path, "--output", "2"}).status, 0);
    const Outcome o = run({path, "--output", "2", "--tol-pivot", "1e-5"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "Erro: Circuito insolúvel (determinante muito pequeno).\n");
}

TEST_F(MoratRun, UsageErrorsExitWithTwo) {
    const std::string path = write_netlist("rc.net", rc);
    for (const Args& args : {Args{}, Args{path, "--segments"}, Args{path, "--bogus"},
                             Args{path, "--element-variability", "R9=0.1"},
                             Args{path, "--output", "2", "--sensitivities", "401"}}) {
        const Outcome o = run(args);
        EXPECT_EQ(o.status, 2) << (args.empty() ? "" : args.back());
        EXPECT_EQ(o.err.rfind("morat: ", 0), 0u);
        EXPECT_NE(o.err.find(morat_usage()), std::string::npos);
    }
    // The element name is checked after reading: the log is already out.
    const Outcome o = run({path, "--element-variability", "R9=0.1"});
    EXPECT_EQ(last_line(o.out), "Circuito lido.");
    EXPECT_EQ(o.err, "morat: no element named R9 in the circuit\n" + morat_usage());
}

TEST_F(MoratRun, HelpPrintsTheUsage) {
    const Outcome o = run({"--help"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, morat_usage());
    EXPECT_EQ(o.err, "");
}

TEST_F(MoratRun, SegmentsAreAdjustedWithALogLine) {
    const std::string path = write_netlist("rc.net", rc);
    const Outcome o = run({path, "--output", "2", "--segments", "5001", "--sensitivities", "1000"});
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("Nó de saída: 2\nNúmero de segmentos no gráfico ajustado para 1000\n"),
              std::string::npos);
}

TEST_F(MoratRun, ALogarithmicSweepFromZeroIsRefused) {
    const std::string path = write_netlist("rc.net", rc);
    const Outcome o = run({path, "--output", "2", "--fmin", "0"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "");
}

TEST_F(MoratRun, ATableThatCannotBeWrittenIsAnInputOutputError) {
    const std::string path = write_netlist("rc.net", rc);
    const std::string table = scratch("no-such-folder/rc.tab");
    const Outcome o = run({path, "--output", "2", "--range", "--tab", table});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err,
              "Não foi possível gravar o arquivo \"" + table + "\": arquivo ou diretório inexistente\n");
    EXPECT_EQ(o.out.find("Tabela de resposta"), std::string::npos);
    EXPECT_NE(o.out.find("Extremos de nível de sinal nos nós"), std::string::npos);
}

// The program itself: exit statuses as the shell sees them.
int system_status(const std::string& command) {
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST_F(MoratProgram, ExitStatuses) {
    const std::string morat = MORAT_PATH;
    const std::string quiet = " > /dev/null 2>&1";
    const std::string path = write_netlist("rc.net", rc);
    EXPECT_EQ(system_status(morat + " --help" + quiet), 0);
    EXPECT_EQ(system_status(morat + quiet), 2);
    EXPECT_EQ(system_status(morat + " " + path + " --output 2" + quiet), 0);
    EXPECT_EQ(system_status(morat + " " + path + " --output 7" + quiet), 1);
    EXPECT_EQ(system_status(morat + " " + scratch("morat-missing") + quiet), 1);
    // The picture options go to morat-picture, with the same statuses.
    const std::string picture = scratch("morat-exit.png");
    std::remove(picture.c_str());
    EXPECT_EQ(system_status(morat + " " + path + " --output 2 --plot " + picture + quiet), 0);
    EXPECT_EQ(suite::read_file_bytes(picture).substr(1, 3), "PNG");
    EXPECT_EQ(system_status(morat + " " + path + " --output 2 --grid" + quiet), 2);
    EXPECT_EQ(system_status(morat + " " + path + " --output 7 --plot=" + picture + quiet), 1);
}

}  // namespace
}  // namespace analysis
