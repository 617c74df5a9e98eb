// morat's Monte Carlo options end to end: the table beside the response
// table, the log lines, refusals and usage errors.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "analysis/cli/morat_cli.h"
#include "common/numtext.h"
#include "common/textfile.h"

namespace analysis {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = 0;
    std::vector<std::string> out;
    std::string err;
};

class MoratMonteCarlo : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("morat_montecarlo_test_" + std::to_string(::getpid()));
    std::string net;
    void SetUp() override {
        fs::create_directories(dir);
        net = path("sk.net");
        suite::write_text_file(net, {"4", "V1 1 0 1", "R1 1 2 1E4", "R2 2 3 1E4", "C1 2 4 22.5E-9",
                                     "C2 3 0 11.25E-9", "A1 4 3 4 6.28E6 75"});
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    Outcome morat(std::vector<std::string> args) {
        std::ostringstream out, err;
        Outcome r;
        args.insert(args.begin(),
                    {net, "--output", "4", "--hz", "--fmin", "100", "--fmax", "1E4", "--segments", "20"});
        r.status = morat_main(args, out, err);
        r.out = suite::split_lines(out.str());
        r.err = err.str();
        return r;
    }
};

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> f;
    std::istringstream in(line);
    for (std::string x; in >> x;) f.push_back(x);
    return f;
}

// The table is a sibling of the response table: header, one line per
// point in the listing format, an empty line, CR LF; its first-order
// columns are the response table's VeM and VeF, digit for digit.
TEST_F(MoratMonteCarlo, TableBesideTheResponseTableAndTheLogLines) {
    const Outcome r = morat({"--width", "12", "--decimals", "6", "--tab", path("sk.tab"), "--monte-carlo",
                             "200", "--seed", "9", "--mc-table", path("sk.mct")});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_GE(r.out.size(), 2u);
    EXPECT_EQ(r.out[r.out.size() - 2],
              "Monte Carlo: 200 circuitos, semente 9; rejeitados (sistema insolúvel ou saída nula): 0; "
              "sorteios repetidos (valor nulo ou de sinal trocado): 0");
    EXPECT_EQ(r.out.back(), "Tabela de Monte Carlo salva no arquivo " + path("sk.mct"));

    const std::string bytes = suite::read_file_bytes(path("sk.mct"));
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n\r\n");
    const std::vector<std::string> mc = suite::read_text_lines(path("sk.mct"));
    const std::vector<std::string> tab = suite::read_text_lines(path("sk.tab"));
    ASSERT_EQ(mc.size(), 23u);
    ASSERT_EQ(tab.size(), mc.size());
    EXPECT_EQ(mc[0],
              "# Monte Carlo (Hz):Saida 4; Dsv. normais; Circuitos 200 de 200, semente 9 "
              "(Frq, VeM, VeF, DpM, DpF)");
    EXPECT_EQ(mc.back(), "");
    for (std::size_t i = 1; i + 1 < mc.size(); ++i) {
        SCOPED_TRACE(mc[i]);
        const auto m = fields(mc[i]), t = fields(tab[i]);
        ASSERT_EQ(m.size(), 5u);
        EXPECT_EQ(mc[i].size(), 5 * 12 + 4u);  // five fields of width 12, one blank between
        EXPECT_EQ(m[0], t[0]);
        EXPECT_EQ(m[1], t[4]);
        EXPECT_EQ(m[2], t[5]);
        for (const std::string& x : m) {
            Real v = 0;
            EXPECT_TRUE(suite::parse_real(x, v));
            EXPECT_EQ(x.size() - x.find('.') - 1, 6u);
        }
    }
    // The same seed writes the same table; the default seed is 1.
    EXPECT_EQ(morat({"--width", "12", "--decimals", "6", "--monte-carlo", "200", "--seed", "9", "--mc-table",
                     path("again.mct")})
                  .status,
              0);
    EXPECT_EQ(suite::read_file_bytes(path("again.mct")), suite::read_file_bytes(path("sk.mct")));
    const Outcome d = morat({"--monte-carlo", "2", "--mc-table", path("d.mct"), "--normalise"});
    EXPECT_EQ(suite::read_text_lines(path("d.mct"))[0],
              "# Monte Carlo (Hz):Saida 4; Dsv. norm. p/incl.; Circuitos 2 de 2, semente 1 "
              "(Frq, VeM, VeF, DpM, DpF)");
}

TEST_F(MoratMonteCarlo, LargeVariabilitiesAreRefusedWithoutATable) {
    const Outcome r =
        morat({"--element-variability", "C2=0.6", "--monte-carlo", "10", "--mc-table", path("x.mct")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.back(), "* Monte Carlo: variabilidade acima de 0.5 em C2.");
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(fs::exists(path("x.mct")));
}

TEST_F(MoratMonteCarlo, OptionErrorsAreUsageErrors) {
    const std::string t = path("u.mct");
    using Args = std::vector<std::string>;
    const Args cases[] = {{"--monte-carlo", "100"},
                          {"--mc-table", t},
                          {"--seed", "3", "--mc-table", t},
                          {"--monte-carlo", "1", "--mc-table", t},
                          {"--monte-carlo", "1000001", "--mc-table", t},
                          {"--monte-carlo", "ten", "--mc-table", t},
                          {"--monte-carlo", "10", "--seed", "-1", "--mc-table", t},
                          {"--monte-carlo", "10", "--seed", "1.5", "--mc-table", t},
                          {"--monte-carlo", "10", "--mc-table="},
                          {"--monte-carlo"}};
    for (const Args& args : cases) {
        SCOPED_TRACE(args.back());
        const Outcome r = morat(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.rfind("morat: ", 0), 0u);
        EXPECT_NE(r.err.find(morat_usage()), std::string::npos);
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_FALSE(fs::exists(t));
}

}  // namespace
}  // namespace analysis
