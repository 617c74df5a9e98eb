// morat --spice on the decks of examples/spice against the responses that
// ngspice computed from the same decks (examples/spice/reference/*.ref,
// written by examples/spice/make-reference), and the round trip of
// examples rewritten as SPICE decks.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "analysis/cli/morat_cli.h"
#include "analysis/cli/morat_session.h"
#include "analysis/cli/reference_testing.h"
#include "common/textfile.h"

namespace analysis {
namespace {

namespace fs = std::filesystem;

const fs::path examples = fs::path(SUITE_SOURCE_DIR) / "examples";

struct ReferencePoint {
    long double frequency, re, im;
};

std::vector<ReferencePoint> read_reference(const fs::path& path) {
    std::vector<ReferencePoint> points;
    for (const auto& r : testing::read_reference_rows(path)) points.push_back({r[0], r[1], r[2]});
    return points;
}

// The arguments of the deck's header line "*   morat --spice examples/...".
std::vector<std::string> header_arguments(const fs::path& deck) {
    return testing::header_arguments(deck, "morat --spice ", 1);
}

fs::path scratch(const std::string& test) {
    const fs::path dir =
        fs::path(::testing::TempDir()) / ("morat-spice-" + test + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// Every point of the deck's own sweep against ngspice: the same
// frequencies, and the node voltage within 1e-9 of its size.
TEST(SpiceDecksAgainstNgspice, EveryPointOfTheirOwnSweep) {
    const fs::path dir = scratch("reference");
    int decks = 0, compared = 0;
    long double worst = 0;
    for (const auto& entry : fs::directory_iterator(examples / "spice")) {
        if (entry.path().extension() != ".cir") continue;
        const std::string name = entry.path().stem().string();
        SCOPED_TRACE(name);
        const auto reference = read_reference(examples / "spice" / "reference" / (name + ".ref"));
        ASSERT_GE(reference.size(), 20u);
        std::vector<std::string> args = header_arguments(entry.path());
        ASSERT_GE(args.size(), 4u);
        args.push_back("--netlist-out");
        args.push_back((dir / (name + ".net")).string());
        MoratOptions options;
        ASSERT_EQ(parse_morat_options(args, options), "");
        std::ostringstream log, err;
        MoratSession session;
        ASSERT_EQ(analyse_with_morat(options, session, log, err), 0) << err.str();
        ASSERT_EQ(session.circuit->segments + 1, static_cast<int>(reference.size()));
        long double deck_worst = 0;
        for (std::size_t k = 0; k < reference.size(); ++k) {
            const PointRecord& p = session.sweep->points[k];
            const ReferencePoint& r = reference[k];
            EXPECT_NEAR(static_cast<double>(p.frequency / r.frequency), 1.0, 1e-12);
            const long double size = std::hypot(r.re, r.im);
            const long double off = std::hypot(p.t_re - r.re, p.t_im - r.im) / size;
            worst = std::max(worst, off);
            deck_worst = std::max(deck_worst, off);
            EXPECT_LT(static_cast<double>(off), 1e-9) << "at " << static_cast<double>(r.frequency) << " Hz";
            ++compared;
        }
        std::cout << name << ": " << reference.size() << " points, largest relative difference from ngspice "
                  << static_cast<double>(deck_worst) << '\n';
        ++decks;
    }
    EXPECT_EQ(decks, 4);
    EXPECT_GE(compared, 500);
    std::cout << "largest relative difference from ngspice: " << static_cast<double>(worst) << '\n';
    fs::remove_all(dir);
}

// The decks of the translator's own forms (analysis/spice/testdata:
// temperatures, keyword sources, constant and polynomial sources, many
// coupled inductors, ports, op-amps replaced by --opamp) against ngspice
// on the same decks (with the replaced op-amp written there as the same
// gain-bandwidth model): every point within 1e-9 of its size.
TEST(SpiceDecksAgainstNgspice, EveryFormOfTheTranslator) {
    const fs::path testdata = fs::path(SUITE_SOURCE_DIR) / "analysis" / "spice" / "testdata";
    const fs::path dir = scratch("forms");
    int decks = 0;
    long double worst = 0;
    for (const auto& entry : fs::directory_iterator(testdata)) {
        const std::string name = entry.path().stem().string();
        if (entry.path().extension() != ".cir" || name.find('.') != std::string::npos) continue;
        SCOPED_TRACE(name);
        const auto reference = read_reference(testdata / "reference" / (name + ".ref"));
        ASSERT_GE(reference.size(), 20u);
        std::vector<std::string> args = testing::header_arguments(entry.path(), "morat --spice ", 1);
        ASSERT_GE(args.size(), 4u);
        args.insert(args.end(), {"--netlist-out", (dir / (name + ".net")).string()});
        MoratOptions options;
        ASSERT_EQ(parse_morat_options(args, options), "");
        std::ostringstream log, err;
        MoratSession session;
        ASSERT_EQ(analyse_with_morat(options, session, log, err), 0) << err.str() << log.str();
        ASSERT_EQ(session.circuit->segments + 1, static_cast<int>(reference.size()));
        long double deck_worst = 0;
        for (std::size_t k = 0; k < reference.size(); ++k) {
            const PointRecord& p = session.sweep->points[k];
            const ReferencePoint& r = reference[k];
            EXPECT_NEAR(static_cast<double>(p.frequency / r.frequency), 1.0, 1e-12);
            const long double off = std::hypot(p.t_re - r.re, p.t_im - r.im) / std::hypot(r.re, r.im);
            deck_worst = std::max(deck_worst, off);
            EXPECT_LT(static_cast<double>(off), 1e-9) << "at " << static_cast<double>(r.frequency) << " Hz";
        }
        worst = std::max(worst, deck_worst);
        std::cout << name << ": " << reference.size() << " points, largest relative difference from ngspice "
                  << static_cast<double>(deck_worst) << '\n';
        ++decks;
    }
    EXPECT_GE(decks, 1);
    std::cout << decks << " decks, largest relative difference from ngspice: " << static_cast<double>(worst)
              << '\n';
    fs::remove_all(dir);
}

// The vendor-style op-amp benches with --opamp against ngspice on the same
// decks with the whole macro-models (transistors, clamps, the second
// pole): the gain-bandwidth op-amp is first order, with infinite gain at
// 0 Hz and no second pole, so the two agree in and around the pass band
// and part where the filter leans on the op-amp (OPA1's Sallen-Key above
// 200 kHz, where the op-amp's output carries the feedthrough; OPA2's
// band-pass at its centre, where 61 dB of open-loop gain shift the peak).
TEST(SpiceDecksAgainstNgspice, ReplacedOpAmpsAgainstTheirMacroModels) {
    const fs::path testdata = fs::path(SUITE_SOURCE_DIR) / "analysis" / "spice" / "testdata";
    const fs::path dir = scratch("macromodels");
    struct Bench {
        std::string name;
        long double agree_below;  // Hz: within 0.02 dB and 0.2 degrees below it
        long double part_from;    // Hz: more than 0.25 dB apart somewhere from it up
    };
    for (const Bench& b :
         {Bench{"opamp-bench-opa1", 100e3L, 250e3L}, Bench{"opamp-bench-opa2", 30e3L, 90e3L}}) {
        SCOPED_TRACE(b.name);
        const auto full = read_reference(testdata / "reference" / (b.name + ".full.ref"));
        std::vector<std::string> args =
            testing::header_arguments(testdata / (b.name + ".cir"), "morat --spice ", 1);
        args.insert(args.end(), {"--netlist-out", (dir / (b.name + ".net")).string()});
        MoratOptions options;
        ASSERT_EQ(parse_morat_options(args, options), "");
        std::ostringstream log, err;
        MoratSession session;
        ASSERT_EQ(analyse_with_morat(options, session, log, err), 0) << err.str();
        ASSERT_EQ(session.circuit->segments + 1, static_cast<int>(full.size()));
        long double worst_below = 0, widest_beyond = 0, widest_at = 0;
        for (std::size_t k = 0; k < full.size(); ++k) {
            const PointRecord& p = session.sweep->points[k];
            const ReferencePoint& r = full[k];
            const long double db = 20 * std::log10(std::hypot(p.t_re, p.t_im) / std::hypot(r.re, r.im));
            const long double degrees =
                std::remainder(std::atan2(p.t_im, p.t_re) - std::atan2(r.im, r.re), 2 * M_PI) * 180 / M_PI;
            if (r.frequency < b.agree_below) {
                EXPECT_LT(std::fabs(static_cast<double>(db)), 0.02) << static_cast<double>(r.frequency);
                EXPECT_LT(std::fabs(static_cast<double>(degrees)), 0.2) << static_cast<double>(r.frequency);
                worst_below = std::max(worst_below, std::fabs(db));
            } else if (r.frequency >= b.part_from && std::fabs(db) > widest_beyond) {
                widest_beyond = std::fabs(db);
                widest_at = r.frequency;
            }
        }
        EXPECT_GT(static_cast<double>(widest_beyond), 0.25);
        std::cout << b.name << ": --opamp against the whole macro-model: within "
                  << static_cast<double>(worst_below) << " dB below " << static_cast<double>(b.agree_below)
                  << " Hz; " << static_cast<double>(widest_beyond) << " dB apart at "
                  << static_cast<double>(widest_at) << " Hz\n";
    }
    fs::remove_all(dir);
}

// Examples of the suite written as SPICE decks become the same circuits:
// the response table of the deck is the example's, byte for byte (a deck
// with named nodes numbers them by appearance, so its table names
// another output node number).
TEST(SpiceRoundTrip, ExamplesRewrittenAsDecksGiveTheirResponseTables) {
    const fs::path dir = scratch("roundtrip");
    struct Case {
        std::string example, deck_output, node_in_header;
        std::vector<std::string> band;
    };
    const Case cases[] = {
        {"elliptic-ladder", "4", "Saida 4", {"--hz", "--fmin", "100", "--fmax", "10000"}},
        {"lc-ladder-lowpass", "load", "Saida 3", {"--hz", "--fmin", "10", "--fmax", "100000"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.example);
        const std::string net_tab = (dir / (k.example + "-net.tab")).string();
        const std::string deck_tab = (dir / (k.example + "-deck.tab")).string();
        std::vector<std::string> net_args = {(examples / k.example).string()};
        net_args.insert(net_args.end(), k.band.begin(), k.band.end());
        std::vector<std::string> deck_args = {
            "--spice",       (examples / "spice" / "roundtrip" / (k.example + ".cir")).string(),
            "--netlist-out", (dir / (k.example + ".net")).string(),
            "--output",      k.deck_output,
            "--tab",         deck_tab};
        deck_args.insert(deck_args.end(), k.band.begin(), k.band.end());
        std::ifstream header(examples / (k.example + ".net"));
        std::string line, output;
        while (std::getline(header, line))
            if (const std::size_t at = line.find("--output "); at != std::string::npos)
                output = line.substr(at + 9, line.find_first_of(" \r", at + 9) - at - 9);
        net_args.insert(net_args.end(), {"--output", output, "--tab", net_tab});
        std::ostringstream out, err;
        ASSERT_EQ(morat_main(net_args, out, err), 0) << err.str();
        ASSERT_EQ(morat_main(deck_args, out, err), 0) << err.str();
        const std::string a = suite::read_file_bytes(net_tab), b = suite::read_file_bytes(deck_tab);
        const std::size_t a_end = a.find('\n'), b_end = b.find('\n');
        ASSERT_NE(a_end, std::string::npos);
        EXPECT_EQ(a.substr(a_end), b.substr(b_end));  // every row, byte for byte
        std::string a_header = a.substr(0, a_end);
        a_header.replace(a_header.find("Saida " + output), 6 + output.size(), k.node_in_header);
        EXPECT_EQ(a_header, b.substr(0, b_end));
        EXPECT_GT(a.size(), 10000u);
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace analysis
