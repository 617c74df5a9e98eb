// The log of the analysis program, as the core sees it.
//
// Core procedures report through a sink that the caller supplies: the main
// window appends each line to its memo, the command-line twin prints it,
// a test collects the lines in a vector.
//
//   std::vector<std::string> lines;
//   analysis::Log log = [&](const std::string& line) { lines.push_back(line); };
#pragma once

#include <functional>
#include <string>

namespace analysis {

// Receives one log line (UTF-8, without a line end).
using Log = std::function<void(const std::string&)>;

}  // namespace analysis
