// The editor's files: a value list and a circuit file read as the editor
// reads them, the circuit listed, saved and read back, then the netlist
// generated from it with its formulas evaluated against the value list.
//
// The input is the circuit file, optionally followed by a line "#val" and
// the value list.
#include <cmath>
#include <memory>

#include "common/errors.h"
#include "editor/files/circuitfile.h"
#include "editor/files/valuelist.h"
#include "editor/library/library.h"
#include "editor/netlist/netlist.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace editor;

constexpr std::string_view separator = "\n#val\n";

bool plain_ascii(std::string_view text) {
    for (char ch : text)
        if ((ch < ' ' || ch > '~') && ch != '\n') return false;
    return true;
}

void check_elements(const Circuit& c) {
    fuzz::check(c.count >= 0 && c.count <= max_elements, "an element count out of range");
    for (int i = 1; i <= c.count; ++i) {
        const Element& e = c.element[i];
        fuzz::check(e.kind >= 1 && e.kind <= 69, "an element of no kind");
        fuzz::check(text_length(e.name) <= max_name_length, "a name too long");
        fuzz::check(text_length(e.parameters) <= max_parameter_length, "parameters too long");
        for (int k = 1; k <= component_kind(e.kind).terminals; ++k)
            fuzz::check(is_grid_point(e.P[k]), "a point off the grid");
    }
}

// Saving and reading again gives the same elements. Saving changes only
// the circuit's name and changed flag.
void check_round_trip(Circuit& c) {
    static const std::string copy = fuzz::scratch_path("copy.cir");
    static auto again = std::make_unique<Circuit>();
    fuzz::check(write_circuit_file(copy, c, [](const std::string&) {}), "a circuit file not written");
    read_circuit(copy, *again, [](const std::string&) {});
    fuzz::check(again->count == c.count, "elements lost in a save");
    for (int i = 1; i <= c.count; ++i)
        fuzz::check(circuit_line(again->element[i]) == circuit_line(c.element[i]),
                    "an element changed in a save: " + circuit_line(c.element[i]));
}

void generate(Circuit& c, ValueList& values, bool check_texts) {
    static const std::string net = fuzz::scratch_path("generated.net");
    std::vector<std::string> messages;
    FormulaErrorDialog dialog;
    FormulaState f{values, collect_into(messages), dialog};
    NetlistState state;
    if (!prepare_netlist(c, state, f.print)) return;
    fuzz::check(state.node_count >= 0 && state.node_count <= max_nodes, "a node count out of range");
    list_netlist(c, state, f);
    fuzz::check(write_netlist(net, c, state, f, true), "a netlist not written");
    const std::string text = fuzz::read_scratch(net);
    if (check_texts) fuzz::check_no_non_finite_text(text, "the netlist");
    fuzz::check(values.count >= 0 && values.count <= max_values, "a value list out of range");
    for (int i = 1; i <= values.count; ++i)
        fuzz::check(std::isfinite(values.entry[i].value), "a value that is not finite");
}

}  // namespace

int fuzz_circuit_file(const std::uint8_t* data, std::size_t size) {
    static const std::string cir = fuzz::scratch_path("circuit.cir");
    static const std::string val = fuzz::scratch_path("values.val");
    static auto circuit = std::make_unique<Circuit>();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find(separator);
    const std::string_view circuit_text = input.substr(0, cut);
    const std::string_view value_text =
        cut == std::string_view::npos ? std::string_view() : input.substr(cut + separator.size());
    fuzz::write_scratch(cir, circuit_text);
    fuzz::write_scratch(val, value_text);
    const auto quiet = [](const std::string&) {};

    ValueList values;
    try {
        read_value_list(val, values, quiet);
    } catch (const suite::IoError&) {
        // A malformed number: the entries before it stay.
    }
    bool whole = false;
    try {
        whole = read_circuit(cir, *circuit, quiet) == CircuitRead::read;
    } catch (const suite::IoError&) {
        // A malformed number or point: the elements before it stay.
    }
    check_elements(*circuit);
    int listed = 0;
    list_circuit_list(*circuit, [&listed](const std::string&) { ++listed; });
    fuzz::check(listed == circuit->count + 2, "a component list without every element");
    if (whole && plain_ascii(circuit_text)) check_round_trip(*circuit);
    const bool check_texts = !fuzz::may_print_like_a_non_finite(input);
    generate(*circuit, values, check_texts);
    return 0;
}
