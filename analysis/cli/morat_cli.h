// morat, the command-line twin of the analysis program: options, and the
// run that does what the window program's commands would do, printing the
// same log lines.
//
//   std::ostringstream out, err;
//   int status = analysis::morat_main({"filter", "--output", "3", "--tab", "f.tab"}, out, err);
//
// Order of a run: with --spice, translate the deck and write its netlist;
// open and read the netlist, apply the settings, apply the scales (a
// deck's .ac line, unless the options give the band), "Analisar", sweep,
// then the reports asked for, Monte Carlo, the tolerance design, poles
// and zeros. Exit statuses:
// 0 done; 1 the netlist or deck is missing, a fatal error ("Erro: " +
// message on the error stream), an input/output error (a refused deck
// among them), or the analysis was refused;
// 2 a usage error (the usage text on the error stream).
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "analysis/cli/morat_design.h"
#include "analysis/cli/morat_montecarlo.h"
#include "analysis/cli/morat_noise.h"
#include "analysis/cli/morat_polezero.h"
#include "analysis/cli/morat_tolerance.h"
#include "analysis/spice/spice_deck.h"
#include "common/real.h"

namespace analysis {

using suite::Real;

struct MoratOptions {
    std::string netlist;
    bool help = false;
    // A SPICE deck instead of a netlist: translated into `netlist` (beside
    // the deck, or --netlist-out), which is then read and analysed as usual.
    std::optional<std::string> spice;
    std::optional<std::string> netlist_out;
    // --opamp SUBCKT=GB[,RO[,IN+,IN-,OUT]]: the instances of an op-amp's
    // macro-model in the deck replaced by the gain-bandwidth op-amp.
    std::vector<spice::OpAmpReplacement> spice_opamps;
    // Settings dialogs.
    std::optional<int> width;
    std::optional<int> decimals;
    std::optional<Real> tol_admittance;
    std::optional<Real> tol_pivot;
    std::optional<Real> variability;  // as "Mudar todas"
    std::vector<std::pair<std::string, Real>> element_variabilities;
    // Every element whose name begins with the letter (either case), after --variability.
    std::vector<std::pair<char, Real>> kind_variabilities;
    bool normalise = false;
    // Scales dialog.
    Real fmin = 0.2L;
    Real fmax = 5;
    int segments = 400;
    bool linear = false;
    bool hz = false;
    bool band_given = false;      // --fmin or --fmax (else a deck's .ac line gives the band)
    bool segments_given = false;  // --segments
    // Output-node dialog. With --spice, --output and --listed may name a
    // node of the deck; the text as given is kept for that.
    int output = 1;
    int listed = 1;
    std::optional<std::string> output_text;
    std::optional<std::string> listed_text;
    // Reports.
    bool range = false;
    std::vector<int> sensitivities;
    std::optional<std::string> tab;
    // Noise: computed with the sweep, reported after the reports above.
    NoiseOptions noise;
    // Monte Carlo, after the reports.
    MonteCarloOptions montecarlo;
    // Worst case, mask, yield and tolerances, after Monte Carlo.
    ToleranceOptions tolerance;
    // A filter designed first; the analysis is then of its netlist.
    DesignCliOptions design;
    // Poles and zeros, after the reports.
    PoleZeroOptions polezero;
};

// Parses the arguments (without the program name). Returns the empty
// string, or the reason of a usage error.
std::string parse_morat_options(const std::vector<std::string>& args, MoratOptions& options);

std::string morat_usage();

// One whole run; returns the exit status.
int run_morat(const MoratOptions& options, std::ostream& out, std::ostream& err);

// Parses and runs: --help prints the usage on `out` (status 0), a usage
// error prints the reason and the usage on `err` (status 2).
int morat_main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace analysis
