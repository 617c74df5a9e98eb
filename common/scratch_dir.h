// Tests: a folder of the running test's own under the temporary folder,
// named after the test suite, the test and the process, so that tests run
// in parallel (and the same test run by two builds at once) never share a
// file. Empty at the start, removed at the end.
//
//   suite::testing::ScratchDir dir;
//   const std::string net = dir.write("rc.net", "2\nV1 1 0 1\n...");
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace suite::testing {

class ScratchDir {
public:
    ScratchDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "suite";
        if (info) name += std::string("_") + info->test_suite_name() + "_" + info->name();
        for (char& ch : name)
            if (ch == '/') ch = '_';  // parameterised test names
        root_ = std::filesystem::path(::testing::TempDir()) / (name + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::string path(const std::string& name) const { return (root_ / name).string(); }
    // Writes the bytes as they are (no line-end conversion); returns the path.
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::string p = path(name);
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

private:
    std::filesystem::path root_;
};

}  // namespace suite::testing
