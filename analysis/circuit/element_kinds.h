// What the program needs to know about each kind of stored element, in one
// table, so that a new kind is described once: the kinds a netlist line
// names (upper case) and the parts the reader stores after some of them
// (lower case: "v" the Norton current of a Z, "a" the output resistance of
// an A, "q" the input resistance of a Q, "m" the output conductance of an
// M, "g" the common-mode part of a G; the capacitances of M and Q and the
// inductors of K are stored as C and L). How each kind is read stays with
// the reader (netlist_kinds.cpp) and how it is stamped with the engine
// (elements.cpp), each in one switch; everything else asks this table.
//
//   const ElementKind& k = element_kind_of(element_kind(c, i));
//   if (k.observer) ...;   if (k.thermal_noise) ...;
#pragma once

namespace analysis {

struct ElementKind {
    char letter = 0;
    const char* meaning = "";
    // How its stamp enters the frequency-scaling sum Σ = s·dD/ds: C and L
    // with s (+1), A and K with 1/s (−1), the others not at all.
    int frequency_sign = 0;
    bool observer = false;            // may stand in for a pole's observer (R, L, C, Z)
    bool independent_source = false;  // I, V, v: no variability
    bool thermal_noise = false;       // R, Z: its value is a resistance that is noisy
    bool opamp = false;               // A: an op-amp with input noise
    bool noiseless_model = false;     // E, F, G, H, M, Q: controlled sources and models without noise
    bool stored_part = false;         // v, a, q, m, g: stored after the element it belongs to
};

// The row of a kind letter (case-sensitive); a letter of no kind has a row
// with nothing set.
const ElementKind& element_kind_of(char letter);

}  // namespace analysis
