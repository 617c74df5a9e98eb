// The pole/zero run on hostile input: an observer of 0 F, pole and zero
// files that are empty, binary, truncated or hold numbers beyond any real.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/polezero/polezero_testing.h"
#include "common/errors.h"

namespace analysis {
namespace {

using testing::PoleZeroBench;
using namespace std::string_literals;

// A series loop (poles -1 ± j√3) whose last element, the observer after
// "Analisar", is a capacitor of 0 F (an open circuit).
const char* const open_loop = "3\nZ1 0 1 1 1\nR2 1 2 1\nL1 2 3 1\nC1 3 0 0.25\nC2 3 0 0\n";

TEST(PoleZeroHardening, AnObserverOfZeroFaradsIsRefusedBeforeReading) {
    PoleZeroBench b(open_loop, 3);
    ASSERT_EQ(b.engine->observer_element, b.element("C2"));
    EXPECT_FALSE(b.run(true, "1\n-1 1\n"));
    EXPECT_EQ(b.memo, std::vector<std::string>{"O elemento observador não pode ter valor nulo"});
    EXPECT_TRUE(b.requests.empty());  // no file dialog
    // Another observer works on the same circuit.
    b.engine->observer_element = b.element("L1");
    EXPECT_TRUE(b.run(true, "1\n-1 1.7320508075688772935\n"));
    EXPECT_TRUE(b.set->entries[1].valid);
    for (const std::string& line : b.memo) EXPECT_EQ(line.find("NAN"), std::string::npos) << line;
}

struct FileCase {
    std::string text;
    std::string memo_line;  // the line that tells why, or "" when an IoError is expected
};

TEST(PoleZeroHardening, BadFilesAreRefusedWithTheirReason) {
    const std::string refused = "* Arquivo ";
    const FileCase cases[] = {
        {"", " vazio."},
        {" \n\n\t", " vazio."},
        {"3\n-1 1\n-1", " incompleto: 1 de 3 pólos."},  // the file ends inside an entry
        {"99999999999\n-1 1\n", "* 99999999999 pólos no arquivo; o limite é 401."},
        {"2\n-1 1e5000\n-1 -1\n", ""},
        {"1\nnan 1\n", ""},
        {"1\n-1 inf\n", ""},
        {"\x7f"
         "ELF\x02\x01\x01\0\0\0"s,
         ""},
        {"1\n-1\0 1\n"s, ""},
        {"1\n-1 1 " + std::string(5000, '=') + "\n",
         "Calculando desvios..."},  // the rest of a line is ignored
    };
    for (const FileCase& k : cases) {
        SCOPED_TRACE(k.text);
        PoleZeroBench b("3\nZ1 0 1 1 1\nR2 1 2 1\nL1 2 3 1\nC1 3 0 0.25\n", 3);
        if (k.memo_line.empty()) {
            EXPECT_THROW(b.run(true, k.text), suite::IoError);
            continue;
        }
        if (k.memo_line == "Calculando desvios...") {
            EXPECT_TRUE(b.run(true, k.text));
            EXPECT_TRUE(b.has_line(k.memo_line));
            continue;
        }
        EXPECT_FALSE(b.run(true, k.text));
        ASSERT_FALSE(b.memo.empty());
        const std::string& last = b.memo.back();
        EXPECT_EQ(last.substr(last.size() - std::min(last.size(), k.memo_line.size())), k.memo_line);
        EXPECT_FALSE(b.sweep->pz_valid);
    }
}

TEST(PoleZeroHardening, ValuesAtTheEdgeOfTheRangeGiveFiniteDeviations) {
    // Elements as large and as small as the reader takes: the run either
    // refuses the entries or lists finite numbers.
    PoleZeroBench b("2\nZ1 0 1 1e300 1\nL1 1 2 1e-300\nC1 2 0 1e300\n", 2);
    b.engine->observer_element = b.element("C1");
    b.run(true, "2\n-1 1\n-1e300 1e300\n");
    for (int k = 1; k <= b.set->entry_count; ++k) {
        const PoleZeroEntry& e = b.set->entries[k];
        for (Real v : {e.VRe, e.VIm, e.Ra, e.Rb, e.Ang}) EXPECT_TRUE(std::isfinite(v));
    }
    for (const std::string& line : b.memo) {
        EXPECT_EQ(line.find("NAN"), std::string::npos) << line;
        EXPECT_EQ(line.find("INF"), std::string::npos) << line;
    }
}

}  // namespace
}  // namespace analysis
