// The two report commands of the analysis menu, on the program's records:
// the dynamic-range report into the log, and the response table file
// followed by its confirmation line.
#pragma once

#include <string>

namespace moratw {

struct Program;

void dynamic_range(Program& program);
// Writes the table to `file_name` (used as chosen) and logs the
// confirmation; suite::IoError when the file cannot be written.
void save_response_table(Program& program, const std::string& file_name);

}  // namespace moratw
