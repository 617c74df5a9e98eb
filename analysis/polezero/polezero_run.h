// The pole/zero run: read a pole or zero file, check every entry against
// the circuit, turn the engine's raw sensitivities into the sensitivities
// of each point, combine them with the variabilities into deviations, and
// list everything. The window's "Ler pólos ou zeros e calcular" and the
// command line share it; both supply the file choice and the memo.
//
//   PoleZeroContext x{circuit, engine, sweep, settings, set, base_name};
//   memo_clear();                                   // the caller's memo
//   run_pole_zero(x, /*poles=*/true, choose_file, memo);
//   save_pole_zero_deviations(x, true, choose_file, choose_table, memo);
//
// The set lives in the sweep's storage: entry k uses point slot k and the
// sensitivity blocks of point k, so a run clears response_valid, and every
// new sweep clears pz_valid. While pz_valid holds, a run only recomputes
// deviations and listing from the stored sensitivities (new variabilities
// take effect without reading the file again).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"
#include "analysis/polezero/block_observer.h"
#include "analysis/polezero/polezero_set.h"

namespace analysis {

struct PoleZeroContext {
    Circuit& circuit;
    Engine& engine;
    Sweep& sweep;
    const AnalysisSettings& settings;
    PoleZeroSet& set;
    std::string netlist_base_name;  // stem proposed for the files
    // Poles: every pole gets an observer that sees it, inside the block of
    // the matrix whose determinant vanishes there (system_blocks.h),
    // instead of engine.observer_element for all.
    bool auto_observer = false;
};

// A file dialog: the proposed name and the 1-based filter index (1 poles,
// 2 zeros); the chosen name, or nothing when cancelled.
struct PoleZeroFileRequest {
    std::string proposed_name;
    int filter_index = 1;
};
using PoleZeroFileChooser = std::function<std::optional<std::string>(const PoleZeroFileRequest&)>;

// The storage available to a set: point slots 1..min(1000, segments + 1).
int pole_zero_capacity(const Circuit& c);

// Runs the computation; true when the set is complete (pz_valid set).
// Input/output errors of the file (a number that cannot be read) throw
// suite::IoError with nothing changed. An entry at which the system is
// singular (a pole the observer does not see) is reported in the memo as
// not a pole, and the run goes on with the next.
bool run_pole_zero(PoleZeroContext& x, bool poles, const PoleZeroFileChooser& choose_input, const Log& memo);

// "Salvar desvios calculados": runs the computation first when the set is
// not complete; proposes the stem with ".tsp" (poles, filter 1) or ".tsz"
// (zeros, filter 2), writes the table through the safe writer and logs
// "Desvios salvos no arquivo NAME". True when a table was written.
bool save_pole_zero_deviations(PoleZeroContext& x, bool poles, const PoleZeroFileChooser& choose_input,
                               const PoleZeroFileChooser& choose_table, const Log& memo);

// Whether point k, just solved, is a multiple root of the function the
// engine solved (the whole matrix, or the block it is restricted to): the
// frequency-scaling sum G = s·dD/ds, given as `g`, cancels among its terms
// (|G| below 1e-7 of the sum of their sizes), so dD/ds vanishes with D
// and the first-order sensitivities of the point are undefined. The run
// asks it with one observer for every pole and for zeros; the automatic
// observer asks multiple_in_block (block_observer.h) instead.
bool multiple_root(const Circuit& c, const Engine& e, int point, Complex g);

// The observer navigation ("<" and ">"): from `from`, the nearest element
// below (above) whose name begins with C, L, R or Z; `from` when none.
int previous_observer(const Circuit& c, int from);
int next_observer(const Circuit& c, int from);

}  // namespace analysis
