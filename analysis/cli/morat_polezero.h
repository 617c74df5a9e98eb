// The pole/zero options of morat: after the sweep and its reports, the
// computation of the pole/zero window ("Ler pólos ou zeros e calcular") on
// a pole file (--poles, pole mode) or a zero file (--zeros, zero mode),
// printing the window's memo lines; --observer chooses the observer element
// for poles (the first element with that name, in any case; default the
// last element, as after "Analisar"; "auto" chooses one for every pole); --deviations saves the deviation
// table as "Salvar desvios calculados" does and prints its confirmation line. Before them, --find-poles and
// --find-zeros find the poles (the zeros at the output node) with the engine and write them as a pole (zero)
// file, printing what was found.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"
#include "analysis/polezero/polezero_set.h"

namespace analysis {

struct PoleZeroOptions {
    std::optional<std::string> poles;
    std::optional<std::string> zeros;
    std::optional<std::string> observer;
    std::optional<std::string> deviations;
    std::optional<std::string> find_poles;
    std::optional<std::string> find_zeros;
};

// Stores the value of one of "--poles", "--zeros", "--observer",
// "--deviations", "--find-poles", "--find-zeros"; false for an empty value.
bool set_polezero_option(const std::string& option, const std::string& value, PoleZeroOptions& o);

// After parsing: the reason of a usage error, or the empty string.
std::string check_polezero_options(const PoleZeroOptions& o);

// Lines of the usage text for these options.
std::string polezero_usage();

// Runs what the options ask for: the finder, then the computation
// (nothing without --find-poles, --find-zeros, --poles or --zeros).
// Returns 0 when done, 1 when the run stopped on an error (the memo says
// why, and when the finder wrote fewer roots than it found), 2 for an
// --observer name that the circuit lacks (one line on `err`). Input/output errors and fatal
// errors propagate as exceptions. The set is kept in `keep` when given.
int run_polezero_options(const PoleZeroOptions& o, Circuit& c, Engine& e, Sweep& sw,
                         const AnalysisSettings& s, const std::string& netlist_base_name, const Log& log,
                         std::ostream& err, PoleZeroSet* keep = nullptr);

}  // namespace analysis
