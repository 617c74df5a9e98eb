#include "viewer/tablereader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "common/scratch_dir.h"
#include "common/textfile.h"

namespace viewer {
namespace {

using Lines = std::vector<std::string>;

struct Reader {
    TableStore store;
    Lines reports;
    Reader() { allocate_slots(store); }
    ReadOutcome read(const std::string& text, const std::string& name = "t.tsp") {
        return read_tables(store, text, name, [this](const std::string& s) { reports.push_back(s); });
    }
};

// A table as the analysis program writes it: CR LF, code page 1252,
// widths 14 and 9 decimals, Ra in 11 and 6.
const std::string kWritten =
    "Desvios estat. dos Polos; Obs: C1 (Re, Im, VRe, VIm, Ra, Rb, Ang)\r\n"
    "  -0.500000000    0.866025404    0.012000000    0.021000000   0.023000    0.009000000   "
    "60.000000000\r\n"
    "  -0.500000000   -0.866025404    0.012000000    0.021000000   0.023000    0.009000000  "
    "-60.000000000\r\n"
    "  -1.000000000    0.000000000    0.030000000    0.000000000   0.030000    0.000000000    "
    "0.000000000\r\n"
    "\r\n";

TEST(TableReader, ReadsATableAsTheAnalysisProgramWritesIt) {
    Reader r;
    const ReadOutcome out = r.read(kWritten, "filtro.tsp");
    EXPECT_EQ(r.reports, Lines({"* Lida tabela no. 1, de pólos", "* Fim do arquivo"}));
    EXPECT_EQ(out.tables, 1);
    EXPECT_FALSE(out.failed);
    const TableSlot& t = r.store.slot(1);
    EXPECT_TRUE(t.is_pole);
    EXPECT_FALSE(t.is_zero);
    EXPECT_EQ(t.name, "filtro.tsp");
    ASSERT_EQ(t.count, 3);
    EXPECT_DOUBLE_EQ(t.entry(1).Im, *round_real48(0.866025404L));
    EXPECT_DOUBLE_EQ(t.entry(2).Ang, -60);
    EXPECT_EQ(t.entry(2).Ra, *round_real48(0.023L));
    EXPECT_DOUBLE_EQ(t.entry(3).VRe, *round_real48(0.03L));
    EXPECT_EQ(r.store.current_table, 1);
    EXPECT_EQ(r.store.current_entry, 1);
    EXPECT_FALSE(r.store.slot(2).in_use());
}

TEST(TableReader, HeadersAndKinds) {
    struct Row {
        std::string text;
        Lines reports;
        bool zero;
    };
    const std::vector<Row> rows = {
        {"Desvios estat. dos Zeros; Saída 5 (Re, Im)\n0 1.5\n",
         {"* Lida tabela no. 1, de zeros", "* Fim do arquivo"},
         true},
        {"Pólos de referência\n-1 0\n", {"* Lida tabela no. 1, de pólos", "* Fim do arquivo"}, false},
        {"Zeros e Polos\n0 1\n", {"* Lida tabela no. 1, de zeros", "* Fim do arquivo"}, true},
        {"free text\nmore text\n\n  Polos\n-1 0\n",
         {"* Lida tabela no. 1, de pólos", "* Fim do arquivo"},
         false},
        {"desvios estat. dos polos\n-1 0 0.1 0.1 0.1 0.1 0\n", {"* Fim do arquivo"}, false},
        {"POLOS\n-1 0\n", {"* Fim do arquivo"}, false},
        {"", {"* Fim do arquivo"}, false},
        {"\n\n   \n", {"* Fim do arquivo"}, false},
        {std::string(260, 'x') + "Pol\n-1 0\n", {"* Fim do arquivo"}, false},  // mark beyond 255
        {std::string(250, 'x') + "Pol\n-1 0\n", {"* Lida tabela no. 1, de pólos", "* Fim do arquivo"}, false},
    };
    for (const Row& row : rows) {
        Reader r;
        r.read(row.text);
        EXPECT_EQ(r.reports, row.reports) << row.text.substr(0, 40);
        if (r.store.slot(1).in_use()) {
            EXPECT_EQ(r.store.slot(1).is_zero, row.zero) << row.text;
        }
    }
}

TEST(TableReader, EntryForms) {
    Reader r;
    r.read(
        "Polos\n"
        "-1 2\n"  // two numbers: no deviations
        "-1.5E-3 2.5e+2 1E-4 2E-4 3E-4 1E-4 45 trailing words\n"
        "-3 4 0.1\n0.2 0.3 0.4 5\n"  // three numbers: the rest from the next line
        "   -4   5   \n"
        "\n");
    const TableSlot& t = r.store.slot(1);
    ASSERT_EQ(t.count, 4);
    EXPECT_EQ(t.entry(1).Re, -1);
    EXPECT_EQ(t.entry(1).VRe, 0);
    EXPECT_EQ(t.entry(1).Ang, 0);
    EXPECT_DOUBLE_EQ(t.entry(2).Re, *round_real48(-1.5e-3L));
    EXPECT_EQ(t.entry(2).Im, 250);
    EXPECT_DOUBLE_EQ(t.entry(2).Ra, *round_real48(3e-4L));
    EXPECT_EQ(t.entry(2).Ang, 45);
    EXPECT_EQ(t.entry(3).VIm, *round_real48(0.2L));
    EXPECT_EQ(t.entry(3).Ang, 5);
    EXPECT_EQ(t.entry(4).Im, 5);
    EXPECT_EQ(r.reports.back(), "* Fim do arquivo");
}

TEST(TableReader, TwoTablesAndAMalformedThird) {
    Reader r;
    const ReadOutcome out =
        r.read(kWritten + "Zeros\n0 1\n0 -1\n\n\nPolos\n-1 0\n-2 x3\n-3 0\n\nPolos\n-1 0\n");
    EXPECT_EQ(r.reports, Lines({"* Lida tabela no. 1, de pólos", "* Lida tabela no. 2, de zeros",
                                "* Formato impróprio."}));
    EXPECT_EQ(out.tables, 2);
    EXPECT_TRUE(out.failed);
    EXPECT_EQ(r.store.slot(2).count, 2);
    EXPECT_FALSE(r.store.slot(3).in_use());  // the malformed table is dropped
    EXPECT_EQ(r.store.current_table, 2);
}

TEST(TableReader, NumbersOutsideTheRealFormatAreMalformed) {
    for (const char* bad : {"1E39 0", "0 -2E38", "1,5 0", "- 1", "0x10 1"}) {
        Reader r;
        r.read(std::string("Polos\n") + bad + "\n");
        EXPECT_EQ(r.reports, Lines({"* Formato impróprio."})) << bad;
    }
    Reader tiny;
    tiny.read("Polos\n1E-40 1\n");
    EXPECT_EQ(tiny.store.slot(1).entry(1).Re, 0);
}

TEST(TableReader, EmptyAndOverlongTablesAreRefusedAndReadingGoesOn) {
    Reader r;
    std::string text = "Polos\n\nZeros\n0 1\n\nPolos\n";
    for (int k = 1; k <= 31; ++k) text += "-" + std::to_string(k) + " 0\n";
    text += "\nPolos\n";
    for (int k = 1; k <= 30; ++k) text += "-" + std::to_string(k) + " 1\n";
    text += "\nZeros\n";
    r.read(text);
    EXPECT_EQ(r.reports,
              Lines({"* Tabela vazia recusada.", "* Lida tabela no. 1, de zeros",
                     "* Tabela com mais de 30 pólos ou zeros recusada.", "* Lida tabela no. 2, de pólos",
                     "* Tabela vazia recusada.", "* Fim do arquivo"}));
    EXPECT_EQ(r.store.slot(2).count, 30);
    EXPECT_EQ(r.store.slot(2).entry(30).Re, -30);
    EXPECT_FALSE(r.store.slot(3).in_use());
}

TEST(TableReader, SlotLimit) {
    Reader r;
    for (int n = 1; n < kSlotCount; ++n) r.store.slot(n).is_pole = true;
    // The last free slot takes the first table; the second finds none.
    r.read("Polos\n-1 0\n\nZeros\n0 1\n");
    EXPECT_EQ(r.reports, Lines({"* Lida tabela no. 1000, de pólos", "* Número máximo de tabelas excedido"}));
    EXPECT_EQ(r.store.current_table, 1000);
    // A file whose only table fills the last slot ends normally.
    Reader last;
    for (int n = 1; n < kSlotCount; ++n) last.store.slot(n).is_zero = true;
    last.read("Polos\n-1 0\n");
    EXPECT_EQ(last.reports, Lines({"* Lida tabela no. 1000, de pólos", "* Fim do arquivo"}));
    last.reports.clear();
    last.read("Polos\n-1 0\n");  // the 1001st table
    EXPECT_EQ(last.reports, Lines({"* Número máximo de tabelas excedido"}));
}

TEST(TableReader, SlotReuseAfterDelete) {
    Reader r;
    for (int k = 0; k < 3; ++k) r.read("Polos\n-1 0\n");
    r.store.current_table = 2;
    delete_current_table(r.store);
    EXPECT_EQ(r.store.current_table, 1);
    r.reports.clear();
    r.read("Zeros\n0 1\n");
    EXPECT_EQ(r.reports.front(), "* Lida tabela no. 2, de zeros");
    EXPECT_EQ(r.store.current_table, 2);
}

// A deviation table of `n` poles as the analysis program writes a set
// longer than a table holds: parts of 30 entries, each under the header.
std::string parts_of_thirty(int n) {
    const std::string header = "Desvios estat. dos Polos; Obs: auto (Re, Im, VRe, VIm, Ra, Rb, Ang)\r\n";
    std::string text = header;
    for (int k = 1; k <= n; ++k) {
        if (k > 1 && (k - 1) % 30 == 0) text += "\r\n" + header;
        text += "-" + std::to_string(k) + " 1 0.1 0.1 0.1 0.05 30\r\n";
    }
    return text + "\r\n";
}

// Every file read is one design: all its tables in one colour, one line of
// the legend; another file, or the same file again, gets another colour.
TEST(TableReader, EveryFileReadHasOneColourAndOneLegendLine) {
    Reader r;
    r.read(parts_of_thirty(45), "cascata.tsp");
    EXPECT_EQ(r.reports,
              Lines({"* Lida tabela no. 1, de pólos", "* Lida tabela no. 2, de pólos", "* Fim do arquivo"}));
    EXPECT_EQ(r.store.slot(1).count, 30);
    EXPECT_EQ(r.store.slot(2).count, 15);
    EXPECT_EQ(r.store.slot(2).entry(15).Re, -45);
    EXPECT_EQ(table_colour(r.store, 1), palette_colour(1));
    EXPECT_EQ(table_colour(r.store, 2), palette_colour(1));
    r.read("Zeros\n0 1\n0 -1\n\nPolos\n-1 0\n", "ref.rpz");  // zeros and poles
    r.read(parts_of_thirty(45), "cascata.tsp");
    EXPECT_EQ(table_colour(r.store, 3), palette_colour(2));
    EXPECT_EQ(table_colour(r.store, 4), palette_colour(2));
    EXPECT_EQ(table_colour(r.store, 5), palette_colour(3));
    EXPECT_EQ(table_colour(r.store, 6), palette_colour(3));
    std::vector<LegendItem> items = legend(r.store);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].name, "cascata.tsp");
    EXPECT_EQ(items[1].name, "ref.rpz");
    EXPECT_EQ(items[2].name, "cascata.tsp");
    EXPECT_EQ(items[1].colour, palette_colour(2));
    EXPECT_EQ(items[2].colour, palette_colour(3));
    EXPECT_TRUE(items[0].poles && !items[0].zeros);
    EXPECT_TRUE(items[1].poles && items[1].zeros);

