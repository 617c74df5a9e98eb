// Netlist generation: from the drawn circuit to the netlist text that the
// analysis program reads.
//
// Nodes come from the geometry: terminals on the same grid point are joined,
// and wires, diagonal wires, crossings, labels (by the first two characters
// of their names) and ground symbols join further points. Nodes are numbered
// 1, 2, ... in the order in which the sorted circuit elements meet them;
// ground is 0.
//
//   NetlistState net;
//   if (prepare_netlist(circuit, net, print)) {        // sort, determine nodes
//       list_netlist(circuit, net, formulas);           // message area
//       if (write_netlist("filter.net", circuit, net, formulas, comments)) {
//           if (formulas.unevaluated > 0)                // the file holds "(R)?"
//               print(unevaluated_message(formulas.unevaluated));
//           if (auto bad = values_not_numbers(circuit, net); !bad.empty())
//               print(not_numbers_message(bad));         // R0102 "47K"
//       }
//   }
#pragma once

#include <string>
#include <vector>

#include "editor/files/circuit.h"
#include "editor/files/messages.h"
#include "editor/formula/formula.h"

namespace editor {

inline constexpr int max_nodes = 1000;  // distinct nodes besides ground

struct NetlistState {
    int circuit_elements = 0;  // elements of kinds 1..53, at positions 1..n after sorting
    int node_count = 0;
};

// Orders the elements by kind, then by P1 + P2 (bottom to top, left to
// right), keeping the order of equal ones. Prints "Sorting...".
void sort_elements(Circuit& circuit, const MessageSink& print);

// Fills N1..N4 of the sorted circuit, numbers the nodes and gives automatic
// names (key + two digits of N1 + two digits of N2) to elements named by
// their key alone or by the key and four digits. Prints
// "Eliminating short-circuits..." and "Renumbering nodes..."; with more than
// 1000 nodes prints "Too many nodes." and returns false.
bool determine_nodes(Circuit& circuit, NetlistState& state, const MessageSink& print);

// What generation does before listing: "No circuit" for an empty circuit,
// otherwise sorting and node determination. False when either fails.
bool prepare_netlist(Circuit& circuit, NetlistState& state, const MessageSink& print);

// The netlist text, one line per entry, evaluating the formulas as it goes
// (comments top to bottom when `comments` is set, circuit elements in
// sorted order, then commands top to bottom).
std::vector<std::string> netlist_lines(const Circuit& circuit, const NetlistState& state,
                                       FormulaState& formulas, bool comments);

// Prints the netlist to the message area: "Component list:", every comment,
// the element lines with their names as stored, the commands, "--//--" and
// "Number of nodes: " + count. Clears "Ignore other errors" first, so
// formula errors show the error dialog.
void list_netlist(const Circuit& circuit, const NetlistState& state, FormulaState& formulas);

// Prints "Saving netlist <path>", sets the circuit name from the path and
// writes the netlist with the error dialog suppressed. On failure prints
// "Impossible to write file." and returns false. Afterwards
// `formulas.unevaluated` counts the formulas the file holds unevaluated.
bool write_netlist(const std::string& path, Circuit& circuit, const NetlistState& state,
                   FormulaState& formulas, bool comments);

// The closing line of a generation whose netlist holds `count` (> 0)
// unevaluated formulas, which the analysis program cannot read:
// "* 2 formulas could not be evaluated: the netlist holds unevaluated text."
std::string unevaluated_message(int count);

// The circuit elements (1..n of the prepared circuit) whose parameter texts
// hold something other than a number where the analysis program reads one
// (value_not_a_number), each as its name in the netlist and the word in
// quotes: R0102 "47K", or V0100 "" for a text without any word.
std::vector<std::string> values_not_numbers(const Circuit& circuit, const NetlistState& state);

// The closing line of a generation whose netlist holds such values:
// "* 2 values are not numbers: R0102 "47K", V0100 ""."
std::string not_numbers_message(const std::vector<std::string>& values);

// "Component list:", every element with its packed points and raw
// parameter text, "--//--".
void list_circuit_list(const Circuit& circuit, const MessageSink& print);

// The two-digit text of a node number in automatic names: "07", "12", and
// the last two digits of larger numbers.
std::string two_digit_text(int n);

}  // namespace editor
