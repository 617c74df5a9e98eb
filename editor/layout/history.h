// Undo and redo of the layout screen's edits.
//
// Before an edit the screen takes the circuit's state; when the edit has
// changed the circuit, that state becomes an undo step (at most
// `undo_depth` of them, the oldest dropped first) and the redo steps are
// dropped. Undo puts the state of its step back and keeps the state it
// replaces as a redo step; redo does the reverse. The steps of block copies
// and moves also hold the marked block, so that it goes back and forth
// with the elements. Reading a circuit and New circuit clear both lists.
//
//   EditHistory h;
//   CircuitState before = circuit_state(c);
//   delete_element(c, i);
//   record_edit(h, "Delete R1", std::move(before), c);
//   undo_edit(h, c, view.block);   // R1 is back; "Delete R1" can be redone
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "editor/layout/layout.h"

namespace editor {

inline constexpr int undo_depth = 100;

// The elements 1..count (node numbers left out) and, for block edits, the
// marked block.
struct CircuitState {
    std::vector<Element> elements;
    std::optional<Block> block;
};

struct EditStep {
    std::string what;  // "Place R", "Move block", ...
    CircuitState state;
};

struct EditHistory {
    std::deque<EditStep> undo;  // the latest at the back
    std::deque<EditStep> redo;  // the next to redo at the back
};

// The state of the circuit, with the block when one is given.
CircuitState circuit_state(const Circuit& c, const Block* block = nullptr);

// Keeps `before` as the undo step of the edit `what` when the circuit is no
// longer in that state, dropping every redo step. False when the edit
// changed nothing (nothing is kept, the redo steps stay).
bool record_edit(EditHistory& h, const std::string& what, CircuitState before, const Circuit& c);

// Undo and redo; each sets the changed flag and returns the step's `what`,
// or nothing when there is no step.
std::optional<std::string> undo_edit(EditHistory& h, Circuit& c, Block& block);
std::optional<std::string> redo_edit(EditHistory& h, Circuit& c, Block& block);

void clear_history(EditHistory& h);

}  // namespace editor