    // A file whose tables are all deleted leaves the legend and gives its
    // colour to the next file read; one table left keeps the file shown.
    r.store.current_table = 1;
    delete_current_table(r.store);
    items = legend(r.store);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].name, "cascata.tsp");
    r.store.current_table = 2;
    delete_current_table(r.store);
    items = legend(r.store);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].name, "ref.rpz");
    r.read("Polos\n-2 0\n", "novo.rpo");
    EXPECT_EQ(table_colour(r.store, 1), palette_colour(1));
    EXPECT_EQ(legend(r.store).back().name, "novo.rpo");
    EXPECT_EQ(legend(r.store).back().colour, palette_colour(1));
}

// With every colour of the palette in use, the next file takes the one
// the fewest shown files use, the first of them in the palette.
TEST(TableReader, ColoursGoRoundThePalette) {
    Reader r;
    for (int k = 1; k <= kPaletteSize + 2; ++k) r.read("Polos\n-1 0\n", "f" + std::to_string(k) + ".rpo");
    for (int k = 1; k <= kPaletteSize; ++k) EXPECT_EQ(table_colour(r.store, k), palette_colour(k)) << k;
    EXPECT_EQ(table_colour(r.store, kPaletteSize + 1), palette_colour(1));
    EXPECT_EQ(table_colour(r.store, kPaletteSize + 2), palette_colour(2));
    r.store.current_table = 4;
    delete_current_table(r.store);
    r.read("Polos\n-1 0\n", "g.rpo");
    EXPECT_EQ(table_colour(r.store, 4), palette_colour(4));
    r.read("Polos\n-1 0\n", "h.rpo");
    EXPECT_EQ(table_colour(r.store, kPaletteSize + 3), palette_colour(3));
}

