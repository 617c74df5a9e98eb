// morat's pole/zero options end to end: listing after the log, the table,
// the observer choice and the exit statuses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "analysis/cli/morat_cli.h"
#include "common/textfile.h"

namespace analysis {
namespace {

namespace fs = std::filesystem;

struct MoratRun {
    int status = 0;
    std::vector<std::string> out;
    std::string err;
};

class MoratPoleZero : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("morat_polezero_test_" + std::to_string(::getpid()));
    void SetUp() override {
        fs::create_directories(dir);
        // A damped notch at node 2: zeros of s² + 0.5·s + 4, poles of
        // s² + 1.5·s + 4 (V1 a short for the poles).
        write("notch.net", "4\nV1 1 0 1\nR1 1 2 1\nR2 2 3 0.5\nL1 3 4 1\nC1 4 0 0.25\n");
        write("notch.z2", "2\n-0.25 1.9843134832984429429\n-0.25 -1.9843134832984429429\n");
        write("notch.r", "2\n-0.75 1.85404962177391573718\n-0.75 -1.85404962177391573718\n");
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    void write(const std::string& name, const std::string& text) {
        suite::write_text_file(path(name), suite::split_lines(text));
    }
    MoratRun morat(std::vector<std::string> args) {
        std::ostringstream out, err;
        MoratRun r;
        r.status = morat_main(args, out, err);
        r.out = suite::split_lines(out.str());
        r.err = err.str();
        return r;
    }
    static bool has(const MoratRun& r, const std::string& line) {
        return std::find(r.out.begin(), r.out.end(), line) != r.out.end();
    }
};

TEST_F(MoratPoleZero, ZerosAreListedAfterTheLogAndTheTableSaved) {
    const MoratRun r = morat(
        {path("notch"), "--output", "2", "--zeros", path("notch.z2"), "--deviations", path("notch.tsz")});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto first = std::find(r.out.begin(), r.out.end(), "Zeros no arquivo: ");
    ASSERT_NE(first, r.out.end());
    EXPECT_NE(std::find(r.out.begin(), first, "Nó de saída: 2"), first);  // the log comes first
    EXPECT_EQ(*(first + 1), "Zero 1   -0.250000000    1.984313483j");
    EXPECT_TRUE(has(r, "Calculando desvios..."));
    EXPECT_TRUE(has(r, "S'(s,C1):    0.000000000   -1.007905261j"));
    EXPECT_EQ(r.out.back(), "Desvios salvos no arquivo " + path("notch.tsz"));
    const auto table = suite::read_text_lines(path("notch.tsz"));
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table[0], "Desvios estat. dos Zeros; Saída 2 (Re, Im, VRe, VIm, Ra, Rb, Ang)");
}

TEST_F(MoratPoleZero, TheObserverIsTheLastElementUnlessNamed) {
    MoratRun r = morat({path("notch"), "--output", "2", "--poles", path("notch.r")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::count_if(r.out.begin(), r.out.end(),
                            [](const std::string& l) {
                                return l.rfind("S'(s,C1):", 0) == 0 && l.ends_with(" (observador)");
                            }),
              2);
    r = morat({path("notch"), "--output", "2", "--poles", path("notch.r"), "--observer", "R2", "--width",
               "10", "--decimals", "4", "--deviations", path("notch.tsp")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r, "Polo 1    -0.7500     1.8540j"));
    EXPECT_EQ(suite::read_text_lines(path("notch.tsp"))[0],
              "Desvios estat. dos Polos; Obs: R2 (Re, Im, VRe, VIm, Ra, Rb, Ang)");
}

TEST_F(MoratPoleZero, ARunThatStopsOnAnErrorExitsWithOne) {
    MoratRun r = morat({path("notch"), "--output", "2", "--poles", path("notch.r"), "--observer", "V1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.back(), "O elemento observador deve ser RLC");
    r = morat({path("notch"), "--output", "2", "--zeros", path("nada.z2")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.back(), "* Arquivo " + path("nada.z2") + " inexistente.");
    write("bad.z2", "2\n-0.25 1.98\n-0.25 x\n");
    r = morat({path("notch"), "--output", "2", "--zeros", path("bad.z2"), "--deviations", path("bad.tsz")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("bad.z2"), std::string::npos);
    EXPECT_FALSE(fs::exists(path("bad.tsz")));
}

TEST_F(MoratPoleZero, UsageErrors) {
    for (const auto& extra : std::vector<std::vector<std::string>>{
             {"--poles", "a.r", "--zeros", "a.z2"},
             {"--deviations", "a.tsp"},
             {"--zeros", "a.z2", "--observer", "C1"},
             {"--poles"},
         }) {
        std::vector<std::string> args{path("notch"), "--output", "2"};
        args.insert(args.end(), extra.begin(), extra.end());
        const MoratRun r = morat(args);
        EXPECT_EQ(r.status, 2) << extra[0];
        EXPECT_NE(r.err.find("Usage: morat"), std::string::npos) << extra[0];
    }
    // An observer the circuit lacks: one line, not the whole usage.
    const MoratRun r =
        morat({path("notch"), "--output", "2", "--poles", path("notch.r"), "--observer", "X9"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "morat: --observer: no element named X9 in the circuit\n");
}

TEST_F(MoratPoleZero, FoundZerosAndPolesAreWrittenLoggedAndReadBackByTheRun) {
    const MoratRun z = morat({path("notch"), "--output", "2", "--segments", "2", "--find-zeros",
                              path("found.z2"), "--zeros", path("found.z2")});
    ASSERT_EQ(z.status, 0) << z.err;
    const auto first = std::find(z.out.begin(), z.out.end(), "Calculando zeros...");
    ASSERT_NE(first, z.out.end());
    const std::vector<std::string> expected = {
        "Calculando zeros...",
        "Nó de saída: 2",
        "Escala de frequência:    2.000000000 rad/s",
        "Zeros encontrados: 2",
        "Zero 1   -0.250000000    1.984313483j",
        "Zero 2   -0.250000000   -1.984313483j",
        "Zeros salvos no arquivo " + path("found.z2"),
        "Zeros no arquivo: ",
    };
    ASSERT_GE(z.out.end() - first, static_cast<long>(expected.size()));
    EXPECT_EQ(std::vector<std::string>(first, first + static_cast<long>(expected.size())), expected);
    EXPECT_FALSE(has(z, "Não calculáveis."));
    EXPECT_EQ(suite::read_text_lines(path("found.z2"))[0], "2");

    // Poles: the default observer, the last element C1, sees both.
    const MoratRun p = morat({path("notch"), "--output", "2", "--segments", "2", "--find-poles",
                              path("found.r"), "--poles", path("found.r")});
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_TRUE(has(p, "Pólos encontrados: 2"));
    EXPECT_TRUE(has(p, "Pólo 1   -0.750000000    1.854049622j"));
    EXPECT_FALSE(has(p, "Não calculáveis."));
}

TEST_F(MoratPoleZero, AnObserverThatDoesNotSeeEveryPoleIsPointedOut) {
    // Without RX node 3 floats: RX sees no pole, R1 sees the one at -1.
    write("float.net", "3\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\nRX 2 3 1\n");
    const MoratRun r =
        morat({path("float"), "--output", "2", "--segments", "2", "--find-poles", path("float.r")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r, "* O elemento observador RX não vê todos os pólos; R1 vê."));
    EXPECT_EQ(suite::read_text_lines(path("float.r")), (std::vector<std::string>{"1", "-1 0"}));
}

TEST_F(MoratPoleZero, TheAutomaticObserverComputesEveryPoleOfACascade) {
    // Two buffered first-order sections: no one element sees both poles.
    write("two.net", "4\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\nO1 3 2 3\nR2 3 4 1\nC2 4 0 0.5\n");
    write("two.r", "2\n-1 0\n-2 0\n");
    const MoratRun fixed = morat({path("two"), "--output", "4", "--segments", "2", "--poles", path("two.r")});
    ASSERT_EQ(fixed.status, 0) << fixed.err;  // the run goes on past the pole C2 does not see
    EXPECT_TRUE(has(fixed, "* O elemento observador C2 não vê este polo: sistema singular."));
    EXPECT_TRUE(has(
        fixed, "* 1 polo não visto por C2; o observador automático escolhe um elemento que vê cada polo."));

    const MoratRun r = morat({path("two"), "--output", "4", "--segments", "2", "--poles", path("two.r"),
                              "--observer", "auto", "--deviations", path("two.tsp")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r, "Elemento observador: R1"));  // the first element of the first section
    EXPECT_TRUE(has(r, "Elemento observador: C2"));  // the last element, preferred where it sees
    EXPECT_FALSE(has(r, "Não calculáveis."));
    const auto table = suite::read_text_lines(path("two.tsp"));
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table[0], "Desvios estat. dos Polos; Obs: auto (Re, Im, VRe, VIm, Ra, Rb, Ang)");

    // The observer's name in any case, as the reader stores it.
    const MoratRun lower = morat(
        {path("two"), "--output", "4", "--segments", "2", "--poles", path("two.r"), "--observer", "r1"});
    ASSERT_EQ(lower.status, 0) << lower.err;
    EXPECT_TRUE(has(lower, "S'(s,R1):    1.000000000    0.000000000j (observador)"));
}

TEST_F(MoratPoleZero, AFileThatLacksRootsTheSearchFoundIsNoSuccess) {
    // No residual passes a negative tolerance: every pole stays unconfirmed.
    const MoratRun r = morat({path("notch"), "--output", "2", "--segments", "2", "--tol-admittance", "-1",
                              "--find-poles", path("none.r")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r,
                    "* Arquivo incompleto: 0 de 2 pólos escritos; 2 não confirmados pela verificação do "
                    "cálculo de desvios e 0 muito afastados da escala de frequência ficaram de fora."));
    EXPECT_EQ(suite::read_text_lines(path("none.r")), (std::vector<std::string>{"0"}));
}

}  // namespace
}  // namespace analysis
