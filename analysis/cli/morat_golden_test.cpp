// morat's whole output on two examples, byte for byte: the log on
// standard output (description, output node, dynamic range, sensitivity
// list, confirmation) and the response table (header, widths, CR LF,
// final empty line). The expected files are in testdata/; "@TAB@" in a
// log stands for the table's path.
#include <gtest/gtest.h>

#include <sstream>

#include "analysis/cli/morat_cli.h"
#include "common/scratch_dir.h"
#include "common/textfile.h"

namespace analysis {
namespace {

using Args = std::vector<std::string>;

std::string testdata(const std::string& name) { return std::string(SUITE_TEST_DIR) + "/testdata/" + name; }
std::string example(const std::string& name) { return std::string(SUITE_SOURCE_DIR) + "/examples/" + name; }

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

void expect_golden_run(const std::string& golden, Args args) {
    const suite::testing::ScratchDir dir;
    const std::string table = dir.path(golden + ".tab");
    args.push_back("--tab");
    args.push_back(table);
    std::ostringstream out, err;
    ASSERT_EQ(morat_main(args, out, err), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(out.str(), replace_all(suite::read_file_bytes(testdata(golden + ".log")), "@TAB@", table));
    EXPECT_EQ(suite::read_file_bytes(table), suite::read_file_bytes(testdata(golden + ".tab")));
}

TEST(MoratGolden, SallenKeyLogarithmicInHertz) {
    expect_golden_run("sallen-key",
                      {example("sallen-key-lowpass"), "--hz", "--fmin", "100", "--fmax", "10000",
                       "--segments", "4", "--output", "4", "--listed", "2", "--variability", "0.01",
                       "--element-variability", "C1=0.02", "--range", "--sensitivities", "2"});
}

TEST(MoratGolden, TowThomasLinearNormalisedNarrowFormat) {
    expect_golden_run("tow-thomas", {example("tow-thomas-biquad.net"),
                                     "--hz",
                                     "--linear",
                                     "--fmin",
                                     "500",
                                     "--fmax",
                                     "2000",
                                     "--segments",
                                     "6",
                                     "--output",
                                     "3",
                                     "--listed",
                                     "5",
                                     "--normalise",
                                     "--width",
                                     "12",
                                     "--decimals",
                                     "6",
                                     "--range",
                                     "--sensitivities",
                                     "2"});
}

// Values that a reader of the golden files can check by hand.
TEST(MoratGolden, TowThomasCentreIsUnityInvertingWithQOfFive) {
    const std::string log = suite::read_file_bytes(testdata("tow-thomas.log"));
    EXPECT_NE(log.find("S(T,RIN):    -1.000000     0.000000j"), std::string::npos);  // gain -RQ/RIN
    EXPECT_NE(log.find("S(T,RQ):     1.000000     0.000000j"), std::string::npos);
    EXPECT_NE(log.find("S(T,s):    -0.000036   -10.000000j"), std::string::npos);  // dφ/dlnω = -2Q
    EXPECT_NE(log.find("AtGr    0.001592 s"), std::string::npos);                  // 2Q/ω0
    const std::string sk = suite::read_file_bytes(testdata("sallen-key.log"));
    EXPECT_NE(sk.find("Modl  -3.010353050 dB"), std::string::npos);  // Butterworth corner
}

}  // namespace
}  // namespace analysis
