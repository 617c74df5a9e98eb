// The drawing of a designed filter for the schematic editor: a circuit
// (.cir) laid out section by section as a person would draw it, and its
// value list (.val) with every part as a named value, so that the
// editor's generated netlist is the designed circuit.
//
//   CascadeNetlist n = cascade_netlist(f);
//   FilterDrawing d = draw_cascade(f, n, {"Chebyshev low-pass, order 4"});
//   write_drawing("lp.cir", "lp.val", d);
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "analysis/design/cascade.h"
#include "editor/files/circuit.h"

namespace analysis::design {

struct FilterDrawing {
    editor::Circuit circuit;
    std::vector<std::pair<std::string, double>> values;  // name (upper case, ≤ 5 characters), value
};

// The layout: the source VIN at the left, then the sections from left to
// right on the grid (wrapping into a new band below when the grid's width
// is used up, the two ends joined by a pair of labels 1, 2, ...), each
// section's ground symbols below it, op-amps as their symbols with their
// inputs on the left and the output on the right, and a short lead at the
// last output; the comment lines as comment elements above the drawing,
// the first on top. The first band starts at x = 65 just above y = 64,
// where the editor's view opens.
//
// Every part is named as in the netlist with the parameter "(NAME)", op-amps
// of the gain-bandwidth model "(GB) (RO)"; `values` holds every part's value
// in the sections' order, then GB and RO. A comment token written as
// "(...)" is a formula to the editor, as anywhere else: "(R1A)" shows that
// value.
//
// std::invalid_argument, naming the section where there is one, for a
// cascade of no sections or more than 26 (the section letters), more than
// 200 values (the editor's value list), a section whose parts or op-amps do
// not join the nodes of its topology's table (topology.h), a drawing that
// does not fit the 128 × 128 grid, or a netlist that is not the filter's.
FilterDrawing draw_cascade(const Cascade& f, const CascadeNetlist& n,
                           const std::vector<std::string>& comments);

// Writes both files (code page 1252, CR LF, atomically); suite::IoError
// when one cannot be written. Values are written in the shortest text that
// reads back to the same double.
void write_drawing(const std::string& circuit_path, const std::string& values_path, const FilterDrawing& d);

}  // namespace analysis::design
