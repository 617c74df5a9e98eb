#include "editor/files/fields.h"

#include <cmath>

#include "common/errors.h"
#include "common/numtext.h"

namespace editor {

void field_error(const std::string& what, const std::string& path, std::size_t line,
                 const std::string& field) {
    throw suite::IoError(what + " \"" + field + "\" in file \"" + path + "\" on line " +
                         std::to_string(line));
}

void check_no_nul(const std::string& text, const std::string& path) {
    const std::size_t nul = text.find('\0');
    if (nul == std::string::npos) return;
    std::size_t line = 1;
    for (std::size_t i = 0; i < nul; ++i) line += text[i] == '\n';
    throw suite::IoError("Not a text file: NUL character in file \"" + path + "\" on line " +
                         std::to_string(line));
}

long long read_int_field(suite::TextScanner& in, const std::string& path) {
    in.skip_white();
    const std::size_t line = in.line_number();
    const std::string field = in.read_field();
    long long value = 0;
    if (!field.empty() && !suite::parse_long(field, value)) field_error("Invalid number", path, line, field);
    return value;
}

double read_real_field(suite::TextScanner& in, const std::string& path) {
    in.skip_white();
    const std::size_t line = in.line_number();
    const std::string field = in.read_field();
    suite::Real value = 0;
    if (!field.empty() && (!suite::parse_real(field, value) || !std::isfinite(static_cast<double>(value))))
        field_error("Invalid number", path, line, field);
    return static_cast<double>(value);
}

}  // namespace editor
