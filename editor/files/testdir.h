// A fresh folder for one test's files (the running test's own scratch
// folder, named after the test and the process), removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "common/scratch_dir.h"

namespace editor::testing {

class TestDir : public suite::testing::ScratchDir {
public:
    // Writes raw bytes (no line-end conversion), creating the folders the
    // name holds, and returns the path.
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::string p = path(name);
        std::filesystem::create_directories(std::filesystem::path(p).parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

}  // namespace editor::testing
