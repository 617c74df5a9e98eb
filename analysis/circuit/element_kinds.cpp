// The table of element kinds.
#include "analysis/circuit/element_kinds.h"

#include <array>

namespace analysis {
namespace {

// letter, meaning, Σ sign, observer, source, noise, op-amp, noiseless model, stored part
constexpr std::array<ElementKind, 21> kinds{{
    {'R', "resistor", 0, true, false, true, false, false, false},
    {'C', "capacitor", 1, true, false, false, false, false, false},
    {'L', "inductor", 1, true, false, false, false, false, false},
    {'Z', "source with series resistance", 0, true, false, true, false, false, false},
    {'I', "current source", 0, false, true, false, false, false, false},
    {'V', "voltage source", 0, false, true, false, false, false, false},
    {'E', "voltage-controlled voltage source", 0, false, false, false, false, true, false},
    {'F', "current-controlled current source", 0, false, false, false, false, true, false},
    {'G', "transconductance", 0, false, false, false, false, true, false},
    {'H', "current-controlled voltage source", 0, false, false, false, false, true, false},
    {'Y', "gyrator", 0, false, false, false, false, false, false},
    {'A', "op-amp of finite gain-bandwidth", -1, false, false, false, true, false, false},
    {'M', "MOSFET (transconductance)", 0, false, false, false, false, true, false},
    {'Q', "bipolar transistor (transconductance)", 0, false, false, false, false, true, false},
    {'K', "mutual inductance", -1, false, false, false, false, false, false},
    {'v', "Norton current of a Z", 0, false, true, false, false, false, true},
    {'a', "output resistance of an A", 0, false, false, false, false, false, true},
    {'q', "input resistance of a Q", 0, false, false, false, false, true, true},
    {'m', "output conductance of an M", 0, false, false, false, false, true, true},
    {'g', "common-mode part of a G", 0, false, false, false, false, true, true},
    // O (ideal op-amp) is no stored element; listed for what asks about its letter.
    {'O', "ideal op-amp", 0, false, false, false, true, false, false},
}};

constexpr ElementKind none{};

}  // namespace

const ElementKind& element_kind_of(char letter) {
    for (const ElementKind& k : kinds)
        if (k.letter == letter) return k;
    return none;
}

}  // namespace analysis
