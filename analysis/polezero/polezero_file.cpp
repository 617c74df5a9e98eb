#include "analysis/polezero/polezero_file.h"

#include <charconv>

#include "common/errors.h"
#include "common/textfile.h"

namespace analysis {

namespace {

// Shortest round-trip text, without a negative zero.
std::string exact_text(Real x) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, x + 0.0L);
    return std::string(buf, r.ptr);
}

[[noreturn]] void bad_number(const suite::TextScanner& in, const std::string& file_name) {
    throw suite::IoError("Número inválido no arquivo " + file_name + ", linha " +
                         std::to_string(in.line_number()));
}

}  // namespace

PoleZeroFile read_pole_zero_file(suite::TextScanner& in, const std::string& file_name, int capacity) {
    PoleZeroFile f;
    if (in.seek_eof()) {
        f.status = PoleZeroFile::Status::empty;
        return f;
    }
    long long n = 0;
    if (!in.read_int(n)) bad_number(in, file_name);
    f.count = n < 0 ? 0 : n;
    if (f.count > capacity) {
        f.status = PoleZeroFile::Status::too_many;
        return f;
    }
    f.points.reserve(static_cast<std::size_t>(f.count));
    for (long long k = 1; k <= f.count; ++k) {
        PoleZeroPoint p;
        if (in.seek_eof()) break;
        if (!in.read_real(p.re)) bad_number(in, file_name);
        if (in.seek_eof()) break;
        if (!in.read_real(p.im)) bad_number(in, file_name);
        in.readln();
        f.points.push_back(p);
    }
    if (static_cast<long long>(f.points.size()) < f.count) f.status = PoleZeroFile::Status::too_short;
    return f;
}

std::vector<std::string> pole_zero_file_lines(const std::vector<PoleZeroPoint>& points) {
    std::vector<std::string> lines{std::to_string(points.size())};
    for (const PoleZeroPoint& p : points) lines.push_back(exact_text(p.re) + " " + exact_text(p.im));
    return lines;
}

void write_pole_zero_file(const std::string& path, const std::vector<PoleZeroPoint>& points) {
    suite::write_text_file(path, pole_zero_file_lines(points));
}

}  // namespace analysis
