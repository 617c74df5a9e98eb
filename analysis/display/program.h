// The records of the analysis program, one instance per program, handed
// down to every window, and the boundary at which window handlers meet
// the core's two exception kinds.
//
//   moratw::Program& prog = ...;
//   prog.handle(this, [&] { ...core calls that may throw... });
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/display/response_plot.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"

class QWidget;

namespace moratw {

struct Program {
    analysis::Circuit circuit;
    analysis::Engine engine;
    analysis::Sweep sweep;
    analysis::AnalysisSettings settings;
    analysis::PlotView view;
    std::string netlist_file_name;  // the netlist last opened, after the ".net" completion
    std::string netlist_base_name;  // its name up to the first "."

    // Appends a line to the main window's log.
    analysis::Log log;
    // The window side of the fatal-error routine: logs "Erro: " + message
    // and shows the "Erro" window.
    std::function<void(const std::string&)> fatal_error;
    // After every change that alters the response plot (a netlist read, the
    // normalisation, the variabilities, the number format): the response
    // window draws itself again and an open sensitivity list follows.
    // Supplied by the program's start-up.
    std::function<void()> plot_changed;
    // Set by the fatal-error routine: from then on handlers do nothing; the
    // program ends when the user leaves the "Erro" window.
    bool failed = false;

    // Runs a handler's body unless the program has failed: a fatal error
    // goes to the fatal-error routine, an input/output error to the error
    // box, and the handler stops there. Returns true when the body ran
    // through.
    bool handle(QWidget* parent, const std::function<void()>& body);
    // Calls plot_changed, when there is one and the program goes on.
    void redraw_plot() {
        if (plot_changed && !failed) plot_changed();
    }

    analysis::ResponseScene scene() {
        return {circuit, engine, sweep, settings, view, netlist_file_name, log};
    }
};

}  // namespace moratw
