// Every example circuit against the response that ngspice computed for it
// (examples/reference/*.ref, written by examples/reference/make-reference).
// Each example is swept as its header's morat command line says; the
// reference frequencies, ten per decade, are points of that sweep.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "analysis/cli/morat_cli.h"
#include "analysis/cli/morat_session.h"
#include "analysis/cli/reference_testing.h"

namespace analysis {
namespace {

namespace fs = std::filesystem;

struct ReferencePoint {
    double frequency, module, phase;
};

std::vector<ReferencePoint> read_reference(const fs::path& path) {
    std::vector<ReferencePoint> points;
    for (const auto& r : testing::read_reference_rows(path))
        points.push_back({static_cast<double>(r[0]), static_cast<double>(r[1]), static_cast<double>(r[2])});
    return points;
}

// The arguments of the header line "*   morat examples/NAME ...".
std::vector<std::string> header_arguments(const fs::path& netlist) {
    return testing::header_arguments(netlist, "morat examples/", 0);
}

double phase_difference(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

TEST(ExamplesAgainstNgspice, ModuleAndPhaseAtEveryReferencePoint) {
    const fs::path examples = fs::path(SUITE_SOURCE_DIR) / "examples";
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(examples)) {
        if (entry.path().extension() != ".net") continue;
        const std::string name = entry.path().stem().string();
        SCOPED_TRACE(name);
        const auto reference = read_reference(examples / "reference" / (name + ".ref"));
        ASSERT_GE(reference.size(), 20u);
        MoratOptions options;
        ASSERT_EQ(parse_morat_options(header_arguments(entry.path()), options), "");
        std::ostringstream log, err;
        MoratSession session;
        ASSERT_EQ(analyse_with_morat(options, session, log, err), 0) << err.str();
        const Sweep& sw = *session.sweep;
        const int n = session.circuit->segments;
        const int step = n / static_cast<int>(reference.size() - 1);
        ASSERT_EQ(step * static_cast<int>(reference.size() - 1), n);
        for (std::size_t k = 0; k < reference.size(); ++k) {
            const PointRecord& p = sw.points[k * step];
            const ReferencePoint& r = reference[k];
            EXPECT_NEAR(static_cast<double>(p.frequency) / r.frequency, 1.0, 1e-12);
            EXPECT_NEAR(static_cast<double>(p.module), r.module, 1e-6) << "at " << r.frequency;
            EXPECT_LT(phase_difference(static_cast<double>(p.phase), r.phase), 1e-5) << "at " << r.frequency;
            ++compared;
        }
    }
    EXPECT_GE(compared, 300);
}

}  // namespace
}  // namespace analysis
