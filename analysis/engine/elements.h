// Per-kind rules of the engine: what each element kind stamps into the
// nodal system and how its sensitivity is formed from the normal and the
// adjoint solutions. Internal to the engine (engine.cpp walks the table).
#pragma once

#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/engine/engine.h"

namespace analysis {

// Which elements a stamping pass covers: all, or those that do not vary with s.
enum class StampSet { all, fixed };

// Whether a kind's stamp depends on s: C, L, A and K (the kinds that Σ sums).
inline bool varies_with_frequency(char kind) { return frequency_scaling_sign(kind) != 0; }

// Stamps the elements of the set by their kind (the first character of
// their name), in table order.
void stamp_elements(Circuit& c, Engine& e, StampSet set = StampSet::all);
// Stamps the listed elements (numbers in table order).
void stamp_listed(Circuit& c, Engine& e, const std::vector<int>& elements);

// Every element's sensitivity into the blocks of point e.point_index:
// Q_i = x_i·∂T/∂x_i (x_i the element's value), or Q_i / t when
// normalised_sensitivities is on. Returns their Σ,
// formed as sum_frequency_sensitivity forms it.
Complex store_sensitivities(const Circuit& c, Engine& e, Complex t);

// After a solve: Σ_r w_r·∂(row r)/∂V(p) over every element's stamps, the
// response to a unit voltage added in series between node p (not ground)
// and every element attached to it: what a noise voltage in series with
// an ideal op-amp's input at node p drives (the op-amp's input itself
// carries no current).
Complex node_weight(const Circuit& c, const Engine& e, int p);
// The same over the listed elements only (those with a node at p: the
// others weigh nothing).
Complex node_weight(const Circuit& c, const Engine& e, int p, const std::vector<int>& elements);

}  // namespace analysis
