// The records of one morat run, for callers that look at the results
// after the run (tests, and later the window program's twin checks).
#pragma once

#include <memory>
#include <ostream>

#include "analysis/circuit/circuit.h"
#include "analysis/cli/morat_cli.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/montecarlo.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"
#include "analysis/polezero/polezero_set.h"

namespace analysis {

// One of each record, as the window program holds them (large: on the heap).
struct MoratSession {
    std::unique_ptr<Circuit> circuit = std::make_unique<Circuit>();
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    std::unique_ptr<Sweep> sweep = std::make_unique<Sweep>();
    AnalysisSettings settings;
    std::unique_ptr<PoleZeroSet> polezero = std::make_unique<PoleZeroSet>();  // of --poles or --zeros
    std::unique_ptr<MonteCarloResult> montecarlo = std::make_unique<MonteCarloResult>();  // of --monte-carlo
    std::unique_ptr<ToleranceRun> tolerance = std::make_unique<ToleranceRun>();  // of --mask, --worst-case
    std::string netlist;  // the netlist analysed (a design's or a deck's is known only after the run)
};

// run_morat on a session that the caller keeps; returns the exit status.
int analyse_with_morat(const MoratOptions& options, MoratSession& session, std::ostream& out,
                       std::ostream& err);

}  // namespace analysis
