// The editor's compiled-in library of 69 component kinds.
//
// Every placed element refers to one kind by its 1-based library index.
// The index order is significant: other parts of the editor rely on the
// fixed roles of the ranges below.
//
//   const ComponentKind& k = component_kind(find_kind('R'));   // resistor
//   k.terminals == 2, k.defaults == "1", k.drawing == "*JAJ..."
//   kind_for_typed_key('r') == 1    // letters are case-swapped when typed
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace editor {

inline constexpr int library_size = 69;

// Fixed roles of library indices.
inline constexpr int kind_resistor = 1;        // R
inline constexpr int kind_grounded_g = 11;     // g: its first terminal is always ground
inline constexpr int last_circuit_kind = 53;   // 1..53 are circuit elements
inline constexpr int kind_ground = 54;         // =
inline constexpr int kind_wire = 55;           // -
inline constexpr int kind_diagonal_wire = 56;  // '\'
inline constexpr int kind_crossing = 57;       // +
inline constexpr int kind_first_label = 58;    // 0
inline constexpr int kind_last_label = 67;     // 9
inline constexpr int kind_comment = 68;        // *
inline constexpr int kind_command = 69;        // .

struct ComponentKind {
    char key;                      // first character of every element name of this kind
    int32_t terminals;             // 2, 3 or 4
    std::string_view description;  // meaning of the parameter text; empty: no parameters
    std::string_view defaults;     // parameter text of a newly placed element
    std::string_view drawing;      // vector drawing in the drawing language
};

// The kind at `index` (1..library_size). Throws std::out_of_range otherwise.
const ComponentKind& component_kind(int index);

// Index of the first kind whose key equals `key`, searching 1..69 in order;
// 0 when none does.
int find_kind(char key);

// Letters swap case (a -> A, A -> a); every other character is unchanged.
char swap_letter_case(char c);

// The kind placed by a character typed on the layout screen: letters are
// case-swapped before the lookup, so 'r' gives R and 'R' gives r. 0: none.
int kind_for_typed_key(char typed);

// Roles of an index (false for indices outside 1..69).
bool is_circuit_kind(int index);     // 1..53: numbered, written to the netlist
bool is_connection_kind(int index);  // 54..67: ground, wires, crossing, labels
bool is_label_kind(int index);       // 58..67: labels 0..9
bool has_parameters(int index);      // the description is not empty
// Labels, ground, Z and the diagonal wire are placed with the cursor's two
// points exchanged.
bool placed_exchanged(int index);

// How the analysis program reads the parameter text of a kind's netlist
// line. It reads numbers on the lines of the letters it knows (R C L I V Z
// E F H G Y A M Q K after the netlist's renaming: r, l, c, g, # and a
// become R, L, C, G, G and A, W and w become M) and refuses any other word
// in a number's place. Of those kinds:
// - R r L l C c K G g # M m A a E F H Y Z carry numbers only: their
//   descriptions name numbers alone (L, l, C and c may end in "IC=" and a
//   number, which the reader skips);
// - I V Q q W w are also written for other simulators, whose texts begin
//   with a word: a source's "DC 0 AC 1", a transistor's model "NPN" or
//   "NMOS L=1E-6 ...". Their texts are numbers when they begin as one.
// Every other kind (N, X, J, D, S, T, the logic and switch symbols,
// labels, comments, commands) is left to whichever program reads it:
// those programs may well take "47k".
enum class ParameterValues {
    free,              // any text
    numbers,           // every word a number (L, l, C and c also "IC=" and a number)
    numbers_or_model,  // numbers when the text begins as a number, else a model text
};
ParameterValues parameter_values(int index);

// The keys of kinds 1..57 in index order followed by "0..9.*": the line of
// accepted element keys in the editor's help text.
std::string accepted_keys_line();

}  // namespace editor
