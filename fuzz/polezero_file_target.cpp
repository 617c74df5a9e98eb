// The pole and zero file reader, as the pole/zero window opens a file.
#include <cmath>

#include "analysis/polezero/polezero_file.h"
#include "common/errors.h"
#include "common/textscan.h"
#include "fuzz/fuzz_support.h"

int fuzz_polezero_file(const std::uint8_t* data, std::size_t size) {
    using analysis::PoleZeroFile;
    static const std::string path = fuzz::scratch_path("points.r");
    fuzz::write_scratch(path, std::string_view(reinterpret_cast<const char*>(data), size));
    for (int capacity : {3, 401}) {
        try {
            suite::TextScanner in = suite::TextScanner::from_file(path);
            const PoleZeroFile f = analysis::read_pole_zero_file(in, path, capacity);
            fuzz::check(f.count >= 0, "a negative count");
            switch (f.status) {
                case PoleZeroFile::Status::ok:
                    fuzz::check(static_cast<long long>(f.points.size()) == f.count, "entries missing");
                    break;
                case PoleZeroFile::Status::too_many:
                    fuzz::check(f.count > capacity && f.points.empty(), "a refused file with entries");
                    break;
                case PoleZeroFile::Status::empty:
                    fuzz::check(f.count == 0 && f.points.empty(), "an empty file with entries");
                    break;
                case PoleZeroFile::Status::too_short:
                    fuzz::check(static_cast<long long>(f.points.size()) < f.count, "a short file in full");
                    break;
            }
            for (const auto& p : f.points)
                fuzz::check(std::isfinite(p.re) && std::isfinite(p.im), "an entry that is not finite");
        } catch (const suite::IoError&) {
            // A number that cannot be read: shown in the error box.
        }
    }
    return 0;
}
