// A circuit read and analysed for a benchmark: the records of one program
// (on the heap: the engine is large), with the analysis started at an
// output node and, when a segment count is given, the sweep set to run
// from 1 Hz to 10 kHz in that many segments.
#pragma once

#include <memory>
#include <string>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"

namespace bench {

struct PreparedCircuit {
    std::unique_ptr<analysis::Circuit> c = std::make_unique<analysis::Circuit>();
    std::unique_ptr<analysis::Engine> e = std::make_unique<analysis::Engine>();
    std::unique_ptr<analysis::Sweep> sw = std::make_unique<analysis::Sweep>();
    analysis::AnalysisSettings s;
    analysis::Log log = [](const std::string&) {};

    PreparedCircuit(const std::string& netlist, int output, int segments = 0) {
        suite::TextScanner in(netlist);
        analysis::read_netlist(*c, in, log);
        if (segments > 0) {
            c->segments = segments;
            sw->hertz_units = true;
            sw->scale_min[0] = 1;
            sw->scale_max[0] = 1e4L;
        }
        analysis::start_analysis(*c, *e, *sw, s, output, 1, log);
    }
};

}  // namespace bench
