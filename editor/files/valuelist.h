// The value list: named numbers that parameter formulas refer to.
//
// Filled by reading a value-list file (".val": one "NAME value" per line,
// the rest of each line ignored) and extended or updated by formula
// assignments. Never written back to a file.
//
//   ValueList values;
//   read_value_list("filter.val", values, print);   // prints the list
//   int i = find_value(values, "R1");                // 0: absent
#pragma once

#include <array>
#include <string>

#include "editor/files/messages.h"

namespace editor {

inline constexpr int max_values = 200;

struct ValueEntry {
    std::string name;  // upper case, at most 5 characters
    double value = 0;
};

struct ValueList {
    std::array<ValueEntry, max_values + 1> entry;  // 1..count
    int count = 0;
};

// Index (1..count) of the entry named exactly `name`, or 0.
int find_value(const ValueList& values, const std::string& name);

// Reads a value-list file into `values` and lists it. When the file cannot
// be opened, prints "* File <path> inexistent", leaves the list as it was
// and returns false. Reading stops after 200 entries. A malformed number
// throws suite::IoError naming the file and the line; the entries read
// before it stay in the list.
bool read_value_list(const std::string& path, ValueList& values, const MessageSink& print);

// "Value list:", one "NAME: value" line per entry, "--//--".
void list_value_list(const ValueList& values, const MessageSink& print);

}  // namespace editor
