// morat's noise against ngspice's .noise (examples/reference/noise/*.ref,
// written by examples/reference/make-noise-reference): the output density
// and the input-referred density at every reference point, ten per decade
// of the sweep, for resistors alone and with the op-amps' en and in, with
// gain-bandwidth and ideal op-amps, in the sweep and in the table that
// --noise writes. Each file's header holds the morat command line that
// computes the same densities. (An ideal op-amp is a gain of 1e9 there:
// those cases agree to about 1e-7.)
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/cli/morat_cli.h"
#include "analysis/cli/morat_session.h"
#include "analysis/cli/reference_testing.h"
#include "common/numtext.h"
#include "common/scratch_dir.h"
#include "common/textfile.h"

namespace analysis {
namespace {

namespace fs = std::filesystem;

// The densities of the noise table that --noise wrote: its rows after the
// header, output and input-referred (V/√Hz).
std::vector<std::array<Real, 2>> table_densities(const std::string& path) {
    std::vector<std::array<Real, 2>> rows;
    const std::vector<std::string> lines = suite::read_text_lines(path);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::istringstream words(lines[i]);
        std::string f, out, in;
        if (!(words >> f >> out >> in)) continue;
        std::array<Real, 2> r{};
        EXPECT_TRUE(suite::parse_real(out, r[0]) && suite::parse_real(in, r[1])) << lines[i];
        rows.push_back(r);
    }
    return rows;
}

double ratio(Real a, long double b) { return static_cast<double>(a / b); }

TEST(NoiseAgainstNgspice, OutputAndInputReferredDensitiesAtEveryReferencePoint) {
    const fs::path folder = fs::path(SUITE_SOURCE_DIR) / "examples" / "reference" / "noise";
    suite::testing::ScratchDir dir;
    std::set<std::string> cases;
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".ref") continue;
        const std::string name = entry.path().stem().string();
        SCOPED_TRACE(name);
        cases.insert(name);
        const auto reference = testing::read_reference_rows(entry.path());
        ASSERT_GE(reference.size(), 21u);
        std::vector<std::string> args = testing::header_arguments(entry.path(), "morat examples/", 0);
        const std::string table = dir.path(name + ".rui");
        for (std::size_t i = 0; i + 1 < args.size(); ++i)
            if (args[i] == "--noise") args[i + 1] = table;
        MoratOptions options;
        ASSERT_EQ(parse_morat_options(args, options), "");
        std::ostringstream log, err;
        MoratSession session;
        ASSERT_EQ(analyse_with_morat(options, session, log, err), 0) << err.str();
        const Sweep& sw = *session.sweep;
        const int n = session.circuit->segments;
        const int step = n / static_cast<int>(reference.size() - 1);
        ASSERT_EQ(step * static_cast<int>(reference.size() - 1), n);
        const auto written = table_densities(table);
        ASSERT_EQ(written.size(), static_cast<std::size_t>(n + 1));
        for (std::size_t k = 0; k < reference.size(); ++k) {
            const PointRecord& p = sw.points[k * step];
            const auto& r = reference[k];
            SCOPED_TRACE(static_cast<double>(r[0]));
            EXPECT_NEAR(ratio(p.frequency, r[0]), 1.0, 1e-12);
            const Real t = std::hypot(p.t_re, p.t_im);
            EXPECT_NEAR(ratio(p.noise, r[1]), 1.0, 1e-6);
            EXPECT_NEAR(ratio(p.noise / t, r[2]), 1.0, 1e-6);
            EXPECT_NEAR(ratio(written[k * step][0], r[1]), 1.0, 1e-6);
            EXPECT_NEAR(ratio(written[k * step][1], r[2]), 1.0, 1e-6);
            ++compared;
        }
    }
    const std::set<std::string> expected{"sallen-key-lowpass",
                                         "sallen-key-lowpass-opamps",
                                         "sallen-key-lowpass-ideal",
                                         "sallen-key-lowpass-ideal-opamps",
                                         "mfb-bandpass",
                                         "mfb-bandpass-opamps",
                                         "mfb-bandpass-ideal",
                                         "mfb-bandpass-ideal-opamps",
                                         "tow-thomas-biquad",
                                         "tow-thomas-biquad-opamps",
                                         "lc-notch"};
    EXPECT_EQ(cases, expected);
    EXPECT_EQ(compared, 4 * 41 + 7 * 21);
}

}  // namespace
}  // namespace analysis
