// Inside the SPICE translator: the deck's circuit flattened into elements
// with hierarchical names, flat node names and evaluated values. Not for
// use outside analysis/spice.
//
// Subcircuit instances are expanded where their X line stands; an element
// of instance x2 inside instance x1 is named "x1.x2.r3", and so are its
// local nodes ("x1.x2.mid"). Ground ("0", "gnd") and the nodes of
// .global keep their names. Parameters are scoped as SPICE scopes them:
// the .param lines of the top level are global; a .subckt's parameters
// (defaults on its line, replaced by the instance's own) and the .param
// lines of its body belong to each of its instances; names are looked up
// from the innermost scope out, through the scopes the definition is
// written in.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/spice/spice_deck.h"
#include "analysis/spice/spice_values.h"

namespace analysis::spice {

struct FlatElement {
    char kind = 0;                   // 'r' 'c' 'l' 'v' 'i' 'e' 'f' 'g' 'h' 'k' 'p' 'a'
    std::string name;                // hierarchical, lower-case ("x1.rload")
    std::vector<std::string> nodes;  // flat node names; "0" is ground
    Real value = 0;                  // R, C, L; V, I: the AC excitation; E, F, G, H: the gain; K: k
    std::string control;             // F, H: the flat name of the controlling V; K: the first inductor
    std::string control2;            // K: the second inductor
    Real port = 0, amplitude = 0;    // P: the port's number and AC amplitude
    Real resistance = 0;             // A: Ro (the value is GB in rad/s)
    const DeckLine* line = nullptr;
    std::string instance;  // the instance it belongs to ("" at the top level)
};

// The .ac line (or the ac command of a .control block) as written.
struct AcLine {
    const DeckLine* line = nullptr;
    std::string kind;  // "dec", "oct" or "lin"
    Real points = 0, fstart = 0, fstop = 0;
    bool from_control = false;
};

struct FlatCircuit {
    std::vector<FlatElement> elements;  // in the order of the deck
    std::optional<AcLine> ac;
    std::vector<std::string> notes;  // what was ignored, with line numbers
    // The circuit's temperature and the nominal one (.temp, .options temp=
    // tnom=), in degrees Celsius, and how many values they changed.
    Real temperature = 27, nominal_temperature = 27;
    int temperature_adjusted = 0;
};

// Refuses (suite::IoError) whatever the linear analysis cannot represent.
// The X instances of the subcircuits in `opamps` become op-amps ('a').
FlatCircuit flatten_deck(const DeckText& deck, const std::vector<OpAmpReplacement>& opamps = {});

// The non-inverting input, inverting input and output among a
// subcircuit's port names (+in, in+, inp, ... ; -in, in-, inn, ... ; out,
// output, vout, ...), or empty when they are not all there once.
std::vector<std::string> opamp_ports(const std::vector<std::string>& ports);
// The nonlinear kinds in a subcircuit's body ("D, Q"), empty for none.
std::string nonlinear_kinds_of(const std::vector<const DeckLine*>& body);

// Groups of more than two mutually coupled inductors written with F, E
// and L elements (the K elements of pairs stay); a note tells each group.
void realise_coupled_groups(FlatCircuit& c);
// RF ports ('p', with Z0 for the value): the port of the lowest number is a V source behind its Z0,
// the others Z0 terminations; a note tells each.
void realise_ports(FlatCircuit& c);

}  // namespace analysis::spice
