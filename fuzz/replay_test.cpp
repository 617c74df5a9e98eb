// Every fuzz target on its kept corpus and on every input that once found a
// fault: no crash, no sanitizer report, no failed check (a failed check
// aborts the test program).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "fuzz/fuzz_support.h"

namespace {

namespace fs = std::filesystem;
using Target = int (*)(const std::uint8_t*, std::size_t);

std::vector<fs::path> inputs_of(const std::string& target) {
    std::vector<fs::path> files;
    for (const char* folder : {"corpus", "crashes"}) {
        const fs::path dir = fs::path(SUITE_TEST_DIR) / folder / target;
        std::error_code ec;
        for (const auto& f : fs::directory_iterator(dir, ec))
            if (f.is_regular_file()) files.push_back(f.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::size_t replay(const std::string& target, Target run) {
    const auto files = inputs_of(target);
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.string());
        std::ifstream in(f, std::ios::binary);
        const std::string bytes(std::istreambuf_iterator<char>(in), {});
        EXPECT_EQ(run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0);
    }
    return files.size();
}

struct TargetCase {
    const char* name;
    Target run;
};

void PrintTo(const TargetCase& c, std::ostream* os) { *os << c.name; }

class FuzzReplay : public ::testing::TestWithParam<TargetCase> {};

TEST_P(FuzzReplay, KeptInputsRunCleanly) {
    // Each target keeps its seeds: an empty folder means a lost corpus.
    EXPECT_GT(replay(GetParam().name, GetParam().run), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, FuzzReplay,
    ::testing::Values(TargetCase{"netlist", fuzz_netlist}, TargetCase{"polezero_file", fuzz_polezero_file},
                      TargetCase{"tables", fuzz_tables}, TargetCase{"circuit_file", fuzz_circuit_file},
                      TargetCase{"formula", fuzz_formula}, TargetCase{"spice", fuzz_spice}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
