// The circuit file (".cir"): one line per element in array order,
//
//   name P1 .. Pk [parameters]
//
// with k the kind's terminal count and the parameter text (after a single
// space) only for kinds that have parameters. A resistor R1 from grid point
// (65,65) down to (65,64) with the text 1 is the line "R1 16705 16449 1".
//
//   Circuit c;
//   read_circuit("filter", c, print);          // reads filter.cir
//   write_circuit_file("copy.cir", c, print);
#pragma once

#include <string>

#include "editor/files/circuit.h"
#include "editor/files/messages.h"

namespace editor {

// The circuit name of a file: the path up to the first "." of the file's
// own name (folders may hold "." without cutting the name short).
std::string circuit_name_of(const std::string& path);

// The path that reading opens: ".cir" appended when the file's own name
// has no ".".
std::string circuit_file_path(const std::string& path);

enum class CircuitRead {
    new_file,         // the file could not be opened: the circuit is empty
    read,             // the whole file was read
    invalid_element,  // an unknown key stopped the reading
    size_limit,       // the file holds more elements than the array
};

// Replaces the circuit by the file's elements, printing "New file" or
// "Reading file <path>" and "<count> elements read" (not after an invalid
// element). Sets the circuit name and clears the changed flag. A malformed
// number or a point off the grid throws suite::IoError naming the file and
// the line; the elements read before it stay.
CircuitRead read_circuit(const std::string& path, Circuit& circuit, const MessageSink& print);

// The file line of one element.
std::string circuit_line(const Element& element);

// Sets the circuit name from `path`, prints "Saving circuit file <path>"
// and writes every element. On failure prints "Impossible to write file."
// and returns false (the changed flag stays); otherwise clears the flag.
bool write_circuit_file(const std::string& path, Circuit& circuit, const MessageSink& print);

}  // namespace editor
