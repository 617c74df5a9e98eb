// The circuit file and the value list on hostile input: empty, truncated,
// binary, oversized files and numbers beyond any real each give a clear
// message; what was read before the fault stays.
#include <gtest/gtest.h>

#include <cmath>

#include "common/errors.h"
#include "editor/files/circuitfile.h"
#include "editor/files/testdir.h"
#include "editor/files/valuelist.h"

namespace editor {
namespace {

using namespace std::string_literals;

struct Case {
    std::string text;
    std::string error;  // the IoError's message with FILE for the path, or "" when none
    int count;          // elements or entries read
};

std::string with_path(std::string message, const std::string& path) {
    const std::size_t at = message.find("FILE");
    if (at != std::string::npos) message.replace(at, 4, path);
    return message;
}

TEST(CircuitFileHardening, BadFilesStopWithTheirMessage) {
    const Case cases[] = {
        {"", "", 0},
        {"\r\n\r\n  \t\r\n", "", 0},
        {"R1 16705", "Missing point in file \"FILE\" on line 1", 0},
        {"R1 16705 16449 1\r\nC1 16705 ", "Missing point in file \"FILE\" on line 2", 1},
        {"R1 16705 1e5000 1\r\n", "Invalid number \"1e5000\" in file \"FILE\" on line 1", 0},
        {"R1 16705 nan 1\r\n", "Invalid number \"nan\" in file \"FILE\" on line 1", 0},
        {"R1 99999999999 16449 1\r\n", "Invalid point \"99999999999\" in file \"FILE\" on line 1", 0},
        {"R1 -16705 16449 1\r\n", "Invalid point \"-16705\" in file \"FILE\" on line 1", 0},
        {"R1 16705 16449 1\r\nR2 16705\0 16449 1\r\n"s,
         "Not a text file: NUL character in file \"FILE\" on line 2", 0},
        {"\x7f"
         "ELF\x02\x01\x01\0\0\0\0"s,
         "Not a text file: NUL character in file \"FILE\" on line 1", 0},
        {std::string(300, 'R') + "\r\n",
         "Invalid number \"" + std::string(295, 'R') + "\" in file \"FILE\" on line 1", 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text.substr(0, 40));
        testing::TestDir dir;
        const std::string path = dir.write("bad.cir", k.text);
        Circuit c;
        std::vector<std::string> lines;
        std::string error;
        try {
            EXPECT_EQ(read_circuit(path, c, collect_into(lines)), CircuitRead::read);
        } catch (const suite::IoError& e) {
            error = e.what();
        }
        EXPECT_EQ(error, with_path(k.error, path));
        EXPECT_EQ(c.count, k.count);
    }
}

TEST(CircuitFileHardening, LongLinesKeepTheirFirstTwoHundredCharacters) {
    testing::TestDir dir;
    const std::string path =
        dir.write("long.cir", "R1 16705 16449 " + std::string(5000, 'k') + "\r\nC1 16705 16449 1\r\n");
    Circuit c;
    std::vector<std::string> lines;
    ASSERT_EQ(read_circuit(path, c, collect_into(lines)), CircuitRead::read);
    ASSERT_EQ(c.count, 2);
    EXPECT_EQ(c.element[1].parameters, std::string(200, 'k'));
    EXPECT_EQ(c.element[2].name, "C1");
}

TEST(ValueListHardening, BadFilesStopWithTheirMessage) {
    const Case cases[] = {
        {"", "", 0},
        {"\r\n \r\n", "", 0},
        {"R1 1e3\r\nC1", "Missing number after \"C1\" in file \"FILE\" on line 2", 1},
        {"R1 1e3\r\nC1 \r\n", "Missing number after \"C1\" in file \"FILE\" on line 3", 1},
        {"X 1e5000\r\n", "Invalid number \"1e5000\" in file \"FILE\" on line 1", 0},
        {"X 1e400\r\n", "Invalid number \"1e400\" in file \"FILE\" on line 1", 0},
        {"X nan\r\n", "Invalid number \"nan\" in file \"FILE\" on line 1", 0},
        {"X -inf\r\n", "Invalid number \"-inf\" in file \"FILE\" on line 1", 0},
        {"X 1\0\r\n"s, "Not a text file: NUL character in file \"FILE\" on line 1", 0},
        {"X 1 " + std::string(1000, '#') + "\r\nY 2\r\n", "", 2},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text.substr(0, 40));
        testing::TestDir dir;
        const std::string path = dir.write("bad.val", k.text);
        ValueList values;
        std::vector<std::string> lines;
        std::string error;
        try {
            EXPECT_TRUE(read_value_list(path, values, collect_into(lines)));
        } catch (const suite::IoError& e) {
            error = e.what();
        }
        EXPECT_EQ(error, with_path(k.error, path));
        EXPECT_EQ(values.count, k.count);
        for (int i = 1; i <= values.count; ++i) EXPECT_TRUE(std::isfinite(values.entry[i].value));
    }
}

}  // namespace
}  // namespace editor
