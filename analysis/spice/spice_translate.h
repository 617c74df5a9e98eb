// SPICE decks into the suite's netlist: the linear part of SPICE, as the
// netlist reader reads it.
//
//   const SpiceTranslation t = translate_spice_file("filter.cir");   // IoError when refused
//   write_translated_netlist("filter.net", t);
//   open_netlist(circuit, "filter.net", log);   // the suite's own reader, as usual
//   int out = find_spice_node(t, "out");        // the deck's node as a netlist node
//   translate_spice_file("bench.cir", {{"opa1", 3e6, 50, {}}});  // X of opa1 -> A, GB 3 MHz
//
// What a deck may hold (names and keywords in any case):
// - R, C, L (value by position or r=/c=/l=, m=, R's ac=), V and I (their AC
//   magnitude, with phase 0 or 180, is the excitation; DC values and
//   transient functions are the operating point and are dropped; a source
//   with a transient function and no AC is refused), E and G (gain), F and
//   H (through the V source that senses their current), K (two inductors
//   and k), X instances of .subckt definitions, nested, with parameters;
//   temperature coefficients at the deck's temperature; first-order POLY
//   sources; constant VALUE sources; .func; groups of coupled inductors;
//   RF ports (P with PORT= and Z0=); op-amp subcircuits replaced on request;
// - .param, .subckt/.ends, .global, .include, .lib, .ac, .end; commands of
//   analyses and output (.op, .tran, .print, .model, .control blocks, ...)
//   are ignored and told in the notes;
// - anything else is refused with the line, its number and why.
//
// The netlist: line 1 the node count; comment lines with the deck's name
// and title, the node map (deck nodes numbered 1..N in order of first
// appearance, ground "0" or "gnd"), the elements whose names changed
// (every name cut to five characters, unique, keeping the kind letter),
// the sweep of the .ac line and the notes; then one line per element.
#pragma once

#include <string>
#include <vector>

#include "analysis/spice/spice_deck.h"
#include "common/real.h"

namespace analysis::spice {

using suite::Real;

// The sweep of the deck's .ac line, in Hz, within the suite's limits.
struct AcSweep {
    bool present = false;
    bool log_scale = true;  // dec and oct; lin is linear
    Real fmin = 0, fmax = 0;
    int segments = 0;        // even, 2..1000
    std::string line;        // the line as written
    std::string adjustment;  // the log line when the segments had to be adjusted, else empty
};

struct SpiceTranslation {
    std::string title;
    std::vector<std::string> node_names;  // [k]: the deck's name of netlist node k; [0] is "0"
    struct Name {
        std::string netlist;  // as written in the netlist
        std::string deck;     // hierarchical deck name, lower-case
    };
    std::vector<Name> elements;      // every netlist element, in netlist order
    std::vector<std::string> notes;  // lines ignored, and other remarks
    AcSweep sweep;
    std::vector<std::string> netlist;  // the netlist text, one line per entry, without line ends
};

// Translates the deck text (line ends "\n"); `deck_path` names the deck in
// the netlist and is the folder of included files.
// `opamps` replaces the instances of those subcircuits by op-amps (A).
SpiceTranslation translate_spice(const std::string& deck_text, const std::string& deck_path,
                                 const FileLoader& load = load_text_file,
                                 const std::vector<OpAmpReplacement>& opamps = {});
// Reads the deck file (IoError when it cannot be read) and translates it.
SpiceTranslation translate_spice_file(const std::string& deck_path,
                                      const std::vector<OpAmpReplacement>& opamps = {});

// "NAME=GB[,RO[,IN+,IN-,OUT]]" (GB in Hz with SPICE suffixes, Ro in ohms,
// 50 when not given; the three ports by the subcircuit's names) into `r`;
// the reason when the text is not one, else "".
std::string parse_opamp_replacement(const std::string& text, OpAmpReplacement& r);

// The subcircuits of a deck that may be op-amp macro-models: three ports
// or more, nonlinear devices (D, Q, M, J, Z, B, S, W) in their bodies,
// and used by an X line; lower-case, in alphabetical order, with
// the ports their names say are the inputs and the output (empty when
// they do not say). IoError when the deck cannot be read.
struct OpAmpCandidate {
    std::string subckt;
    std::vector<std::string> ports;  // every port, lower-case
    std::vector<std::string> found;  // IN+, IN-, OUT, or empty
};
std::vector<OpAmpCandidate> opamp_candidates(const std::string& deck_text, const std::string& deck_path,
                                             const FileLoader& load = load_text_file);

// The netlist node of a deck node name (any case; hierarchical names as
// "x1.mid"): 0 for ground, -1 when the deck has no such node.
int find_spice_node(const SpiceTranslation& t, const std::string& name);

// The netlist beside the deck: its name with the extension replaced by
// ".net" ("filter.cir" -> "filter.net"), or ".spice.net" added when the
// deck itself ends in ".net".
std::string spice_netlist_name(const std::string& deck_path);

// Whether a file named so is taken for a SPICE deck where a program is
// given a file to open: the extensions of decks (.cir, .sp, .spi, .ckt, in
// any case); a .net file is a netlist of the suite.
bool is_spice_deck_name(const std::string& path);
// Whether the file is a netlist written by this translator (its second
// line says so); false for a file that is not there.
bool is_translated_netlist(const std::string& path);
// Writes the netlist (code page 1252, CR LF, through a temporary file).
void write_translated_netlist(const std::string& path, const SpiceTranslation& t);

// The log lines of a translation written to `netlist_path`: what was
// translated into what, the sweep of the deck and its adjustment.
std::vector<std::string> translation_report(const SpiceTranslation& t, const std::string& deck_path,
                                            const std::string& netlist_path);

// The line after "Circuito insolúvel (determinante muito pequeno)." for a
// translated deck: at which frequency (in Hz, or rad/s when `hertz` is
// false) the system is singular, the size of its smallest pivot there
// against the tolerance, and where the tolerance is set (morat's
// --tol-pivot, or moratw's "Parâmetros" when `window`).
std::string singular_system_advice(Real frequency, bool hertz, Real smallest_pivot, Real tolerance,
                                   bool window);

}  // namespace analysis::spice
