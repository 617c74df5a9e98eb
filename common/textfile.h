// Text files of the suite.
//
// On disk, files are single-byte text in code page 1252. Inside the
// programs every text is UTF-8. Reading accepts CR LF, LF or a lone CR as
// line end, and a line that is valid UTF-8 with multi-byte characters is
// taken as UTF-8 as it stands. Writing uses code page 1252 and CR LF.
//
// Every save goes through write_file_atomically: the bytes go to a
// temporary file beside the target, which is renamed into place only when
// everything has been written, so a failed save never leaves a truncated
// file and never destroys the previous one.
//
//   auto lines = read_text_lines("filter.net");       // throws IoError
//   write_text_file("filter.tab", {"f  dB", "1 0"});  // throws IoError
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace suite {

// Code page 1252 <-> UTF-8. Characters that code page 1252 lacks are
// written as "?". The five unassigned bytes map to the C1 controls.
std::string cp1252_to_utf8(std::string_view bytes);
std::string utf8_to_cp1252(std::string_view utf8);
bool is_valid_utf8(std::string_view bytes);

// One line as read from disk (without its line end) to UTF-8.
std::string decode_line(std::string_view raw);

// Splits file contents at CR LF, LF or CR. A last line without an end
// counts; an empty content has no lines.
std::vector<std::string> split_lines(std::string_view content);

// Whole file to bytes, or to decoded UTF-8 lines. Throw IoError naming the
// file when it cannot be opened or read.
std::string read_file_bytes(const std::string& path);
std::vector<std::string> read_text_lines(const std::string& path);
// The decoded file with every line end turned into "\n" (the last line's
// end kept as it was: present or absent).
std::string read_text(const std::string& path);

bool file_exists(const std::string& path);

// Writes `bytes` to `path` through a temporary file beside it. A target
// that exists and is not a regular file (a device, a pipe) is written in
// place. Throws IoError naming the file; on failure the target is left as
// it was and no temporary file remains.
void write_file_atomically(const std::string& path, std::string_view bytes);

// Encodes the lines in code page 1252, ends each with CR LF and saves them
// with write_file_atomically.
void write_text_file(const std::string& path, const std::vector<std::string>& lines);

}  // namespace suite
