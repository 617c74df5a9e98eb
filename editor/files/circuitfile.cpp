#include "editor/files/circuitfile.h"

#include <optional>

#include "common/errors.h"
#include "common/textfile.h"
#include "common/textscan.h"
#include "editor/files/fields.h"
#include "editor/library/library.h"

namespace editor {
namespace {

std::size_t own_name_start(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? 0 : slash + 1;
}

bool is_continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Reads an element name: characters up to a space or until it has five.
// Returns false when a line end (or the end of the text) came first: the
// name is then dropped, which skips empty lines and lines with a name only.
bool read_element_name(suite::TextScanner& in, std::string& name) {
    name.clear();
    for (int length = 0; length < max_name_length; ++length) {
        if (in.eof()) return false;
        const char c = in.get();
        if (c == ' ') return true;
        if (c == '\n') return false;
        name += c;
        while (is_continuation(in.peek())) name += in.get();
    }
    return true;
}

void skip_blanks(suite::TextScanner& in) {
    while (in.peek() == ' ' || in.peek() == '\t') in.get();
}

std::int32_t read_point(suite::TextScanner& in, const std::string& path) {
    in.skip_white();
    const std::size_t line = in.line_number();
    if (in.eof())  // the file ends inside the element's line
        throw suite::IoError("Missing point in file \"" + path + "\" on line " + std::to_string(line));
    const long long value = read_int_field(in, path);
    if (!is_grid_point(value)) field_error("Invalid point", path, line, std::to_string(value));
    return static_cast<std::int32_t>(value);
}

// The points and parameters of an element of `kind` whose name has been read.
void read_element_body(suite::TextScanner& in, const std::string& path, int kind, Element& e) {
    const ComponentKind& k = component_kind(kind);
    for (int i = 1; i <= k.terminals; ++i) e.P[i] = read_point(in, path);
    if (has_parameters(kind)) {
        skip_blanks(in);
        e.parameters = in.eoln() ? std::string() : text_prefix(in.rest_of_line(), max_parameter_length);
    }
    in.readln();
    if (k.terminals == 2) {
        e.P[3] = e.P[1];
        e.P[4] = e.P[2];
    } else if (k.terminals == 3) {
        e.P[4] = e.P[3] + e.P[2] - e.P[1];
    }
}

}  // namespace

std::string circuit_name_of(const std::string& path) {
    const auto dot = path.find('.', own_name_start(path));
    return dot == std::string::npos ? path : path.substr(0, dot);
}

std::string circuit_file_path(const std::string& path) {
    return path.find('.', own_name_start(path)) == std::string::npos ? path + ".cir" : path;
}

CircuitRead read_circuit(const std::string& path, Circuit& circuit, const MessageSink& print) {
    const std::string file = circuit_file_path(path);
    circuit.name = circuit_name_of(file);
    circuit.count = 0;
    circuit.changed = false;
    std::string text;
    try {
        text = suite::read_text(file);
    } catch (const suite::IoError&) {
        print("New file");
        return CircuitRead::new_file;
    }
    print("Reading file " + file);
    check_no_nul(text, file);
    suite::TextScanner in(std::move(text));
    CircuitRead result = CircuitRead::read;
    std::string name;
    while (!in.seek_eof()) {
        if (!read_element_name(in, name)) continue;
        const int kind = find_kind(name[0]);
        if (kind == 0) {
            print("* Invalid element on line " + std::to_string(circuit.count + 1) + " : " + name);
            return CircuitRead::invalid_element;
        }
        if (circuit.count == max_elements) {
            print("Circuit size limit (" + std::to_string(max_elements) + " elements) reached.");
            result = CircuitRead::size_limit;
            break;
        }
        Element e;
        e.kind = static_cast<std::uint8_t>(kind);
        e.name = name;
        read_element_body(in, file, kind, e);
        circuit.element[++circuit.count] = e;
    }
    print(std::to_string(circuit.count) + " elements read");
    return result;
}

std::string circuit_line(const Element& e) {
    std::string line = e.name;
    const ComponentKind& k = component_kind(e.kind);
    for (int i = 1; i <= k.terminals; ++i) line += ' ' + std::to_string(e.P[i]);
    if (has_parameters(e.kind)) line += ' ' + e.parameters;
    return line;
}

bool write_circuit_file(const std::string& path, Circuit& circuit, const MessageSink& print) {
    circuit.name = circuit_name_of(path);
    print("Saving circuit file " + path);
    std::vector<std::string> lines;
    lines.reserve(circuit.count);
    for (int i = 1; i <= circuit.count; ++i) lines.push_back(circuit_line(circuit.element[i]));
    try {
        suite::write_text_file(path, lines);
    } catch (const suite::IoError&) {
        print("Impossible to write file.");
        return false;
    }
    circuit.changed = false;
    return true;
}

}  // namespace editor
