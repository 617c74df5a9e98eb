// Test helper: a circuit read from netlist text, analysed, with the
// pole/zero set and a memo; pole/zero files written to the test's own
// folder and a file dialog that answers with them.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"
#include "analysis/polezero/polezero_run.h"
#include "common/scratch_dir.h"
#include "common/textfile.h"

namespace analysis::testing {

struct PoleZeroBench {
    std::unique_ptr<Circuit> circuit = std::make_unique<Circuit>();
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    std::unique_ptr<Sweep> sweep = std::make_unique<Sweep>();
    std::unique_ptr<PoleZeroSet> set = std::make_unique<PoleZeroSet>();
    AnalysisSettings settings;
    std::vector<std::string> log;
    std::vector<std::string> memo;
    std::vector<PoleZeroFileRequest> requests;  // what the dialogs were asked
    std::optional<std::string> answer;          // what they answer (none: cancel)
    suite::testing::ScratchDir scratch;
    std::filesystem::path dir;

    // Reads the netlist and runs "Analisar" with the output node.
    PoleZeroBench(const std::string& netlist, int output_node, const std::string& name = "pz") {
        // The running test's own folder: ctest runs the tests side by side.
        dir = scratch.root() / name;
        std::filesystem::create_directories(dir);
        suite::TextScanner in(netlist);
        const Log to_log = [this](const std::string& l) { log.push_back(l); };
        read_netlist(*circuit, in, to_log);
        if (!start_analysis(*circuit, *engine, *sweep, settings, output_node, output_node, to_log))
            throw std::runtime_error("analysis refused");
    }
    // "Analisar" again (after a change of the segments, for instance).
    void analyse(int output_node) {
        const Log to_log = [this](const std::string& l) { log.push_back(l); };
        start_analysis(*circuit, *engine, *sweep, settings, output_node, output_node, to_log);
    }
    bool run_sweep() {
        return analysis::sweep(*circuit, *engine, *sweep, settings, [](const std::string&) {});
    }

    PoleZeroContext context() {
        return PoleZeroContext{*circuit, *engine, *sweep, settings, *set, (dir / "net").string()};
    }
    PoleZeroFileChooser chooser() {
        return [this](const PoleZeroFileRequest& r) {
            requests.push_back(r);
            return answer;
        };
    }
    Log to_memo() {
        return [this](const std::string& l) { memo.push_back(l); };
    }
    std::string write(const std::string& file, const std::string& text) {
        std::filesystem::create_directories(dir);  // a second bench of the test empties the folder
        const std::string path = (dir / file).string();
        suite::write_text_file(path, suite::split_lines(text));
        return path;
    }
    // Writes the file, answers the dialog with it and runs.
    bool run(bool poles, const std::string& text) {
        answer = write(poles ? "net.r" : "net.z", text);
        return run_again(poles);
    }
    bool run_again(bool poles) {
        memo.clear();
        PoleZeroContext x = context();
        return run_pole_zero(x, poles, chooser(), to_memo());
    }
    int element(const std::string& name) const {
        for (int i = 1; i <= circuit->element_count; ++i)
            if (circuit->elements[i].name == name) return i;
        throw std::runtime_error("no element " + name);
    }
    Complex s(int k, const std::string& name) const { return sensitivity(*engine, k, element(name)); }
    bool has_line(const std::string& line) const {
        for (const auto& l : memo)
            if (l == line) return true;
        return false;
    }
};

}  // namespace analysis::testing
