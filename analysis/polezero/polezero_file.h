// Pole files (".r") and zero files (".z" and the output node): a count n,
// then n entries, each a real and an imaginary part at the start of a line
// (the rest of that line is ignored). The first entry may follow the count
// on its line.
//
//   suite::TextScanner in = suite::TextScanner::from_file("filtro.r");
//   PoleZeroFile f = read_pole_zero_file(in, "filtro.r", 401);
//   if (f.status == PoleZeroFile::Status::ok) use(f.points);
//   write_pole_zero_file("filtro.r", f.points);
#pragma once

#include <string>
#include <vector>

#include "common/real.h"
#include "common/textscan.h"

namespace analysis {

using suite::Real;

struct PoleZeroPoint {
    Real re = 0;
    Real im = 0;
};

struct PoleZeroFile {
    enum class Status {
        ok,         // all announced entries read
        too_many,   // the count exceeds the capacity; no entry was read
        too_short,  // the text ended before the announced entries
        empty,      // nothing but white space: not even a count
    };
    Status status = Status::ok;
    long long count = 0;                // as announced; a negative count reads as 0
    std::vector<PoleZeroPoint> points;  // the entries read, in file order
};

// Reads the whole file before anything is used, so a file that is too long
// for the storage or too short for its count changes nothing. A count or a
// number that is not one throws suite::IoError naming the file and line.
PoleZeroFile read_pole_zero_file(suite::TextScanner& in, const std::string& file_name, int capacity);

// The lines of a pole or zero file: the count, then one entry per line,
// each part in the shortest decimal text that reads back as the same Real.
std::vector<std::string> pole_zero_file_lines(const std::vector<PoleZeroPoint>& points);
// Writes them through the safe writer (suite::IoError when it fails).
void write_pole_zero_file(const std::string& path, const std::vector<PoleZeroPoint>& points);

}  // namespace analysis
