// The table reader on hostile files: empty, binary, truncated, oversized
// lines and numbers beyond the 48-bit reals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "common/scratch_dir.h"
#include "viewer/tablereader.h"

namespace viewer {
namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

struct Row {
    std::string text;
    Lines reports;
    int tables;
};

ReadOutcome read_file(const std::string& bytes, TableStore& store, Lines& reports) {
    const suite::testing::ScratchDir dir;
    const std::string path = dir.path("hardening.tsp");
    std::ofstream(path, std::ios::binary) << bytes;
    const ReadOutcome out = read_table_file(store, path, [&](const std::string& s) { reports.push_back(s); });
    std::remove(path.c_str());
    return out;
}

TEST(TableReaderHardening, BadFilesGiveTheirReport) {
    const std::string bad = "* Formato impróprio.";
    const std::string end = "* Fim do arquivo";
    const std::string read1 = "* Lida tabela no. 1, de pólos";
    const Row rows[] = {
        {"", {end}, 0},
        // The file ends inside an entry: its missing numbers are not zeros.
        {"Polos\n-1", {bad}, 0},
        {"Polos\n-1 2 0.1 0.2", {bad}, 0},
        {"Polos\n-1 2\n-3 4 0.1 0.2 0.3 0.4\n", {bad}, 0},
        // Numbers no 48-bit real holds.
        {"Polos\n-1 1e5000\n", {bad}, 0},
        {"Polos\n-1 1e300\n", {bad}, 0},
        {"Polos\nnan 1\n", {bad}, 0},
        {"Polos\n-1 inf\n", {bad}, 0},
        // Binary files and NUL bytes.
        {"Polos\n-1 2\0\n"s, {bad}, 0},
        {"\x7f"
         "ELF\x02\x01\x01\0\0\0Pol\0"s,
         {bad},
         0},
        // Long lines: entries keep their numbers, the rest is skipped.
        {"Polos " + std::string(1000, '=') + "\n-1 2 0 0 0 0 0 " + std::string(4000, 'x') + "\n",
         {read1, end},
         1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.substr(0, 30));
        TableStore store;
        allocate_slots(store);
        Lines reports;
        const ReadOutcome out = read_file(row.text, store, reports);
        EXPECT_EQ(reports, row.reports);
        EXPECT_EQ(out.tables, row.tables);
        EXPECT_EQ(first_free_slot(store), row.tables + 1);
    }
}

TEST(TableReaderHardening, ATruncatedEntryDropsOnlyItsTable) {
    TableStore store;
    allocate_slots(store);
    Lines reports;
    const ReadOutcome out = read_file("Zeros\r\n0 1\r\n0 -1\r\n\r\nPolos\r\n-1 0\r\n-2", store, reports);
    EXPECT_EQ(reports, (Lines{"* Lida tabela no. 1, de zeros", "* Formato impróprio."}));
    EXPECT_EQ(out.tables, 1);
    EXPECT_TRUE(out.failed);
    EXPECT_EQ(store.slot(1).count, 2);
    EXPECT_FALSE(store.slot(2).in_use());
}

}  // namespace
}  // namespace viewer
