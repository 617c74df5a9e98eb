// Reading pole and zero files: counts, entry layout, short and long files.
#include "analysis/polezero/polezero_file.h"

#include <gtest/gtest.h>

#include "common/errors.h"

namespace analysis {
namespace {

using Status = PoleZeroFile::Status;

PoleZeroFile read(const std::string& text, int capacity = 1000) {
    suite::TextScanner in(text);
    return read_pole_zero_file(in, "t.r", capacity);
}

TEST(PoleZeroFile, AcceptedLayouts) {
    struct Row {
        const char* text;
        std::vector<PoleZeroPoint> points;
    };
    const std::vector<Row> rows{
        {"2\n-0.5 0.866\n-0.5 -0.866\n", {{-0.5L, 0.866L}, {-0.5L, -0.866L}}},
        // the first entry on the count's line; the rest of a line ignored
        {"2 -1 0 comentário\n-2.5E3 1e-2 99 99\n", {{-1, 0}, {-2500, 0.01L}}},
        // parts separated by line ends, CR LF and tabs
        {"1\r\n\t-3\r\n4\r\n", {{-3, 4}}},
        // no line end after the last entry
        {"1\n-7 8", {{-7, 8}}},
        {"0\n", {}},
        {"-3\n1 2\n", {}},
    };
    for (const Row& row : rows) {
        const PoleZeroFile f = read(row.text);
        ASSERT_EQ(f.status, Status::ok) << row.text;
        ASSERT_EQ(f.points.size(), row.points.size()) << row.text;
        EXPECT_EQ(f.count, static_cast<long long>(row.points.size()));
        for (std::size_t k = 0; k < row.points.size(); ++k) {
            EXPECT_EQ(f.points[k].re, row.points[k].re) << row.text;
            EXPECT_EQ(f.points[k].im, row.points[k].im) << row.text;
        }
    }
}

TEST(PoleZeroFile, ACountBeyondTheStorageIsRefusedBeforeAnyEntry) {
    const PoleZeroFile f = read("3\n1 2\n3 4\n5 6\n", 2);
    EXPECT_EQ(f.status, Status::too_many);
    EXPECT_EQ(f.count, 3);
    EXPECT_TRUE(f.points.empty());
    EXPECT_EQ(read("2\n1 2\n3 4\n", 2).status, Status::ok);
}

TEST(PoleZeroFile, FewerEntriesThanAnnouncedIsShort) {
    for (const char* text : {"3\n1 2\n3 4\n", "2\n1 2\n3\n", "2\n1 2\n  \n\n", "1"}) {
        const PoleZeroFile f = read(text);
        EXPECT_EQ(f.status, Status::too_short) << text;
    }
    EXPECT_EQ(read("3\n1 2\n3 4\n").points.size(), 2u);
}

TEST(PoleZeroFile, TextWhereANumberBelongsIsAnInputError) {
    for (const char* text : {"dois\n1 2\n", "2.5\n1 2\n", "2\n1 2\n3 quatro\n", "1\n1,5 2\n"}) {
        EXPECT_THROW(read(text), suite::IoError) << text;
    }
    try {
        read("2\n1 2\nx 4\n");
    } catch (const suite::IoError& e) {
        EXPECT_NE(std::string(e.what()).find("t.r"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("3"), std::string::npos);
    }
}

}  // namespace
}  // namespace analysis
