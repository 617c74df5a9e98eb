// Test helpers: a program's records with a circuit read from netlist text,
// its log collected, and the analysis started.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/display/program.h"
#include "common/textscan.h"

namespace moratw::testing {

// A resistive divider: T = 0.5 at node 2 for every frequency.
inline const char* const divider = "2\nV1 1 0 1\nR1 1 2 1000\nR2 2 0 1000\n";
// An RC low-pass, corner at 1 rad/s.
inline const char* const rc_lowpass = "2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n";

struct TestProgram {
    std::unique_ptr<Program> program = std::make_unique<Program>();
    std::vector<std::string> lines;
    std::vector<std::string> fatal;

    TestProgram() {
        program->log = [this](const std::string& line) { lines.push_back(line); };
        program->fatal_error = [this](const std::string& message) { fatal.push_back(message); };
    }
    Program& operator*() { return *program; }
    Program* operator->() { return program.get(); }

    // Reads `netlist` and starts the analysis at `output` (no sweep yet).
    void analyse(const std::string& netlist, int output = 2, int segments = 400) {
        suite::TextScanner in(netlist);
        analysis::read_netlist(program->circuit, in, program->log);
        analysis::forget_response(program->sweep);
        program->netlist_file_name = "test.net";
        program->circuit.segments = segments;
        ASSERT_TRUE(analysis::start_analysis(program->circuit, program->engine, program->sweep, program->settings,
                                             output, 1, program->log));
    }
    long long solves() const { return program->engine.solve_count; }
};

}  // namespace moratw::testing
