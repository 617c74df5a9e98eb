// The tolerance options of morat: after Monte Carlo, the linear worst case
// with its vertex check (a table), a response mask checked against the
// nominal response and the worst case, the yield against it (first-order
// and Monte Carlo) with the elements that limit it, and the cheapest
// standard tolerances for a target yield (analysis/tolerance).
//
//   morat filter.net --worst-case filter.wct --mask filter.msk --yield 1000 --target-yield 99
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"
#include "analysis/tolerance/mask.h"

namespace analysis {

constexpr int default_yield_circuits = 1000;

struct ToleranceOptions {
    std::optional<std::string> worst_case;    // --worst-case FILE
    std::optional<std::string> mask;          // --mask FILE
    std::optional<int> yield_circuits;        // --yield N
    std::optional<long long> linear_samples;  // --linear-samples M
    std::optional<Real> target_percent;       // --target-yield P

    // The Monte Carlo circuits drawn here take --seed.
    bool draws() const { return yield_circuits || target_percent; }
};

// What the picture draws after the run: the mask read and the worst-case band.
struct ToleranceRun {
    std::optional<ResponseMask> mask;
    bool worst_case = false;
};

// Stores the value of one of the options above; false for a value that is
// not valid for it.
bool set_tolerance_option(const std::string& option, const std::string& value, ToleranceOptions& o);

// After parsing: the reason of a usage error, or the empty string.
std::string check_tolerance_options(const ToleranceOptions& o);

// Lines of the usage text for these options.
std::string tolerance_usage();

// Runs what the options ask for on the finished sweep and logs it. Returns
// 0; 1 when the mask is missing or refused, covers no point of the sweep,
// a variability is too large for the Monte Carlo circuits, or no standard
// tolerances reach the target (each told in the log). Input/output errors
// propagate. What the picture needs goes to `keep` when given.
int run_tolerance_options(const ToleranceOptions& o, std::uint64_t seed, const Circuit& c, Engine& e,
                          const Sweep& sw, const AnalysisSettings& s, const Log& log,
                          ToleranceRun* keep = nullptr);

}  // namespace analysis
