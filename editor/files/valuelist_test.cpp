#include "editor/files/valuelist.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/errors.h"
#include "editor/files/testdir.h"

namespace editor {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(ValueList, ReadsNamesInUpperCaseAndListsThem) {
    testing::TestDir dir;
    const std::string file = dir.write("f.val", "r1 1000 ohms\r\nCa 4.7e-9\r\n\r\nfc 1E3\n");
    ValueList values;
    std::vector<std::string> lines;
    ASSERT_TRUE(read_value_list(file, values, collect_into(lines)));
    EXPECT_THAT(lines, ElementsAre("Reading file " + file, "Value list:", "R1: 1E+3", "CA: 4.7E-9",
                                   "FC: 1E+3", "--//--"));
    EXPECT_EQ(find_value(values, "CA"), 2);
    EXPECT_EQ(find_value(values, "ca"), 0);
    EXPECT_EQ(values.entry[3].value, 1000.0);
}

TEST(ValueList, MissingFileKeepsTheList) {
    testing::TestDir dir;
    ValueList values;
    values.entry[1] = {"A", 1};
    values.count = 1;
    std::vector<std::string> lines;
    EXPECT_FALSE(read_value_list(dir.path("none.val"), values, collect_into(lines)));
    EXPECT_THAT(lines, ElementsAre("* File " + dir.path("none.val") + " inexistent"));
    EXPECT_EQ(values.count, 1);
}

TEST(ValueList, KeepsTheFirst200Entries) {
    testing::TestDir dir;
    std::string text;
    for (int i = 1; i <= 201; ++i) text += "V" + std::to_string(i) + " " + std::to_string(i) + "\r\n";
    ValueList values;
    std::vector<std::string> lines;
    read_value_list(dir.write("big.val", text), values, collect_into(lines));
    EXPECT_EQ(values.count, 200);
    EXPECT_EQ(values.entry[200].name, "V200");
    EXPECT_EQ(lines.size(), 1u + 1 + 200 + 1);
}

TEST(ValueList, NameEndsAtFiveCharactersOrABlankAndRunsOverLineEnds) {
    testing::TestDir dir;
    ValueList values;
    std::vector<std::string> lines;
    read_value_list(dir.write("n.val", "abcde 1\nAB\nC 2\nx\t3\n"), values, collect_into(lines));
    ASSERT_EQ(values.count, 3);
    EXPECT_EQ(values.entry[1].name, "ABCDE");
    EXPECT_EQ(values.entry[2].name, "ABC");  // the name alone on its line runs on
    EXPECT_EQ(values.entry[2].value, 2.0);
    EXPECT_EQ(values.entry[3].name, "X");
    EXPECT_EQ(values.entry[3].value, 3.0);
}

TEST(ValueList, MalformedNumberStopsWithTheFileAndLineKeepingEarlierEntries) {
    testing::TestDir dir;
    const struct {
        const char* text;
        int kept;
        const char* where;
    } rows[] = {
        {"A 1\r\nB 1k\r\nC 3\r\n", 1, "on line 2"},
        {"A 1\nLONGNAME 2\n", 1, "on line 2"},  // "AME" is read as the number
        {"A 1e999\n", 0, "on line 1"},          // beyond a 64-bit real
        {"A 1\n\n\nB ,5\n", 1, "on line 4"},
    };
    for (const auto& row : rows) {
        const std::string file = dir.write("bad.val", row.text);
        ValueList values;
        std::vector<std::string> lines;
        try {
            read_value_list(file, values, collect_into(lines));
            ADD_FAILURE() << row.text;
        } catch (const suite::IoError& e) {
            EXPECT_THAT(e.what(), HasSubstr(file)) << row.text;
            EXPECT_THAT(e.what(), HasSubstr(row.where)) << row.text;
        }
        EXPECT_EQ(values.count, row.kept) << row.text;
    }
}

}  // namespace
}  // namespace editor
