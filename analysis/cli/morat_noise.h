// The noise options of morat: the noise of every resistor and op-amp at
// every point of the sweep, the report over a band with every source's
// share, the dynamic range down to the noise floor, and the noise table.
//
//   morat filter.net --opamp-noise 10e-9,1e-12 --swing 10 --noise filter.rui
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"
#include "analysis/shell/noise_report.h"

namespace analysis {

struct NoiseOptions {
    std::optional<std::string> table;                       // --noise FILE
    std::optional<Real> celsius;                            // --temperature C
    std::optional<OpAmpNoise> all;                          // --opamp-noise en,in
    std::vector<std::pair<std::string, OpAmpNoise>> named;  // --opamp-noise NAME=en,in
    std::optional<NoiseBand> band;                          // --noise-band F1 F2
    std::optional<Real> swing;                              // --swing V

    bool on() const { return table || celsius || all || !named.empty() || band || swing; }
};

// Stores the value of "--noise", "--temperature", "--opamp-noise" or
// "--swing"; false for a value that is not valid for it.
bool set_noise_option(const std::string& option, const std::string& value, NoiseOptions& o);
// "--noise-band F1 F2": the reason of a refusal, or "".
std::string set_noise_band(const std::vector<std::string>& values, NoiseOptions& o);

std::string noise_usage();

// The noise settings the options give.
NoiseSettings noise_settings(const NoiseOptions& o);

// After the sweep: the report, the dynamic range and the table. Returns 0;
// input/output errors propagate.
int run_noise_options(const NoiseOptions& o, const Circuit& c, const Sweep& sw, const AnalysisSettings& s,
                      const Log& log);

}  // namespace analysis
