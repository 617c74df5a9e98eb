#include "common/textscan.h"

#include "common/numtext.h"
#include "common/textfile.h"

namespace suite {
namespace {

bool is_white(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

TextScanner TextScanner::from_file(const std::string& path) { return TextScanner(read_text(path)); }

char TextScanner::get() {
    if (eof()) return '\0';
    const char c = text_[pos_++];
    if (c == '\n') ++line_;
    return c;
}

void TextScanner::readln() {
    while (!eoln()) ++pos_;
    get();
}

std::string TextScanner::rest_of_line() {
    const std::size_t start = pos_;
    while (!eoln()) ++pos_;
    return text_.substr(start, pos_ - start);
}

void TextScanner::skip_white() {
    while (!eof() && is_white(text_[pos_])) get();
}

bool TextScanner::line_has_field() const {
    for (std::size_t i = pos_; i < text_.size() && text_[i] != '\n'; ++i)
        if (!is_white(text_[i])) return true;
    return false;
}

std::string TextScanner::read_field() {
    skip_white();
    const std::size_t start = pos_;
    while (!eof() && !is_white(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
}

bool TextScanner::read_int(long long& value) {
    const std::string field = read_field();
    if (field.empty()) {
        value = 0;
        return true;
    }
    return parse_long(field, value);
}

bool TextScanner::read_real(Real& value) {
    const std::string field = read_field();
    if (field.empty()) {
        value = 0;
        return true;
    }
    return parse_real(field, value);
}

}  // namespace suite
