#include "analysis/polezero/polezero_file.h"

#include "common/errors.h"

namespace analysis {

namespace {

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

}  // namespace analysis
