// Test helper: reads a netlist text and keeps the log and the outcome.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "analysis/circuit/netlist_reader.h"
#include "common/errors.h"

namespace analysis::testing {

struct ReadResult {
    std::unique_ptr<Circuit> circuit = std::make_unique<Circuit>();
    std::vector<std::string> log;
    std::string fatal;     // message of a FatalError, empty if none
    std::string io_error;  // message of an IoError, empty if none

    const Circuit& c() const { return *circuit; }
    const Element& element(int i) const { return circuit->elements[i]; }
};

// Line ends are turned into "\n" as suite::read_text does for files.
inline std::string with_newlines(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

inline ReadResult read_text_netlist(const std::string& text) {
    ReadResult r;
    suite::TextScanner in(with_newlines(text));
    const Log log = [&r](const std::string& line) { r.log.push_back(line); };
    try {
        read_netlist(*r.circuit, in, log);
    } catch (const suite::FatalError& e) {
        r.fatal = e.what();
    } catch (const suite::IoError& e) {
        r.io_error = e.what();
    }
    return r;
}

}  // namespace analysis::testing
