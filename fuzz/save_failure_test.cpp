// Every writer of the suite on a save that cannot succeed: onto a full
// device, onto a full disk and into a read-only folder. Each reports the
// error and leaves the previous file byte for byte, with no temporary file
// beside it. The pictures are saved by the command-line twins themselves
// (morat --plot and --pz-plot, kelma --plot, plaxe --plot).
//
// The full disk and the read-only folder are a 16 KiB memory file system
// mounted for the test when the process may mount (as root); without that
// privilege the read-only folder is an ordinary folder without write
// permission, and the full-disk case is skipped.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/cli/morat_plot.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"
#include "analysis/polezero/deviation_table.h"
#include "analysis/shell/reports.h"
#include "common/errors.h"
#include "common/textfile.h"
#include "editor/files/circuitfile.h"
#include "editor/library/library.h"
#include "editor/netlist/netlist.h"
#include "fuzz/fuzz_support.h"
#include "viewer/kelmacli.h"

namespace {

namespace fs = std::filesystem;

// A save: true when it reported success; `error` gets what it reported.
using Save = std::function<bool(const std::string& path, std::string& error)>;

// Turns a writer that throws into a Save.
Save throwing(std::function<void(const std::string&)> write) {
    return [write](const std::string& path, std::string& error) {
        try {
            write(path);
            return true;
        } catch (const suite::IoError& e) {
            error = e.what();
            return false;
        }
    };
}

// Enough lines to overflow the small file system.
std::vector<std::string> many_lines() { return std::vector<std::string>(1200, std::string(40, 'x')); }

// An analysed circuit with a swept response of 1001 points.
struct Analysed {
    std::unique_ptr<analysis::Circuit> c = std::make_unique<analysis::Circuit>();
    std::unique_ptr<analysis::Engine> e = std::make_unique<analysis::Engine>();
    std::unique_ptr<analysis::Sweep> sw = std::make_unique<analysis::Sweep>();
    analysis::AnalysisSettings s;
    Analysed() {
        const analysis::Log quiet = [](const std::string&) {};
        suite::TextScanner in("2\nI1 0 1 1\nR1 1 2 1\nC1 2 0 1\n");
        analysis::read_netlist(*c, in, quiet);
        c->segments = 1000;
        analysis::start_analysis(*c, *e, *sw, s, 2, 2, quiet);
        analysis::sweep(*c, *e, *sw, s, quiet);
    }
};

// A drawing of 2000 resistors side by side between two wires' points.
editor::Circuit& resistors() {
    static auto c = [] {
        auto circuit = std::make_unique<editor::Circuit>();
        for (int i = 1; i <= 2000; ++i) {
            editor::Element& e = circuit->element[++circuit->count];
            e.kind = editor::kind_resistor;
            e.name = "R";
            e.parameters = "1E3";
            e.P[1] = e.P[3] = editor::pack_point(10, 11);
            e.P[2] = e.P[4] = editor::pack_point(10, 10);
        }
        return circuit;
    }();
    return *c;
}

const std::string examples = SUITE_SOURCE_DIR "/examples/";

// A twin run in this process: saved when it exits with 0; the error is
// what it printed on its error stream.
using Twin = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);
Save twin(Twin run, std::vector<std::string> args) {
    return [run, args](const std::string& path, std::string& error) {
        std::vector<std::string> a = args;
        for (std::string& arg : a)
            if (arg == "PICTURE") arg = path;
        std::ostringstream out, err;
        const int status = run(a, out, err);
        error = err.str();
        return status == 0;
    };
}

// plaxe, run as a program.
Save plaxe(const std::string& args) {
    return [args](const std::string& path, std::string& error) {
        const std::string err = fuzz::scratch_path("plaxe-errors.txt");
        const int raw = std::system(
            (std::string(PLAXE) + " " + args + " --plot " + path + " >/dev/null 2>" + err).c_str());
        error = fuzz::read_scratch(err);
        return WIFEXITED(raw) && WEXITSTATUS(raw) == 0;
    };
}

struct Writer {
    const char* name;
    Save save;
};

