// The netlist reader: fills the circuit model from a netlist text and
// writes the circuit description into the log.
//
//   suite::TextScanner in(suite::read_text("filter.net"));
//   analysis::read_netlist(circuit, in, log);
//
// Hard errors (unknown element, unreadable field, an element name longer
// than five characters, limits, "Circuito proibido", bad node numbers or
// values) throw suite::FatalError with the
// message to show; a node count that cannot be read, or a file that is not
// text, throws suite::IoError. After either the model is absent
// (circuit.present is false) until a netlist has been read completely.
#pragma once

#include <string>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "common/textscan.h"

namespace analysis {

void read_netlist(Circuit& c, suite::TextScanner& in, const Log& log);

// "Abrir": the file name as opened (".net" appended when the file's own
// name has no "."), and the stem proposed for saved tables (the name up to
// the first "." of the file's own name).
std::string complete_netlist_name(const std::string& chosen);
std::string netlist_base_name(const std::string& netlist_file_name);

// Opens the named file (already completed) and reads it. When the file
// cannot be opened, logs "* Arquivo NAME inexistente." and returns false,
// leaving the circuit as it was. Read errors throw as read_netlist does.
bool open_netlist(Circuit& c, const std::string& netlist_file_name, const Log& log);

}  // namespace analysis
