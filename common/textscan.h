// A character cursor over a text file, with the reading rules of the
// suite's text formats.
//
// The text is held with every line end turned into "\n". Numeric fields
// skip blanks, tabs, other control characters and line ends before them
// and end at the first space or control character; a field found only at
// the end of the text reads as zero without failure.
//
//   TextScanner in = TextScanner::from_file("filter.net");   // IoError
//   long long n = 0;
//   if (!in.read_int(n)) ...;         // the field was not an integer
//   in.readln();                      // on to the next line
//   while (!in.eoln()) name += in.get();
#pragma once

#include <cstddef>
#include <string>

#include "common/real.h"

namespace suite {

class TextScanner {
public:
    explicit TextScanner(std::string text) : text_(std::move(text)) {}
    static TextScanner from_file(const std::string& path);

    bool eof() const { return pos_ >= text_.size(); }
    // At a line end or at the end of the text.
    bool eoln() const { return eof() || text_[pos_] == '\n'; }
    // The next character without taking it; "\n" at a line end, "\0" at the end.
    char peek() const { return eof() ? '\0' : text_[pos_]; }
    // Takes one character; a line end is taken as "\n"; "\0" at the end.
    char get();
    // Skips the rest of the line and its line end.
    void readln();
    // Takes the rest of the current line, leaving its line end.
    std::string rest_of_line();
    // Skips spaces, tabs, control characters and line ends.
    void skip_white();
    // Skips white space as above and tells whether the text has ended.
    bool seek_eof() {
        skip_white();
        return eof();
    }
    // Whether the rest of the current line holds anything but white space.
    bool line_has_field() const;

    // The next field: white space skipped, then characters up to the first
    // space or control character. Empty at the end of the text.
    std::string read_field();
    // Numeric fields. Return false when the field is not a number of the
    // kind asked (the value is then left as it was); at the end of the text
    // the value is zero and the result true.
    bool read_int(long long& value);
    bool read_real(Real& value);

    // 1-based number of the line the cursor is on.
    std::size_t line_number() const { return line_; }
    std::size_t position() const { return pos_; }

private:
    std::string text_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
};

}  // namespace suite
