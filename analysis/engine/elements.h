// Per-kind rules of the engine: what each element kind stamps into the
// nodal system and how its sensitivity is formed from the normal and the
// adjoint solutions. Internal to the engine (engine.cpp walks the table).
#pragma once

#include "analysis/circuit/circuit.h"
#include "analysis/engine/engine.h"

namespace analysis {

// Stamps element i by its kind (the first character of its name).
void stamp_element(Circuit& c, Engine& e, int i);

// Q_i = x_i·∂T/∂x_i of element i after the solve; q_prev is the Q of
// element i - 1 (the A or Q element that an "a" or "q" element follows).
Complex element_sensitivity(const Circuit& c, const Engine& e, int i, Complex q_prev);

}  // namespace analysis
