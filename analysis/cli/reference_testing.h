// Test helper: the reference files that ngspice wrote for the examples
// (rows of three numbers, "#" comments) and the morat command line that an
// example's header gives.
#pragma once

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace analysis::testing {

// Every row of the file: frequency and two values (module and phase, or
// real and imaginary parts).
inline std::vector<std::array<long double, 3>> read_reference_rows(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::array<long double, 3>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::array<long double, 3> r{};
        fields >> r[0] >> r[1] >> r[2];
        rows.push_back(r);
    }
    return rows;
}

// The arguments after "morat " on the first line holding `marker` (which
// begins with "morat "), argument `path_at` made a path in the source tree.
inline std::vector<std::string> header_arguments(const std::filesystem::path& file, const std::string& marker,
                                                 std::size_t path_at) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t at = line.find(marker);
        if (at == std::string::npos) continue;
        std::istringstream words(line.substr(at + 6));
        std::vector<std::string> args;
        for (std::string w; words >> w;) args.push_back(w);
        if (path_at < args.size())
            args[path_at] = (std::filesystem::path(SUITE_SOURCE_DIR) / args[path_at]).string();
        return args;
    }
    return {};
}

}  // namespace analysis::testing
