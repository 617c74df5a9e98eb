// The noise report of a finished sweep: the integrated noise against
// closed forms, the dynamic range, the texts and the table.
#include "analysis/shell/noise_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "analysis/engine/engine_testing.h"
#include "common/numtext.h"
#include "common/scratch_dir.h"
#include "common/textfile.h"

namespace analysis::testing {
namespace {

constexpr Real kt = boltzmann * 300.15L;

// The noise sweep of `net` in Hz.
struct NoiseRun : Analysis {
    NoiseRun(const std::string& net, int output, Real f1, Real f2, int segments, const NoiseSettings& n)
        : Analysis(net, output) {
        sw->hertz_units = true;
        sw->scale_min[q_frequency] = f1;
        sw->scale_max[q_frequency] = f2;
        c->segments = segments;
        EXPECT_TRUE(start_analysis(*c, *e, *sw, s, output, 1, log));
        s.noise = n;
        prepare_noise(*c, *sw, n);
        EXPECT_TRUE(sweep(*c, *e, *sw, s, log));
    }
};

TEST(NoiseReport, IntegratedNoiseAgainstClosedForms) {
    // Power laws integrate exactly between points: f^-2 and f^0 and f^-1.
    EXPECT_NEAR(integrate_power({1, 10, 100}, {1, 0.01L, 1e-4L}), 1 - 0.01L, 1e-15L);
    EXPECT_NEAR(integrate_power({2, 4}, {3, 3}), 6, 1e-15L);
    EXPECT_NEAR(integrate_power({1, std::exp(Real(1))}, {1, 1 / std::exp(Real(1))}), 1, 1e-15L);
    // An RC low-pass, 1 kΩ and 1 nF (fc = 159 kHz), swept over eight decades
    // around its corner: with the tail below the band (4kTR·f1) and above it
    // and above it added in closed form, the noise is √(kT/C).
    const NoiseRun rc("2\nV1 1 0 1\nR1 1 2 1000\nC1 2 0 1e-9\n", 2, 1e2L, 1e10L, 800, {.on = true});
    const NoiseSummary n = noise_summary(*rc.sw, noise_band(*rc.sw, {}));
    const Real fc = 1 / (2 * std::numbers::pi_v<Real> * 1e-6L), a = 4 * kt * 1000;
    // ∫ a/(1 + (f/fc)²) df from f1 to f2 = a·fc·(atan(f2/fc) − atan(f1/fc)).
    const Real band = a * fc * (std::atan(1e10L / fc) - std::atan(1e2L / fc));
    EXPECT_NEAR(n.output_rms * n.output_rms / band, 1, 5e-5);  // 100 points a decade
    const Real tails = a * fc * (std::atan(1e2L / fc) + std::numbers::pi_v<Real> / 2 - std::atan(1e10L / fc));
    EXPECT_NEAR((n.output_rms * n.output_rms + tails) / (kt / 1e-9L), 1, 5e-5);
    ASSERT_EQ(n.shares.size(), 1u);
    EXPECT_NEAR(n.shares[0].second, n.output_rms * n.output_rms, 1e-18L);
    // A band of its own: only its points count; in rad/s the band is the same noise.
    const NoiseSummary lower = noise_summary(*rc.sw, noise_band(*rc.sw, NoiseBand{1e2L, 1e4L}));
    EXPECT_NEAR(
        lower.output_rms * lower.output_rms / (a * fc * (std::atan(1e4L / fc) - std::atan(1e2L / fc))), 1,
        1e-6);
    // A divider by two: T = 1/2, the input-referred noise twice the output's.
    const NoiseRun div("2\nV1 1 0 1\nR1 1 2 1000\nR2 2 0 1000\n", 2, 10, 1e4L, 20, {.on = true});
    const NoiseSummary d = noise_summary(*div.sw, noise_band(*div.sw, {}));
    EXPECT_NEAR(d.output_rms * d.output_rms / (4 * kt * 500 * (1e4L - 10)), 1, 1e-9);
    EXPECT_NEAR(d.input_rms / d.output_rms, 2, 1e-9);
}

TEST(NoiseReport, LinesAndDynamicRange) {
    // Inverting amplifier, gain -10: Rf's and Rin's noise, en·11 and in·Rf.
    const NoiseSettings n{.on = true, .opamps = {10e-9L, 1e-12L}, .named = {}};
    const NoiseRun inv("3\nV1 1 0 1\nR1 1 2 1000\nR2 2 3 10000\nO1 2 0 3\n", 3, 10, 1e4L, 2, n);
    const NoiseSummary s = noise_summary(*inv.sw, noise_band(*inv.sw, {}));
    const std::vector<std::string> lines = noise_report_lines(*inv.c, *inv.sw, n, s);
    const Real en = 100e-18L * 121, rf = 4 * kt * 1e4L, rin = 4 * kt / 1000 * 1e8L, in = 1e-24L * 1e8L;
    const Real total = en + rf + rin + in;
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[1], "Ruído a 27 °C: 2 resistores e 2 fontes de amplificadores operacionais");
    EXPECT_EQ(lines[2].rfind("Ruído na saída de 10 a 10000 Hz: ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[4], "Parcelas do ruído na saída:");
    EXPECT_EQ(lines[5], "  O1 (en) " + suite::format_fixed(100 * en / total, 0, 2) + " %");
    EXPECT_EQ(lines[6], "  R1 " + suite::format_fixed(100 * rin / total, 0, 2) + " %");
    EXPECT_EQ(lines[8], "  O1 (in-) " + suite::format_fixed(100 * in / total, 0, 2) + " %");
    EXPECT_NEAR(s.output_rms * s.output_rms / (total * (1e4L - 10)), 1, 1e-9);
    // 10 V peak at the output (gain 10): 1 V in, 7.071 V rms out.
    const std::vector<std::string> dr = noise_dynamic_range_lines(*inv.c, *inv.sw, s, 10);
    ASSERT_EQ(dr.size(), 1u);
    const Real db = 20 * std::log10(10 / std::sqrt(Real(2)) / s.output_rms);
    EXPECT_EQ(
        dr[0].rfind("Faixa dinâmica com 10 V de pico nas saídas dos amplificadores operacionais: entrada de "
                    "até 1 V de pico (limitada pelo nó 3); na saída 7.071 V rms sobre ",
                    0),
        0u)
        << dr[0];
    EXPECT_NE(dr[0].find(suite::format_fixed(db, 0, 1) + " dB"), std::string::npos) << dr[0];
    // Without op-amps every node must keep the swing: the divider's input limits it.
    const NoiseRun div("2\nV1 1 0 1\nR1 1 2 1000\nR2 2 0 1000\n", 2, 10, 1e4L, 2, {.on = true});
    const NoiseSummary ds = noise_summary(*div.sw, noise_band(*div.sw, {}));
    const std::vector<std::string> ddr = noise_dynamic_range_lines(*div.c, *div.sw, ds, 2);
    ASSERT_EQ(ddr.size(), 1u);
    EXPECT_EQ(ddr[0].rfind(
                  "Faixa dinâmica com 2 V de pico nos nós: entrada de até 2 V de pico (limitada pelo nó 1); "
                  "na saída 707.1 mV rms",
                  0),
              0u)
        << ddr[0];
    // No source at all: said so.
    const NoiseRun caps("3\nV1 1 0 1\nC1 1 2 1e-9\nC2 2 0 1e-9\nO1 3 2 3\n", 3, 10, 1e4L, 2, {.on = true});
    const auto none = noise_report_lines(*caps.c, *caps.sw, {.on = true},
                                         noise_summary(*caps.sw, noise_band(*caps.sw, {})));
    EXPECT_EQ(none.back(), "Nenhuma fonte de ruído no circuito: ruído nulo de 10 a 10000 Hz.");
    EXPECT_EQ(none[2], "Amplificadores operacionais sem ruído (en = 0, in = 0).");
}

TEST(NoiseReport, TableBytes) {
    suite::testing::ScratchDir dir;
    const NoiseRun div("2\nV1 1 0 1\nR1 1 2 1000\nR2 2 0 1000\n", 2, 10, 100, 2, {.on = true});
    const std::string file = dir.path("d.rui");
    std::vector<std::string> log;
    save_noise_table(file, *div.c, *div.sw, div.s, [&](const std::string& l) { log.push_back(l); });
    EXPECT_EQ(log, std::vector<std::string>{"Tabela de ruído salva no arquivo " + file});
    const std::vector<std::string> lines = suite::read_text_lines(file);
    ASSERT_EQ(lines.size(), 5u);  // the header, three points, the empty line
    EXPECT_EQ(lines[0],
              "# Ruído (Hz):Saida 2 (Frq, densidade na saída V/raiz(Hz), referida à entrada V/raiz(Hz))");
    const Real density = std::sqrt(4 * kt * 500);
    EXPECT_EQ(lines[1], "  10.000000000 " + suite::format_scientific(density, 23) + " " +
                            suite::format_scientific(2 * density, 23));
}

}  // namespace
}  // namespace analysis::testing
