// Numeric fields of the editor's files. A field that is not a number stops
// the reading with an input/output error naming the file and the line, so
// the user can mend the file; the caller keeps what it read before.
//
//   long long p = read_int_field(in, path);     // throws suite::IoError
#pragma once

#include <cstddef>
#include <string>

#include "common/real.h"
#include "common/textscan.h"

namespace editor {

// Stops the reading: `what` is "Invalid number", "Invalid point" or the like.
[[noreturn]] void field_error(const std::string& what, const std::string& path, std::size_t line,
                              const std::string& field);

// A text with a NUL character is not a text file: suite::IoError naming
// the file and the line of the first one.
void check_no_nul(const std::string& text, const std::string& path);

// The next field (white space and line ends skipped) as a decimal integer;
// 0 at the end of the text.
long long read_int_field(suite::TextScanner& in, const std::string& path);
// The next field as a decimal real that fits a 64-bit double; 0 at the end
// of the text.
double read_real_field(suite::TextScanner& in, const std::string& path);

}  // namespace editor
