// The listing of a pole/zero set in the pole/zero window's memo: per entry
// its point, its deviations and ellipse, and every element's sensitivity
// x_i·dp/dx_i, or "Não calculáveis." for an entry that failed its checks.
#pragma once

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/polezero/polezero_set.h"

namespace analysis {

void list_pole_zero_set(const Circuit& c, const AnalysisSettings& s, const Engine& e, const PoleZeroSet& set,
                        const Log& memo);

}  // namespace analysis
