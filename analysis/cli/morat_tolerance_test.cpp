// morat's tolerance options end to end: the worst-case table, the mask
// lines, both yields, the ranking (its limiting point against the closed
// form) and the tightened tolerances; refusals and usage errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "analysis/cli/morat_cli.h"
#include "common/numtext.h"
#include "common/scratch_dir.h"
#include "common/textfile.h"

namespace analysis {
namespace {

struct Outcome {
    int status = 0;
    std::vector<std::string> out;
    std::string err;
    // The lines from the first that starts with `head` on.
    std::vector<std::string> from(const std::string& head) const {
        for (std::size_t i = 0; i < out.size(); ++i)
            if (out[i].rfind(head, 0) == 0) return {out.begin() + static_cast<std::ptrdiff_t>(i), out.end()};
        return {};
    }
};

class MoratTolerance : public ::testing::Test {
protected:
    suite::testing::ScratchDir dir;
    std::string net = dir.write("sk.net",
                                "4\nV1 1 0 1\nR1 1 2 1E4\nR2 2 3 1E4\nC1 2 4 22.508E-9\nC2 3 0 11.254E-9\n"
                                "A1 4 3 4 6.2832E6 75\n");
    std::string mask =
        dir.write("sk.msk",
                  "* pass band, corner, stop band, delay\r\nunidade Hz\r\nmodulo 100 500 -0.5 0.5\r\n"
                  "modulo 1000 1000 -4 -2\r\nmodulo 3000 10000 - -17\r\natraso 100 300 2.1E-4 2.5E-4\r\n");
    Outcome morat(std::vector<std::string> args) {
        std::ostringstream out, err;
        Outcome r;
        args.insert(args.begin(),
                    {net, "--output", "4", "--hz", "--fmin", "100", "--fmax", "1E4", "--segments", "40"});
        r.status = morat_main(args, out, err);
        r.out = suite::split_lines(out.str());
        r.err = err.str();
        return r;
    }
};

TEST_F(MoratTolerance, MaskYieldRankingAndTightenedTolerances) {
    const Outcome r = morat({"--mask", mask, "--yield", "2000", "--linear-samples", "20000", "--target-yield",
                             "99", "--seed", "5"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> t = r.from("Máscara ");
    ASSERT_GE(t.size(), 20u);
    EXPECT_EQ(t[0], "Máscara " + mask + ": 4 faixas; 36 limites em 26 pontos da varredura");
    EXPECT_EQ(t[1], "Resposta nominal: atende à máscara.");
    EXPECT_EQ(t[2], "  módulo: pior margem 0.3323 dB em 446.7 Hz (limite inferior, linha 3)");
    EXPECT_EQ(t[3].rfind("  atraso: pior margem ", 0), 0u);
    EXPECT_EQ(t[4], "* Pior caso linear: não atende à máscara.");
    EXPECT_EQ(t[7].rfind("Rendimento de 1ª ordem: ", 0), 0u);
    EXPECT_NE(t[7].find("; 20000 amostras do modelo linear, semente 5"), std::string::npos);
    EXPECT_EQ(t[8].rfind("Rendimento de Monte Carlo: ", 0), 0u);
    EXPECT_NE(t[8].find("; 2000 circuitos, semente 5; rejeitados"), std::string::npos);
    EXPECT_NE(t[9].find("rendimentos"), std::string::npos);
    EXPECT_EQ(t[10].rfind("Ponto limitante: ", 0), 0u);
    EXPECT_EQ(t[11], "Parcelas da variância nesse ponto:");
    const std::vector<std::string> a = r.from("Tolerâncias padrão para rendimento de 99 %: custo ");
    ASSERT_GE(a.size(), 5u);
    EXPECT_EQ(a[a.size() - 3].rfind("Rendimento de 1ª ordem com essas tolerâncias: ", 0), 0u);
    EXPECT_EQ(a[a.size() - 2].rfind("Rendimento de Monte Carlo com essas tolerâncias: ", 0), 0u);
    EXPECT_EQ(a.back().rfind("Os dois rendimentos concordam", 0), 0u) << a.back();
    // The same seed, the same run; another seed, other circuits.
    EXPECT_EQ(morat({"--mask", mask, "--yield", "2000", "--linear-samples", "20000", "--target-yield", "99",
                     "--seed", "5"})
                  .out,
              r.out);
    EXPECT_NE(morat({"--mask", mask, "--yield", "2000", "--linear-samples", "20000", "--seed", "6"})
                  .from("Rendimento")[0],
              r.from("Rendimento")[0]);
}

// The RC low-pass against a one-point mask at x = 2 rad/s, every part at
// the default 5 %: the module deviation there is 20/ln 10·0.8·0.05·√2 dB,
// shared equally by R1 and C1. With limits 1 deviation under and 1.5
// over the nominal module, the circuits fail there in Φ(−1) + Φ(−1.5) of
// the cases.
TEST(MoratToleranceLine, TheLimitingPointAgainstItsClosedForm) {
    suite::testing::ScratchDir dir;
    const std::string net = dir.write("rc.net", "2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n");
    const long double sigma = 8.68588963806502L * 0.8L * 0.05L * std::sqrt(2.0L);
    const long double m0 = -10 * std::log10(5.0L),
                      chance = std::erfc(1 / std::sqrt(2.0L)) / 2 + std::erfc(1.5L / std::sqrt(2.0L)) / 2;
    const std::string mask =
        dir.write("rc.msk", "unidade rad/s\r\nmodulo 2 2 " + suite::format_general(m0 - sigma) + " " +
                                suite::format_general(m0 + 1.5L * sigma) + "\r\n");
    std::ostringstream out, err;
    ASSERT_EQ(morat_main({net, "--output", "2", "--fmin", "1", "--fmax", "4", "--segments", "2", "--mask",
                          mask, "--yield", "100", "--linear-samples", "1000"},
                         out, err),
              0)
        << err.str();
    const std::vector<std::string> lines = suite::split_lines(out.str());
    const auto at = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("Ponto limitante: ", 0) == 0;
    });
    ASSERT_GE(lines.end() - at, 4);
    EXPECT_EQ(std::vector<std::string>(at, at + 4),
              (std::vector<std::string>{
                  "Ponto limitante: módulo em 2 rad/s (limite inferior, linha 2): margem " +
                      suite::format_general(std::round(sigma * 1e4L) / 1e4L) +  // four digits
                      " dB = 1 desvios padrão; falha ali em " + suite::format_fixed(100 * chance, 0, 2) +
                      " % dos circuitos",
                  "Parcelas da variância nesse ponto:", "  R1     50.00 %", "  C1     50.00 %"}));
}

TEST_F(MoratTolerance, WorstCaseTableBesideTheResponseTable) {
    const std::string wct = dir.path("sk.wct"), tab = dir.path("sk.tab");
    const Outcome r = morat({"--width", "12", "--decimals", "6", "--tab", tab, "--worst-case", wct});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> w = r.from("Pior caso linear: módulo até ±");
    ASSERT_EQ(w.size(), 3u);
    EXPECT_EQ(w[1].rfind("Vértices: o módulo se afasta do limite linear em até ", 0), 0u);
    EXPECT_EQ(w[2], "Tabela de pior caso salva no arquivo " + wct);
    const std::string bytes = suite::read_file_bytes(wct);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n\r\n");
    const std::vector<std::string> lines = suite::read_text_lines(wct);
    const std::vector<std::string> response = suite::read_text_lines(tab);
    ASSERT_EQ(lines.size(), 43u);
    EXPECT_EQ(lines[0],
              "# Pior caso (Hz):Saida 4; limite linear e vértices (Frq, PcM, VM+, VM-, PcF, VF+, VF-)");
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        ASSERT_EQ(lines[i].size(), 7 * 12 + 6u) << lines[i];
        EXPECT_EQ(lines[i].substr(0, 12), response[i].substr(0, 12));  // the frequency, digit for digit
        Real bound = 0, up = 0, down = 0;
        ASSERT_TRUE(suite::parse_real(lines[i].substr(13, 12), bound));
        ASSERT_TRUE(suite::parse_real(lines[i].substr(26, 12), up));
        ASSERT_TRUE(suite::parse_real(lines[i].substr(39, 12), down));
        // 5 %: the vertices near the bound, their mean nearer (the second-order
        // terms, large against the small bound of the pass band, cancel in it).
        EXPECT_NEAR(up, bound, 0.25L * bound + 1e-5L);
        EXPECT_NEAR(down, bound, 0.25L * bound + 1e-5L);
        EXPECT_NEAR((up + down) / 2, bound, 0.02L * bound + 1e-5L);
    }
}

TEST_F(MoratTolerance, RefusalsEndTheRunWithStatusOne) {
    struct Case {
        std::string mask_text;  // "" for a missing file
        std::vector<std::string> options;
        std::vector<std::string> tail;  // the last lines of the log
    };
    const std::string m = dir.path("m.msk");
    const Case cases[] = {
        {"", {}, {"* Arquivo " + m + " inexistente."}},
        {"unidade Hz\r\nmodulo 100 200 -1\r\nmodulo 1 2 3 4\r\natraso 300 200 0 1\r\n",
         {},
         {"* Máscara " + m +
              ", linha 2: faltam campos; esperava a faixa (de, até) e os limites (mínimo, máximo).",
          "* Máscara " + m + ", linha 4: frequência inicial maior que a final."}},
        {"unidade Hz\r\nmodulo 20000 30000 - 0\r\n",
         {},
         {"Máscara " + m + ": 1 faixas; 0 limites em 0 pontos da varredura",
          "* Máscara, linha 2: nenhum ponto da varredura de 20000 a 30000 Hz.",
          "* Máscara: nenhum ponto da varredura nas faixas da máscara."}},
        {"unidade Hz\r\nmodulo 100 500 -0.5 0.5\r\n",
         {"--element-variability", "C1=0.7", "--yield", "10"},
         {"* Monte Carlo: variabilidade acima de 0.5 em C1."}},
        {"unidade Hz\r\nmodulo 100 500 -0.5 0.5\r\nmodulo 1000 1000 -3.02 -3.00\r\n",
         {"--target-yield", "99.9", "--linear-samples", "1000"},
         {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.mask_text);
        std::filesystem::remove(m);
        if (!k.mask_text.empty()) dir.write("m.msk", k.mask_text);
        std::vector<std::string> args{"--mask", m};
        args.insert(args.end(), k.options.begin(), k.options.end());
        const Outcome r = morat(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "");
        ASSERT_GE(r.out.size(), k.tail.size());
        EXPECT_EQ(
            std::vector<std::string>(r.out.end() - static_cast<std::ptrdiff_t>(k.tail.size()), r.out.end()),
            k.tail);
        if (k.tail.empty()) {
            EXPECT_EQ(r.out.back().rfind(
                          "* Tolerâncias: nenhuma combinação das tolerâncias padrão alcança 99.9 %; com "
                          "todas em 0.1 % o rendimento de 1ª ordem é ",
                          0),
                      0u)
                << r.out.back();
        }
    }
}

TEST_F(MoratTolerance, OptionErrorsAreUsageErrors) {
    using Args = std::vector<std::string>;
    const Args cases[] = {{"--yield", "100"},
                          {"--target-yield", "90"},
                          {"--mask", mask, "--linear-samples", "5000"},
                          {"--mask", mask, "--yield", "1"},
                          {"--mask", mask, "--yield", "1000001"},
                          {"--mask", mask, "--yield", "ten"},
                          {"--mask", mask, "--yield", "10", "--linear-samples", "999"},
                          {"--mask", mask, "--target-yield", "0"},
                          {"--mask", mask, "--target-yield", "100"},
                          {"--mask", mask, "--target-yield", "99%"},
                          {"--mask="},
                          {"--worst-case="},
                          {"--mask", mask, "--seed", "3"}};
    for (const Args& args : cases) {
        SCOPED_TRACE(args.back());
        const Outcome r = morat(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.rfind("morat: ", 0), 0u);
        EXPECT_NE(r.err.find(morat_usage()), std::string::npos);
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_EQ(morat({"--yield", "100"}).err.rfind("morat: --yield needs --mask FILE\n", 0), 0u);
    // --seed serves the yield's circuits without --monte-carlo.
    EXPECT_EQ(morat({"--mask", mask, "--yield", "20", "--linear-samples", "1000", "--seed", "3"}).status, 0);
    EXPECT_NE(morat_usage().find("  --target-yield P "), std::string::npos);
}

}  // namespace
}  // namespace analysis