class TableFiles : public ::testing::Test {
protected:
    suite::testing::ScratchDir scratch;
    std::filesystem::path dir = scratch.root();
};

TEST_F(TableFiles, FileNamesCompletionAndMissingFiles) {
    EXPECT_EQ(name_without_directory("C:\\dados\\filtro.tsp"), "filtro.tsp");
    EXPECT_EQ(name_without_directory("/home/x/filtro.tsz"), "filtro.tsz");
    EXPECT_EQ(completed_file_name("C:\\dados\\filtro"), "C:\\dados\\filtro.tab");
    EXPECT_EQ(completed_file_name("/a.b/filtro"), "/a.b/filtro.tab");
    EXPECT_EQ(completed_file_name("/a/filtro.tsp"), "/a/filtro.tsp");

    // Code page 1252 and lone CR line ends, as older tools write them.
    {
        std::FILE* f = std::fopen((dir / "design.tab").c_str(), "wb");
        std::fputs("P\xf3los\r-1 0\r-2 0", f);
        std::fclose(f);
    }
    TableStore store;
    allocate_slots(store);
    Lines reports;
    const Report report = [&](const std::string& s) { reports.push_back(s); };
    read_table_file(store, (dir / "design").string(), report);  // ".tab" appended
    read_table_file(store, (dir / "design.tab").string(), report);
    const std::string missing = (dir / "none.tsp").string();
    const ReadOutcome out = read_table_file(store, missing, report);
    EXPECT_TRUE(out.failed);
    EXPECT_EQ(reports,
              Lines({"* Lida tabela no. 1, de pólos", "* Fim do arquivo", "* Lida tabela no. 2, de pólos",
                     "* Fim do arquivo", "* Arquivo " + missing + " inexistente."}));
    EXPECT_EQ(store.slot(1).name, "design.tab");
    EXPECT_EQ(store.slot(2).name, "design.tab");
    EXPECT_EQ(store.slot(2).entry(2).Re, -2);
    EXPECT_NE(table_colour(store, 1), table_colour(store, 2));  // the same file in two colours
    EXPECT_EQ(store.last_file_name, "none.tsp");
    reports.clear();
    read_table_file(store, dir.string() + "/", report);  // a folder is no table file
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].rfind("* Arquivo ", 0), 0u);
}

}  // namespace
}  // namespace viewer
