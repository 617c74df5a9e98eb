// The lines of the sensitivity list for the point under the cursor: the
// frequency sensitivity, every element's sensitivity, the five plotted
// quantities and the normal and adjoint output values. The sensitivity
// window shows them in its memo; morat prints them.
#pragma once

#include <string>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"

namespace analysis {

// Lists point sw.cursor (which must be computed). Sets the engine's
// point_index and frequency-sensitivity sum to that point. With
// normalisation by the slope, the real and imaginary parts of the element
// sensitivities are divided by sqrt(ReΣ² + 1) and sqrt(ImΣ² + 1).
std::vector<std::string> sensitivity_list(const Circuit& c, Engine& e, const Sweep& sw,
                                          const AnalysisSettings& s);

}  // namespace analysis
