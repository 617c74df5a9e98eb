// The reports of the tolerance design, as the command-line twin logs them
// and the tolerance window shows them: the same lines in the same order.
//
//   LinearModel m;
//   if (!report_mask(name, mask, c, e, sw, m, log)) return;       // covers no point
//   report_yield(c, e, sw, settings, m, 100000, 1000, seed, log);
//   report_tightening(c, e, sw, settings, m, 0.99, 100000, 1000, seed, log);
#pragma once

#include <cstdint>
#include <string>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"
#include "analysis/tolerance/mask.h"
#include "analysis/tolerance/tightening.h"
#include "analysis/tolerance/yield.h"

namespace analysis {

// The sampling limits that the twin and the window accept.
constexpr long long min_linear_samples = 1000;
constexpr long long max_linear_samples = 10000000;
constexpr int max_yield_circuits = 1000000;

// Reads the mask file into `mask`; false when it is missing ("* Arquivo
// NAME inexistente.") or refused (one "* Máscara NAME, linha N: ..." per
// line). suite::IoError when it cannot be read.
bool read_mask_report(const std::string& file, ResponseMask& mask, const Log& log);

// The mask named `name` against the finished sweep: how much of it the
// sweep covers, then the nominal response and the linear worst case
// checked against it. Fills `model`; false (told) when the mask covers no
// point of the sweep.
bool report_mask(const std::string& name, const ResponseMask& mask, const Circuit& c, const Engine& e,
                 const Sweep& sw, LinearModel& model, const Log& log);

// Both yields, their agreement, and the elements that limit them. False
// (told) when a variability is too large for the Monte Carlo circuits.
// RunCancelled when the progress answers false; then nothing is logged.
bool report_yield(const Circuit& c, Engine& e, const Sweep& sw, const AnalysisSettings& s,
                  const LinearModel& m, long long samples, int circuits, std::uint64_t seed, const Log& log,
                  const Progress& progress = {});

// The cheapest standard tolerances reaching `target` (a fraction), then
// their yields with the Monte Carlo confirmation. False (told) when none
// reach it. RunCancelled when the progress answers false: the lines of
// the search may have been logged, those of the confirmation not.
bool report_tightening(const Circuit& c, Engine& e, const Sweep& sw, const AnalysisSettings& s,
                       const LinearModel& m, Real target, long long samples, int circuits, std::uint64_t seed,
                       const Log& log, const Progress& progress = {});

}  // namespace analysis
