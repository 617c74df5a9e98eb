// Shared by the fuzz targets: scratch files for readers that take a path,
// and the checks whose failure is a finding.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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
    if (made.empty())
        std::atexit([] {
            for (const std::string& p : made) std::remove(p.c_str());
        });
    made.push_back(path);
    return path;
}

// Plain system calls rather than streams: a stream's buffer is a fresh
// allocation that the address sanitizer fills and quarantines, and these
// run at every execution.
inline void write_scratch(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

inline std::string read_scratch(const std::string& path) {
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return text;
    char block[4096];
    for (ssize_t n; (n = ::read(fd, block, sizeof block)) > 0;)
        text.append(block, static_cast<std::size_t>(n));
    ::close(fd);
    return text;
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

// Whether the input's own text could show up as "INF" or "NAN" in what the
// programs print: upper-cased, and with the blanks left out (a comment line
// is echoed without the blank after its first token, so "*CN AN" prints as
// "*CNAN").
inline bool may_print_like_a_non_finite(std::string_view input) {
    std::string upper;
    upper.reserve(input.size());
    for (char ch : input)
        if (ch != ' ') upper += (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
    return upper.find("INF") != std::string::npos || upper.find("NAN") != std::string::npos;
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
int fuzz_spice(const std::uint8_t* data, std::size_t size);
