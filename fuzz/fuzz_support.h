// Shared by the fuzz targets: scratch files for readers that take a path,
// and the checks whose failure is a finding.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// A file of this process for `name`, in memory when /dev/shm is there.
inline std::string scratch_path(const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir = fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0
                             ? fs::path("/dev/shm")
                             : fs::temp_directory_path();
    const std::string path = (dir / ("suite_fuzz_" + std::to_string(::getpid()) + "_" + name)).string();
    static std::vector<std::string> made;
    if (made.empty()) std::atexit([] {
        for (const std::string& p : made) std::remove(p.c_str());
    });
    made.push_back(path);
    return path;
}

inline void write_scratch(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string read_scratch(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A finding: the message goes to standard error and the process aborts,
// which libFuzzer and the replay tests both report.
[[noreturn]] inline void fail(const std::string& what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
    std::abort();
}

inline void check(bool ok, const std::string& what) {
    if (!ok) fail(what);
}

// The number texts of the suite show a value that is not finite as "NAN",
// "INF" or "-INF": none may reach a listing or a file.
inline void check_no_non_finite_text(const std::string& line, const std::string& where) {
    if (line.find("NAN") != std::string::npos || line.find("INF") != std::string::npos)
        fail(where + " shows a value that is not finite: " + line);
}

}  // namespace fuzz

// The targets, one per reader (each file defines one). The replay tests call
// them directly; the fuzzing build wraps each in LLVMFuzzerTestOneInput.
int fuzz_netlist(const std::uint8_t* data, std::size_t size);
int fuzz_polezero_file(const std::uint8_t* data, std::size_t size);
int fuzz_tables(const std::uint8_t* data, std::size_t size);
int fuzz_circuit_file(const std::uint8_t* data, std::size_t size);
int fuzz_formula(const std::uint8_t* data, std::size_t size);
