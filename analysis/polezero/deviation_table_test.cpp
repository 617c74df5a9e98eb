// The deviation table: header, entry lines, bytes on disk.
#include "analysis/polezero/deviation_table.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "common/errors.h"
#include "common/textfile.h"

namespace analysis {
namespace {

constexpr Real pi = 3.141592653589793238462643383279502884L;

PoleZeroSet five_entries_three_valid() {
    PoleZeroSet set;
    set.entry_count = 5;
    for (int k = 1; k <= 5; ++k) {
        PoleZeroEntry& e = set.entries[k];
        e.Re = -0.5 * k;
        e.Im = k % 2 ? 0.866 : -0.866;
        e.VRe = 0.01;
        e.VIm = 0.02;
        e.Ra = 0.0223456789;
        e.Rb = 0.005;
        e.Ang = pi / 4;
        e.valid = k != 2 && k != 4;
    }
    return set;
}

TEST(DeviationTable, Headers) {
    EXPECT_EQ(deviation_table_header(true, "C1", 3),
              "Desvios estat. dos Polos; Obs: C1 (Re, Im, VRe, VIm, Ra, Rb, Ang)");
    EXPECT_EQ(deviation_table_header(false, "C1", 12),
              "Desvios estat. dos Zeros; Saída 12 (Re, Im, VRe, VIm, Ra, Rb, Ang)");
}

TEST(DeviationTable, EntryLineWidthsFollowTheParametersExceptRa) {
    PoleZeroEntry e;
    e.Re = -0.5;
    e.Im = 0.866025403784;
    e.VRe = 0.001;
    e.VIm = 1234.5;
    e.Ra = 0.0123456789;
    e.Rb = 0;
    e.Ang = -pi / 2;
    EXPECT_EQ(deviation_table_line(e, 14, 9),
              "  -0.500000000    0.866025404    0.001000000 1234.500000000    0.012346 "
              "   0.000000000  -90.000000000");
    EXPECT_EQ(deviation_table_line(e, 8, 3),
              "  -0.500    0.866    0.001 1234.500    0.012346    0.000  -90.000");
}

TEST(DeviationTable, FileBytesForThreeValidEntriesOutOfFive) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("polezero_table_test_" + std::to_string(::getpid()) + ".tsp"))
                                 .string();
    const PoleZeroSet set = five_entries_three_valid();
    write_deviation_table(path, deviation_table_lines(set, true, "C1", 1, 14, 9));
    const std::string line_tail =
        "    0.010000000    0.020000000    0.022346    0.005000000   45.000000000\r\n";
    const std::string expected =
        "Desvios estat. dos Polos; Obs: C1 (Re, Im, VRe, VIm, Ra, Rb, Ang)\r\n"
        "  -0.500000000    0.866000000" +
        line_tail + "  -1.500000000    0.866000000" + line_tail + "  -2.500000000    0.866000000" +
        line_tail + "\r\n";
    EXPECT_EQ(suite::read_file_bytes(path), expected);

    write_deviation_table(path, deviation_table_lines(set, false, "", 12, 14, 9));
    const std::string bytes = suite::read_file_bytes(path);
    EXPECT_EQ(bytes.substr(0, 29), "Desvios estat. dos Zeros; Sa\xED");
    std::filesystem::remove(path);
}

TEST(DeviationTable, MoreEntriesThanTheViewerHoldsInATableMakeSeveralTables) {
    PoleZeroSet set;
    set.entry_count = 65;
    for (int k = 1; k <= set.entry_count; ++k) {
        set.entries[k].Re = -k;
        set.entries[k].valid = k != 3;  // 64 valid: 30, 30 and 4
    }
    const auto lines = deviation_table_lines(set, true, "C1", 0, 14, 9);
    const std::string header = deviation_table_header(true, "C1", 0);
    ASSERT_EQ(lines.size(), 64u + 3 * 2);
    EXPECT_EQ(lines[0], header);
    EXPECT_EQ(lines[31], "");
    EXPECT_EQ(lines[32], header);
    EXPECT_EQ(lines[63], "");
    EXPECT_EQ(lines[64], header);
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(lines[30], deviation_table_line(set.entries[31], 14, 9));  // the 30th valid one
    EXPECT_EQ(lines[33], deviation_table_line(set.entries[32], 14, 9));
    // Exactly 30 stay one table.
    set.entry_count = 31;
    EXPECT_EQ(deviation_table_lines(set, true, "C1", 0, 14, 9).size(), 32u);
}

TEST(DeviationTable, NoValidEntryLeavesHeaderAndEmptyLine) {
    PoleZeroSet set = five_entries_three_valid();
    for (auto& e : set.entries) e.valid = false;
    const auto lines = deviation_table_lines(set, true, "R2", 1, 14, 9);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "");
}

TEST(DeviationTable, AnUnwritableTargetIsAnInputOutputError) {
    EXPECT_THROW(write_deviation_table("/nonexistent-folder/x.tsp", {"a"}), suite::IoError);
}

}  // namespace
}  // namespace analysis
