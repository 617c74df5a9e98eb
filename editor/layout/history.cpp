#include "editor/layout/history.h"

namespace editor {
namespace {

bool same_element(const Element& a, const Element& b) {
    for (int t = 1; t <= 4; ++t)
        if (a.P[t] != b.P[t]) return false;
    return a.kind == b.kind && a.name == b.name && a.parameters == b.parameters;
}

bool same_elements(const CircuitState& s, const Circuit& c) {
    if (static_cast<int>(s.elements.size()) != c.count) return false;
    for (int i = 1; i <= c.count; ++i)
        if (!same_element(s.elements[static_cast<std::size_t>(i - 1)], c.element[i])) return false;
    return true;
}

void restore(const CircuitState& s, Circuit& c, Block& block) {
    c.count = static_cast<int>(s.elements.size());
    for (int i = 1; i <= c.count; ++i) c.element[i] = s.elements[static_cast<std::size_t>(i - 1)];
    if (s.block) block = *s.block;
    c.changed = true;
}

// Takes the step at the back of `from`, keeps the present state at the back
// of `to` and puts the step's state in its place.
std::optional<std::string> step_back(std::deque<EditStep>& from, std::deque<EditStep>& to, Circuit& c,
                                     Block& block) {
    if (from.empty()) return std::nullopt;
    EditStep step = std::move(from.back());
    from.pop_back();
    to.push_back({step.what, circuit_state(c, step.state.block ? &block : nullptr)});
    restore(step.state, c, block);
    return step.what;
}

}  // namespace

CircuitState circuit_state(const Circuit& c, const Block* block) {
    CircuitState s;
    s.elements.reserve(static_cast<std::size_t>(c.count));
    for (int i = 1; i <= c.count; ++i) {
        Element e = c.element[i];
        for (int t = 1; t <= 4; ++t) e.N[t] = 0;
        s.elements.push_back(std::move(e));
    }
    if (block) s.block = *block;
    return s;
}

bool record_edit(EditHistory& h, const std::string& what, CircuitState before, const Circuit& c) {
    if (same_elements(before, c)) return false;
    h.undo.push_back({what, std::move(before)});
    if (h.undo.size() > static_cast<std::size_t>(undo_depth)) h.undo.pop_front();
    h.redo.clear();
    return true;
}

std::optional<std::string> undo_edit(EditHistory& h, Circuit& c, Block& block) {
    return step_back(h.undo, h.redo, c, block);
}

std::optional<std::string> redo_edit(EditHistory& h, Circuit& c, Block& block) {
    return step_back(h.redo, h.undo, c, block);
}

void clear_history(EditHistory& h) {
    h.undo.clear();
    h.redo.clear();
}

}  // namespace editor
