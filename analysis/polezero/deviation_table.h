// The deviation table (".tsp" for poles, ".tsz" for zeros): the file that
// hands the deviations of a pole/zero set to the viewer.
//
//   Desvios estat. dos Polos; Obs: C1 (Re, Im, VRe, VIm, Ra, Rb, Ang)
//     -0.500000000    0.866025404 ...            (one line per valid entry)
//                                                (an empty line ends it)
//
// Numbers are in fixed format with the listing's width and decimals,
// except Ra, always 11 wide with 6 decimals; Ang is in degrees. Entries that
// are not valid are left out. Lines end in CR LF; the file is code page 1252.
#pragma once

#include <string>
#include <vector>

#include "analysis/polezero/polezero_set.h"

namespace analysis {

// "Desvios estat. dos Polos; Obs: C1 (Re, Im, VRe, VIm, Ra, Rb, Ang)" or
// "Desvios estat. dos Zeros; Saída 3 (Re, Im, VRe, VIm, Ra, Rb, Ang)".
std::string deviation_table_header(bool poles, const std::string& observer_name, int output_node);

// One entry line.
std::string deviation_table_line(const PoleZeroEntry& e, int width, int decimals);

// The entries a table holds: as many as the viewer keeps in one table.
constexpr int entries_per_table = 30;

// The whole table as lines (header, valid entries, empty line); more than
// entries_per_table valid entries make several such tables, one after
// the other.
std::vector<std::string> deviation_table_lines(const PoleZeroSet& set, bool poles,
                                               const std::string& observer_name, int output_node, int width,
                                               int decimals);

// Writes the lines through the suite's safe writer (throws suite::IoError;
// a failed save leaves any previous file as it was).
void write_deviation_table(const std::string& path, const std::vector<std::string>& lines);

}  // namespace analysis
