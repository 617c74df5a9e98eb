// Inside the netlist reader: the line being read and the checks every
// element kind shares. Not for use outside analysis/circuit.
#pragma once

#include <string>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "common/textscan.h"

namespace analysis {

// The first `count` characters (UTF-8 code points) of text, and the rest.
std::string cut_chars(const std::string& text, int count);
std::string drop_chars(const std::string& text, int count);

struct LineReader {
    LineReader(Circuit& circuit, suite::TextScanner& scanner, const Log& sink);

    Circuit& c;
    suite::TextScanner& in;
    const Log& log;
    std::string name;           // as read, upper-cased
    std::string label;          // name + ": "
    bool failed = false;        // a numeric field of this line could not be read
    bool out_of_range = false;  // a value beyond what the engine can stamp

    void read_name();
    // Numeric fields: a failure is remembered and checked by check_read.
    long long node();
    Real real();

    // FatalError with the label, a blank and `what`.
    [[noreturn]] void fail(const std::string& what) const;
    void check_read() const;
    int checked_node(long long n) const;
    void check_nonzero(Real value, const std::string& what) const;

    // The record of the line's own element (entry element_count).
    Element& element_of_line();
    // A further element right after it, counted and limit-checked.
    Element& add_generated(const std::string& generated_name);
};

// Dispatches on the first character of the name: reads the fields,
// stores and expands the element, adjusts maps and counters, logs.
void read_element_line(LineReader& line);

}  // namespace analysis
