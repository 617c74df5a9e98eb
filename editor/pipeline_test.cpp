// From drawing to analysis: the netlist generated from each example drawing
// is read by the analysis program's reader without error and gives the
// same response as the hand-written netlist of the same filter.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>
#include <numbers>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"
#include "common/textfile.h"
#include "common/textscan.h"
#include "editor/files/circuitfile.h"
#include "editor/files/valuelist.h"
#include "editor/netlist/netlist.h"

namespace {

const std::string examples = SUITE_SOURCE_DIR "/examples/";

// The netlist text that generation writes for a drawing.
std::string generated_netlist(const std::string& drawing, const std::string& values) {
    std::vector<std::string> messages;
    const editor::MessageSink print = editor::collect_into(messages);
    editor::Circuit circuit;
    EXPECT_EQ(editor::read_circuit(examples + drawing, circuit, print), editor::CircuitRead::read);
    editor::ValueList list;
    if (!values.empty()) {
        EXPECT_TRUE(editor::read_value_list(examples + values, list, print));
    }
    editor::NetlistState state;
    EXPECT_TRUE(editor::prepare_netlist(circuit, state, print));
    editor::FormulaErrorDialog dialog;
    editor::FormulaState formulas{list, print, dialog};
    std::string text;
    for (const std::string& line : editor::netlist_lines(circuit, state, formulas, true)) text += line + "\n";
    return text;
}

// The analysis program's response at the output node, at `hz`.
std::complex<long double> response(const std::string& netlist, int output, double hz) {
    auto c = std::make_unique<analysis::Circuit>();
    auto e = std::make_unique<analysis::Engine>();
    auto sweep = std::make_unique<analysis::Sweep>();
    analysis::AnalysisSettings settings;
    std::vector<std::string> log;
    const analysis::Log to_log = [&log](const std::string& line) { log.push_back(line); };
    suite::TextScanner in(netlist);
    analysis::read_netlist(*c, in, to_log);  // throws on anything it refuses
    EXPECT_TRUE(analysis::start_analysis(*c, *e, *sweep, settings, output, 1, to_log));
    analysis::allocate_sensitivity_blocks(*e, c->element_count, 2);
    e->sigma = 0;
    e->omega = 2 * std::numbers::pi_v<long double> * hz;
    e->normalised_sensitivities = false;
    e->point_index = 0;
    analysis::build_and_solve(*c, *e, settings.pivot_tolerance);
    const analysis::Complex v = analysis::node_voltage(*c, *e, c->output_node);
    return {v.re, v.im};
}

TEST(Pipeline, DrawingsGiveTheResponsesOfTheirHandWrittenNetlists) {
    const struct {
        const char* drawing;
        const char* values;
        const char* netlist;
        int output;
    } rows[] = {
        {"sallen_key_lowpass.cir", "sallen_key_lowpass.val", "sallen-key-lowpass.net", 4},
        {"mfb_bandpass.cir", "", "mfb-bandpass.net", 4},
        {"lc_ladder_lowpass.cir", "", "lc-ladder-lowpass.net", 1},
        {"tow_thomas_biquad.cir", "", "tow-thomas-biquad.net", 3},
    };
    for (const auto& row : rows) {
        const std::string drawn = generated_netlist(row.drawing, row.values);
        const std::string written = suite::read_text(examples + row.netlist);
        for (double hz : {10.0, 300.0, 1000.0, 1500.0, 20000.0}) {
            const auto a = response(drawn, row.output, hz), b = response(written, row.output, hz);
            EXPECT_LT(std::abs(a - b), 1e-4L * std::abs(b)) << row.drawing << " at " << hz << " Hz";
        }
    }
}

}  // namespace
