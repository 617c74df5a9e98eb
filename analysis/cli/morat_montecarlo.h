// The Monte Carlo options of morat: after the sweep and its reports, N
// circuits drawn from the elements' variabilities (analysis/engine/
// montecarlo.h), their standard deviations of module and phase saved beside
// the first-order deviations in a table, and two log lines.
//
//   morat filter.net --monte-carlo 1000 --seed 7 --mc-table filter.mct
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/montecarlo.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"

namespace analysis {

constexpr int max_monte_carlo_samples = 1000000;

struct MonteCarloOptions {
    std::optional<int> samples;  // --monte-carlo N
    std::optional<std::uint64_t> seed;
    std::optional<std::string> table;  // --mc-table FILE
};

// Stores the value of "--monte-carlo", "--seed" or "--mc-table"; false for
// a value that is not valid for it.
bool set_montecarlo_option(const std::string& option, const std::string& value, MonteCarloOptions& o);

// After parsing: the reason of a usage error, or the empty string.
std::string check_montecarlo_options(const MonteCarloOptions& o);

// Lines of the usage text for these options.
std::string montecarlo_usage();

// Runs what the options ask for (nothing without --monte-carlo) on the
// finished sweep: logs the summary line, saves the table and logs its
// confirmation, and returns 0; logs the reason and returns 1 when a
// variability is too large or fewer than two circuits were accepted.
// Input/output errors propagate. The result is kept in `keep` when given.
int run_montecarlo_options(const MonteCarloOptions& o, const Circuit& c, Engine& e, const Sweep& sw,
                           const AnalysisSettings& s, const Log& log, MonteCarloResult* keep = nullptr);

}  // namespace analysis