std::vector<Writer> writers() {
    std::vector<Writer> w;
    w.push_back(
        {"text file", throwing([](const std::string& p) { suite::write_text_file(p, many_lines()); })});
    w.push_back({"deviation table",
                 throwing([](const std::string& p) { analysis::write_deviation_table(p, many_lines()); })});
    w.push_back({"response table", throwing([](const std::string& p) {
                     static Analysed a;
                     ASSERT_TRUE(a.sw->response_valid);
                     analysis::save_response_table(p, *a.c, *a.sw, a.s, [](const std::string&) {});
                 })});
    w.push_back({"circuit file", [](const std::string& p, std::string& error) {
                     std::vector<std::string> lines;
                     editor::Circuit& c = resistors();
                     c.changed = true;
                     const bool ok = editor::write_circuit_file(p, c, editor::collect_into(lines));
                     if (!ok) {
                         error = lines.back();
                         EXPECT_TRUE(c.changed);  // the drawing still counts as unsaved
                     }
                     return ok;
                 }});
    w.push_back({"netlist", [](const std::string& p, std::string& error) {
                     editor::Circuit c = resistors();
                     editor::ValueList values;
                     std::vector<std::string> lines;
                     editor::FormulaErrorDialog dialog;
                     editor::FormulaState f{values, editor::collect_into(lines), dialog};
                     editor::NetlistState state;
                     EXPECT_TRUE(editor::prepare_netlist(c, state, f.print));
                     const bool ok = editor::write_netlist(p, c, state, f, false);
                     if (!ok) error = lines.back();
                     return ok;
                 }});
    // The pictures, each larger than the small file system.
    w.push_back(
        {"response picture", twin(analysis::morat_main_with_plot,
                                  {examples + "tow-thomas-biquad", "--output", "3", "--plot", "PICTURE",
                                   "--size", "2000x1500", "--grid", "--curves", "module,phase,delay"})});
    w.push_back({"deviation picture",
                 twin(analysis::morat_main_with_plot,
                      {examples + "tow-thomas-biquad", "--output", "3", "--poles",
                       examples + "tow-thomas-biquad.r", "--pz-plot", "PICTURE", "--size", "2000x1500"})});
    w.push_back({"viewer picture", twin(viewer::run_kelma, {examples + "tow-thomas-biquad.tsp", "--plot",
                                                            "PICTURE", "--size", "1500"})});
    w.push_back({"layout picture", plaxe(examples + "tow_thomas_biquad.cir --zoom 5 --nodes")});
    return w;
}

std::vector<std::string> folder_listing(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& f : fs::directory_iterator(dir)) names.push_back(f.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Saves onto `target`, which holds `previous`, expecting a failure.
void expect_refused_and_kept(const Writer& w, const fs::path& target, const std::string& previous) {
    SCOPED_TRACE(w.name);
    const auto before = folder_listing(target.parent_path());
    std::string error;
    EXPECT_FALSE(w.save(target.string(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(fuzz::read_scratch(target.string()), previous);
    EXPECT_EQ(folder_listing(target.parent_path()), before);  // no temporary file left
}

class SaveFailure : public ::testing::Test {
protected:
    fs::path dir;
    bool mounted = false;

    void SetUp() override {
        dir = fs::temp_directory_path() / ("suite_save_failure_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        if (mounted) ::umount(dir.c_str());
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    bool mount_small_disk() {
        mounted = ::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=16k,mode=0755") == 0;
        return mounted;
    }
    std::string put_previous(const std::string& name) {
        const std::string previous = "previous contents of " + name + "\r\n";
        fuzz::write_scratch((dir / name).string(), previous);
        return previous;
    }
};

TEST_F(SaveFailure, OntoAFullDeviceEveryWriterReportsTheError) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.name);
        std::string error;
        EXPECT_FALSE(w.save("/dev/full", error));
        EXPECT_FALSE(error.empty());
    }
}

TEST_F(SaveFailure, OnAFullDiskThePreviousFileStays) {
    if (!mount_small_disk()) GTEST_SKIP() << "cannot mount a small file system here";
    for (const Writer& w : writers()) {
        const std::string previous = put_previous("saved.txt");
        expect_refused_and_kept(w, dir / "saved.txt", previous);
    }
}

TEST_F(SaveFailure, InAReadOnlyFolderThePreviousFileStays) {
    std::string previous;
    if (mount_small_disk()) {
        previous = put_previous("saved.txt");
        ASSERT_EQ(::mount("tmpfs", dir.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
    } else if (::geteuid() != 0) {
        previous = put_previous("saved.txt");
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    } else {
        GTEST_SKIP() << "as root without mounting, permissions do not bite";
    }
    for (const Writer& w : writers()) expect_refused_and_kept(w, dir / "saved.txt", previous);
}

TEST_F(SaveFailure, TheSameSavesSucceedWhereThereIsRoom) {
    // The writers above fail for want of room, not by themselves.
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.name);
        std::string error;
        EXPECT_TRUE(w.save((dir / "saved.txt").string(), error)) << error;
        EXPECT_GT(fs::file_size(dir / "saved.txt"), 16u * 1024u);
    }
}

}  // namespace
