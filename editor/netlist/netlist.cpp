#include "editor/netlist/netlist.h"

#include "common/errors.h"
#include "common/textfile.h"
#include "editor/files/circuitfile.h"
#include "editor/library/library.h"

namespace editor {
namespace {

std::string upper_text(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The name as the netlist carries it: "#" becomes "G", "W" or "w" becomes
// "M", all in upper case.
std::string netlist_name(std::string name) {
    if (!name.empty() && name[0] == '#') name[0] = 'G';
    if (!name.empty() && (name[0] == 'W' || name[0] == 'w')) name[0] = 'M';
    return upper_text(name);
}

std::string element_line(const Element& e, const std::string& name, FormulaState& formulas) {
    std::string line = name;
    const int t = component_kind(e.kind).terminals;
    for (int k = 1; k <= t; ++k) line += ' ' + std::to_string(e.N[k]);
    if (has_parameters(e.kind)) line += reduce_text(e.parameters, formulas);
    return line;
}

std::string command_line(const Element& e, FormulaState& formulas) {
    const std::string text = reduce_text(e.parameters, formulas).substr(1);
    if (!text.empty() && text[0] == '.') return text.substr(1);
    return "." + text;
}

// Comments, element lines (named by `name_of`) and commands, in evaluation order.
// Each line goes to `emit` as soon as it is made, after the messages of its
// formulas.
template <typename NameOf>
void body_lines(const Circuit& c, const NetlistState& state, FormulaState& formulas, bool comments,
                NameOf name_of, const MessageSink& emit) {
    if (comments)
        for (int i = c.count; i >= 1; --i)
            if (c.element[i].kind == kind_comment) emit("*" + reduce_text(c.element[i].parameters, formulas));
    for (int i = 1; i <= state.circuit_elements; ++i)
        emit(element_line(c.element[i], name_of(c.element[i].name), formulas));
    for (int i = c.count; i >= 1; --i)
        if (c.element[i].kind == kind_command) emit(command_line(c.element[i], formulas));
}

}  // namespace

std::vector<std::string> netlist_lines(const Circuit& circuit, const NetlistState& state,
                                       FormulaState& formulas, bool comments) {
    std::vector<std::string> lines{std::to_string(state.node_count)};
    body_lines(circuit, state, formulas, comments, netlist_name, collect_into(lines));
    return lines;
}

void list_netlist(const Circuit& circuit, const NetlistState& state, FormulaState& formulas) {
    formulas.dialog.ignore_other_errors = false;
    formulas.print("Component list:");
    const auto as_stored = [](const std::string& name) { return name; };
    body_lines(circuit, state, formulas, true, as_stored, formulas.print);
    formulas.print("--//--");
    formulas.print("Number of nodes: " + std::to_string(state.node_count));
}

bool write_netlist(const std::string& path, Circuit& circuit, const NetlistState& state,
                   FormulaState& formulas, bool comments) {
    formulas.print("Saving netlist " + path);
    circuit.name = circuit_name_of(path);
    formulas.dialog.ignore_other_errors = true;
    formulas.unevaluated = 0;
    const std::vector<std::string> lines = netlist_lines(circuit, state, formulas, comments);
    try {
        suite::write_text_file(path, lines);
    } catch (const suite::IoError&) {
        formulas.print("Impossible to write file.");
        return false;
    }
    return true;
}

std::string unevaluated_message(int count) {
    return "* " + std::to_string(count) + (count == 1 ? " formula" : " formulas") +
           " could not be evaluated: the netlist holds unevaluated text.";
}

std::vector<std::string> values_not_numbers(const Circuit& circuit, const NetlistState& state) {
    std::vector<std::string> found;
    for (int i = 1; i <= state.circuit_elements; ++i) {
        const Element& e = circuit.element[i];
        if (const auto word = value_not_a_number(e.kind, e.parameters))
            found.push_back(netlist_name(e.name) + " \"" + *word + "\"");
    }
    return found;
}

std::string not_numbers_message(const std::vector<std::string>& values) {
    const std::size_t n = values.size();
    std::string line =
        "* " + std::to_string(n) + (n == 1 ? " value is not a number: " : " values are not numbers: ");
    for (std::size_t i = 0; i < n; ++i) line += (i ? ", " : "") + values[i];
    return line + ".";
}

void list_circuit_list(const Circuit& circuit, const MessageSink& print) {
    print("Component list:");
    for (int i = 1; i <= circuit.count; ++i) print(circuit_line(circuit.element[i]));
    print("--//--");
}

}  // namespace editor
