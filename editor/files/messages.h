// Where the editor's core procedures print their lines.
//
// The main window appends every line to its message area; the command-line
// twin prints it on standard output; tests collect the lines in a vector.
//
//   std::vector<std::string> lines;
//   MessageSink print = collect_into(lines);
//   print("New file");
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace editor {

using MessageSink = std::function<void(const std::string& line)>;

// A sink that appends every line to `lines` (which must outlive it).
inline MessageSink collect_into(std::vector<std::string>& lines) {
    return [&lines](const std::string& line) { lines.push_back(line); };
}

}  // namespace editor
