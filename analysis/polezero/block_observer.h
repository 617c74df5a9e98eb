// The automatic observer: for each pole, an observer element that sees it.
//
// An observer sees a pole when taking it out of the circuit leaves a
// solvable system whose loop residual vanishes at the pole. In a cascade
// of buffered sections no element sees every pole, and at a pole that two
// identical sections share no element sees it in the whole matrix (the
// other section's block stays singular). Inside the block whose
// determinant vanishes there, the block solved alone, an observer of that
// block sees it, and the sensitivities so found are the pole's own.
//
//   SystemBlocks b = find_system_blocks(c);
//   auto seeing = observers_seeing(c, e, s, b, p, e.observer_element);
//   auto owner = owner_of_copy(seeing, copy);  // copy: earlier entries at p
#pragma once

#include <optional>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/polezero/system_blocks.h"

namespace analysis {

struct BlockObserver {
    int block = -1;
    int observer = 0;
    bool multiple = false;  // p is a multiple root of the block itself
};

// The blocks whose determinant vanishes at p, nearest root first, each
// with the observer inside it that sees p: `preferred` when it does, else
// the first R, L, C or Z element of the block that does. Solves with `e`
// at its point_index (its restriction is left cleared).
std::vector<BlockObserver> observers_seeing(Circuit& c, Engine& e, const AnalysisSettings& s,
                                            const SystemBlocks& b, Complex p, int preferred);

// Who takes copy `copy` (0-based) of a pole listed several times: the
// blocks where it is a simple root take one copy each, in order; a block
// where it is a multiple root takes every copy left. Nothing when the
// circuit has the pole fewer times than that.
std::optional<BlockObserver> owner_of_copy(const std::vector<BlockObserver>& seeing, int copy);

}  // namespace analysis
