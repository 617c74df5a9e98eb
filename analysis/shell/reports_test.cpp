// The dynamic-range report and the response table, byte for byte.
#include "analysis/shell/reports.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/engine/engine_testing.h"
#include "common/errors.h"
#include "common/textfile.h"

namespace analysis::testing {
namespace {

// A divider (T = 0.5, no reactance) and a node that nothing excites.
const char* const divider = "3\nV1 1 0 1\nR1 1 2 1E3\nR2 2 0 1E3\nR3 3 0 1E3\n";

std::string temp_path(const std::string& name) {
    return (std::filesystem::path(::testing::TempDir()) / name).string();
}

TEST(ResponseTable, ExactBytes) {
    Analysis a(divider, 2);
    a.sw->scale_min[0] = 1;
    a.sw->scale_max[0] = 100;
    a.c->segments = 2;
    reset_sweep(*a.c, *a.e, *a.sw, a.log);
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    const std::string path = temp_path("divider.tab");
    std::filesystem::remove(path);
    a.lines.clear();
    ASSERT_TRUE(save_response_table(path, *a.c, *a.sw, a.s, a.log));
    // Module 20·log10(0.5); phase from the 1e-10 replacement of a zero
    // imaginary part; module deviation 20/ln 10 · 0.05 · √(0.5²+0.5²).
    const std::string rest =
        "  -6.020599913    0.000000011    0.000000000    0.307092573    0.000000000"
        "   -6.327692486   -5.713507340    0.000000011    0.000000011\r\n";
    const std::string want =
        "# Resp. em freq. (rad/s):Saida 2; Dsv. normais (Frq, Mod, Fas, Atr, VeM, VeF, Mod-VeM, Mod+Vem, "
        "Fas-Vef, Fas+Vef)\r\n"
        "   1.000000000 " + rest +
        "  10.000000000 " + rest +
        " 100.000000000 " + rest + "\r\n";
    EXPECT_EQ(suite::read_file_bytes(path), want);
    EXPECT_EQ(a.lines, std::vector<std::string>{"Tabela de resposta em frequência salva no arquivo " + path});
}

TEST(ResponseTable, HeaderVariantsAndNarrowFormat) {
    Analysis a(divider, 2);
    a.sw->hertz_units = true;
    a.sw->scale_min[0] = 50;
    a.sw->scale_max[0] = 200;
    a.sw->log_scale = false;
    a.c->segments = 2;
    reset_sweep(*a.c, *a.e, *a.sw, a.log);
    a.s.normalise_by_slope = true;
    a.s.number_width = 6;
    a.s.number_decimals = 1;
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    const std::vector<std::string> lines = response_table_lines(*a.c, *a.sw, a.s);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0],
              "# Resp. em freq. (Hz):Saida 2; Dsv. norm. p/incl. (Frq, Mod, Fas, Atr, VeM, VeF, Mod-VeM, "
              "Mod+Vem, Fas-Vef, Fas+Vef)");
    EXPECT_EQ(lines[1], "  50.0   -6.0    0.0    0.0    0.3    0.0   -6.3   -5.7    0.0    0.0");
    EXPECT_EQ(lines[2].substr(0, 7), " 125.0 ");
    EXPECT_EQ(lines[4], "");
}

TEST(DynamicRange, ReportLines) {
    Analysis a(divider, 2);
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    a.lines.clear();
    ASSERT_TRUE(dynamic_range_report(*a.c, *a.sw, a.s, a.log));
    EXPECT_EQ(a.lines, (std::vector<std::string>{
                           "",
                           "Extremos de nível de sinal nos nós, entre    0.200000000 e    5.000000000 rad/s",
                           "Min(1):    1.000000000 Max(1):    1.000000000",
                           "Min(2):    0.500000000 Max(2):    0.500000000",
                           "Min(3):    0.000000000 Max(3):    0.000000000",
                       }));
}

TEST(Reports, NothingBeforeASweepHasFinished) {
    Analysis a(divider, 2);
    const std::string path = temp_path("never.tab");
    std::filesystem::remove(path);
    EXPECT_FALSE(dynamic_range_report(*a.c, *a.sw, a.s, a.log));
    EXPECT_FALSE(save_response_table(path, *a.c, *a.sw, a.s, a.log));
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    forget_response(*a.sw);  // another netlist read since
    EXPECT_FALSE(save_response_table(path, *a.c, *a.sw, a.s, a.log));
    EXPECT_FALSE(std::filesystem::exists(path));
    a.lines.clear();
    ASSERT_TRUE(start_analysis(*a.c, *a.e, *a.sw, a.s, 2, 1, a.log));
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    pan_frequency_down(*a.c, *a.e, *a.sw);  // half the points vacated until the next sweep
    EXPECT_FALSE(save_response_table(path, *a.c, *a.sw, a.s, a.log));
    EXPECT_EQ(a.lines, std::vector<std::string>{"Nó de saída: 2"});
}

TEST(Reports, AnUnwritableTableThrowsAndLogsNothing) {
    Analysis a(divider, 2);
    ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    a.lines.clear();
    EXPECT_THROW(save_response_table(temp_path("no/such/folder/x.tab"), *a.c, *a.sw, a.s, a.log), suite::IoError);
    EXPECT_TRUE(a.lines.empty());
}

}  // namespace
}  // namespace analysis::testing
