// The mask reader, row by row with invalid rows beside valid ones, the
// points that the ranges cover and the margins of a check.
#include "analysis/tolerance/mask.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/errors.h"
#include "common/scratch_dir.h"

namespace analysis {
namespace {

struct Row {
    const char* line;
    const char* refusal;  // "" for a valid row
};

// Every row is read after "unidade Hz" on line 1; the refusals name their
// line, the valid rows become ranges and change nothing else.
TEST(MaskReader, EachRowIsReadOrRefusedWithItsMessage) {
    const Row rows[] = {
        {"modulo 10 700 -1 0.5", ""},
        {"MÓDULO\t10\t700\t-\t0.5", ""},
        {"Modulo 1E3 1E3 -3.5 -", ""},
        {"atraso 10 300 1E-4 3E-4", ""},
        {"atraso 10 300 -2E-4 -", ""},
        {"* a comment: modulo x y", ""},
        {"   ", ""},
        {"modulo 10 700 -1", "faltam campos; esperava a faixa (de, até) e os limites (mínimo, máximo)."},
        {"atraso", "faltam campos; esperava a faixa (de, até) e os limites (mínimo, máximo)."},
        {"modulo 10 700 -1 0.5 3", "campos a mais."},
        {"modulo 10 700 -1 0,5", "número inválido \"0,5\"."},
        {"modulo 10Hz 700 -1 0.5", "número inválido \"10Hz\"."},
        {"modulo 10 700 inf 0.5", "número inválido \"inf\"."},
        {"modulo - 700 -1 0.5", "número inválido \"-\"."},
        {"modulo 0 700 -1 0.5", "frequência deve ser positiva."},
        {"modulo 10 -700 -1 0.5", "frequência deve ser positiva."},
        {"modulo 700 10 -1 0.5", "frequência inicial maior que a final."},
        {"modulo 10 700 - -", "nenhum limite (mínimo e máximo são \"-\")."},
        {"modulo 10 700 1 -1", "limite inferior maior que o superior."},
        {"atraso 10 700 3E-4 1E-4", "limite inferior maior que o superior."},
        {"faixa 10 700 -1 1", "palavra desconhecida \"faixa\"; esperava unidade, modulo ou atraso."},
        {"mod 10 700 -1 1", "palavra desconhecida \"mod\"; esperava unidade, modulo ou atraso."},
        {"unidade Hz", "unidade repetida."},
        {"modulo 10 700\x01 -1 1", "caractere inválido."},
    };
    std::vector<std::string> lines{"unidade Hz"};
    std::vector<std::string> expected;
    int valid = 0;
    for (const Row& row : rows) {
        lines.push_back(row.line);
        const int n = static_cast<int>(lines.size());
        if (*row.refusal)
            expected.push_back("linha " + std::to_string(n) + ": " + row.refusal);
        else if (row.line[0] != '*' && row.line[0] != ' ')
            ++valid;
    }
    const MaskReading r = parse_mask(lines, "m.msk");
    EXPECT_EQ(r.refusals, expected);
    ASSERT_EQ(static_cast<int>(r.mask.ranges.size()), valid);
    EXPECT_TRUE(r.mask.hertz);
    const MaskRange& a = r.mask.ranges[0];
    EXPECT_EQ(a.quantity, MaskQuantity::module);
    EXPECT_EQ(a.line, 2);
    EXPECT_EQ(a.f1, 10);
    EXPECT_EQ(a.f2, 700);
    EXPECT_TRUE(a.has_lower && a.has_upper);
    EXPECT_EQ(a.lower, -1);
    EXPECT_EQ(a.upper, 0.5L);
    EXPECT_FALSE(r.mask.ranges[1].has_lower);
    EXPECT_FALSE(r.mask.ranges[2].has_upper);
    EXPECT_EQ(r.mask.ranges[2].lower, -3.5L);
    EXPECT_EQ(r.mask.ranges[3].quantity, MaskQuantity::delay);
    EXPECT_EQ(r.mask.ranges[4].lower, -2e-4L);
}

TEST(MaskReader, TheUnitComesOnceBeforeTheRangesAndAFileNeedsARange) {
    struct Case {
        std::vector<std::string> lines;
        std::vector<std::string> refusals;
    };
    const Case cases[] = {
        {{"modulo 10 700 -1 1", "unidade Hz"}, {"linha 1: faixa antes da linha da unidade."}},
        {{"unidade kHz", "modulo 10 700 -1 1"},
         {"linha 1: a unidade deve ser Hz ou rad/s.", "linha 2: faixa antes da linha da unidade."}},
        {{"unidade"}, {"linha 1: a unidade deve ser Hz ou rad/s."}},
        {{"unidade Hz rad/s"}, {"linha 1: campos a mais."}},
        {{}, {"nenhuma faixa no arquivo."}},
        {{"* only", "unidade RAD/S", ""}, {"nenhuma faixa no arquivo."}},
        {{"UNIDADE rad/s", "atraso 1 2 0 1"}, {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.lines.empty() ? "empty" : k.lines[0]);
        const MaskReading r = parse_mask(k.lines, "m.msk");
        EXPECT_EQ(r.refusals, k.refusals);
    }
    EXPECT_FALSE(parse_mask({"unidade rad/s", "modulo 1 2 0 1"}, "m").mask.hertz);
}

// Files are code page 1252 with any line end; "módulo" is read from its
// single-byte spelling.
TEST(MaskReader, ReadsCodePage1252WithAnyLineEnd) {
    suite::testing::ScratchDir dir;
    const std::string crlf = dir.write("a.msk",
                                       "* m\xE1scara\r\nunidade Hz\r\nm\xF3"
                                       "dulo 1 2 -1 1\r\n");
    const std::string lf = dir.write("b.msk",
                                     "unidade Hz\nM\xD3"
                                     "DULO 1 2 -1 1\natraso 1 2 0 1");
    const std::string cr = dir.write("c.msk", "unidade Hz\ratraso 1 2 0 1\r");
    for (const std::string& file : {crlf, lf, cr}) {
        const MaskReading r = read_mask_file(file);
        EXPECT_TRUE(r.refusals.empty()) << file << ": " << (r.refusals.empty() ? "" : r.refusals[0]);
        EXPECT_FALSE(r.mask.ranges.empty());
        EXPECT_EQ(r.mask.file_name, file);
    }
    EXPECT_EQ(read_mask_file(lf).mask.ranges.size(), 2u);
    EXPECT_THROW(read_mask_file(dir.path("missing.msk")), suite::IoError);
}

// A sweep of 11 points from 10 to 1000, five per decade.
Sweep sweep_of(bool hertz) {
    Sweep sw;
    sw.hertz_units = hertz;
    for (int p = 0; p <= 10; ++p) {
        PointRecord& pt = sw.points[p];
        pt.computed = true;
        pt.frequency = std::pow(10.0L, 1 + p / 5.0L);  // 10 .. 1000
        pt.module = -static_cast<Real>(p);
        pt.delay = 1e-3L / (p + 1);
    }
    sw.last_point = 10;
    sw.response_valid = true;
    return sw;
}

TEST(MaskConstraints, RangesCoverThePointsBetweenTheirEndsInTheSweepsUnit) {
    const Sweep hz = sweep_of(true);
    const MaskReading r = parse_mask({"unidade Hz", "modulo 10 100 -3 0", "atraso 100 100 0 1",
                                      "modulo 2000 5000 - 0", "modulo 500 2000 -9 -5", "atraso 3E3 3E3 - 1"},
                                     "m");
    ASSERT_TRUE(r.refusals.empty());
    const std::vector<MaskConstraint> k = mask_constraints(r.mask, hz, 10);
    // 10..100 Hz: points 0..5 (100 Hz computed as 10·10^(5/5), within the
    // widened end); 100 Hz alone: point 5; 500..2000: points 9, 10.
    ASSERT_EQ(k.size(), 6u + 1u + 2u);
    EXPECT_EQ(k[0].point, 0);
    EXPECT_EQ(k[5].point, 5);
    EXPECT_EQ(k[6].point, 5);
    EXPECT_EQ(k[6].quantity, MaskQuantity::delay);
    EXPECT_EQ(k[6].line, 3);
    EXPECT_EQ(k[7].point, 9);
    EXPECT_EQ(k[8].point, 10);
    EXPECT_EQ(k[0].upper, 0);
    EXPECT_EQ(k[7].upper, -5);
    EXPECT_TRUE(std::isinf(k[6].upper) == false && std::isinf(-k[7].lower) == false);
    EXPECT_EQ(mask_coverage_notes(r.mask, hz, 10),
              (std::vector<std::string>{
                  "* Máscara, linha 4: nenhum ponto da varredura de 2000 a 5000 Hz.",
                  "* Máscara, linha 5: a faixa de 500 a 2000 Hz passa além da varredura; só os pontos dentro "
                  "dela são verificados.",
                  "* Máscara, linha 6: nenhum ponto da varredura em 3000 Hz."}));

    // The same sweep in rad/s: a mask in Hz covers the points of 2π times its frequencies.
    Sweep rad = sweep_of(false);
    const MaskReading h = parse_mask({"unidade Hz", "modulo 1.59 16 -100 100"}, "m");
    const std::vector<MaskConstraint> kr = mask_constraints(h.mask, rad, 10);
    ASSERT_EQ(kr.size(), 6u);  // 10..100 rad/s
    EXPECT_EQ(kr.front().point, 0);
    EXPECT_EQ(kr.back().point, 5);
    const MaskReading rs = parse_mask({"unidade rad/s", "modulo 62.8 629 -100 100"}, "m");
    EXPECT_EQ(mask_constraints(rs.mask, hz, 10).size(), 6u);  // 9.995..100.1 Hz
}

TEST(MaskCheck, MarginsAreTheDistanceToTheNearerLimitPerQuantity) {
    const Sweep sw = sweep_of(true);
    const MaskReading r = parse_mask(
        {"unidade Hz", "modulo 10 10 -0.5 0.25", "modulo 100 1000 -8 -", "atraso 10 10 0 2E-3"}, "m");
    const std::vector<MaskConstraint> k = mask_constraints(r.mask, sw, 10);
    const std::vector<Real> values = constraint_values(k, sw);
    ASSERT_EQ(values.front(), 0);
    MaskCheck nominal = check_mask(k, values, {});
    EXPECT_FALSE(nominal.meets);  // −9 and −10 dB lie below −8
    EXPECT_NEAR(nominal.module.margin, -2, 1e-15);
    EXPECT_FALSE(nominal.module.upper);
    EXPECT_EQ(k[static_cast<std::size_t>(nominal.module.constraint)].point, 10);
    EXPECT_TRUE(nominal.delay.present);
    EXPECT_NEAR(nominal.delay.margin, 1e-3, 1e-15);
    EXPECT_FALSE(nominal.delay.upper);
    EXPECT_EQ(
        mask_check_lines("Resposta nominal", nominal, k, sw),
        (std::vector<std::string>{"* Resposta nominal: não atende à máscara.",
                                  "  módulo: pior margem -2 dB em 1000 Hz (limite inferior, linha 3)",
                                  "  atraso: pior margem 0.001 s em 10 Hz (limite inferior, linha 4)"}));

    const MaskReading ok = parse_mask({"unidade Hz", "modulo 10 10 -0.5 0.25"}, "m");
    const std::vector<MaskConstraint> k1 = mask_constraints(ok.mask, sw, 10);
    const MaskCheck fine = check_mask(k1, constraint_values(k1, sw), {});
    EXPECT_TRUE(fine.meets);
    EXPECT_TRUE(fine.module.upper);
    EXPECT_EQ(fine.module.margin, 0.25L);
    EXPECT_FALSE(fine.delay.present);
    // Widened by a deviation of 0.3 dB the upper limit is crossed.
    const MaskCheck widened = check_mask(k1, constraint_values(k1, sw), {0.3L});
    EXPECT_FALSE(widened.meets);
    EXPECT_NEAR(widened.module.margin, -0.05L, 1e-15);
    EXPECT_EQ(mask_check_lines("Pior caso linear", fine, k1, sw).front(),
              "Pior caso linear: atende à máscara.");
}

TEST(MaskText, ShortNumbersKeepFourSignificantDigits) {
    EXPECT_EQ(short_text(0.412345L), "0.4123");
    EXPECT_EQ(short_text(-1234567), "-1235000");
    EXPECT_EQ(short_text(1.00004e-7L), "1E-7");
    EXPECT_EQ(short_text(0), "0");
}

}  // namespace
}  // namespace analysis
