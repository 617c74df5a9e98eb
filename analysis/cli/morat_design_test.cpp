// morat --design end to end: for every type of filter, several
// approximations and topologies, the design keeps its mask when the
// analysis reads the written netlist, the editor's own netlist of the
// written drawing is the same circuit, and no op-amp output but the last
// rises above the filter's peak; the requirement given by options; the
// masks and options refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "analysis/cli/morat_session.h"
#include "analysis/design/design_testing.h"
#include "common/scratch_dir.h"
#include "common/textfile.h"
#include "editor/files/circuitfile.h"
#include "editor/files/valuelist.h"
#include "editor/netlist/netlist.h"

namespace analysis {
namespace {

struct DesignRun {
    int status = 0;
    std::string out, err;
    MoratSession session;
    // The line after the first line that starts with `head`.
    std::string after(const std::string& head) const {
        const auto lines = suite::split_lines(out);
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            if (lines[i].rfind(head, 0) == 0) return lines[i + 1];
        return {};
    }
    // The design's own check of the design it wrote: the lines just above "Arquivos escritos".
    bool design_meets() const {
        const auto lines = suite::split_lines(out);
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].rfind("Arquivos escritos", 0) == 0)
                for (std::size_t k = i >= 4 ? i - 4 : 0; k < i; ++k)
                    if (lines[k] == "Resposta nominal: atende à máscara.") return true;
        return false;
    }
};

void run(DesignRun& r, const std::vector<std::string>& args) {
    std::ostringstream out, err;
    MoratOptions o;
    const std::string why = parse_morat_options(args, o);
    ASSERT_EQ(why, "");
    r.status = analyse_with_morat(o, r.session, out, err);
    r.out = out.str();
    r.err = err.str();
}

// The editor's netlist of the drawing, through its own files.
std::vector<std::string> editor_netlist(const std::string& stem) {
    editor::Circuit c;
    editor::ValueList values;
    std::vector<std::string> messages;
    const editor::MessageSink print = editor::collect_into(messages);
    EXPECT_EQ(editor::read_circuit(stem + ".cir", c, print), editor::CircuitRead::read);
    EXPECT_TRUE(editor::read_value_list(stem + ".val", values, print));
    editor::FormulaErrorDialog dialog;
    editor::FormulaState formulas{values, print, dialog};
    editor::NetlistState state;
    EXPECT_TRUE(editor::prepare_netlist(c, state, print));
    return editor::netlist_lines(c, state, formulas, false);
}

struct Row {
    std::vector<std::string> mask;
    std::vector<std::string> options;
};

TEST(MoratDesign, DesignsKeepTheirMasksDrawingsAndLevelRule) {
    const std::vector<std::string> lp = {"unidade Hz", "modulo 10 1000 -1 0", "modulo 2500 20000 - -40"};
    const std::vector<std::string> hp = {"unidade Hz", "modulo 10 150 - -45", "modulo 300 20000 -0.5 0.5"};
    const std::vector<std::string> bp = {"unidade Hz", "modulo 50 400 - -40", "modulo 800 1250 -1 0",
                                         "modulo 2500 20000 - -40"};
    const std::vector<std::string> bs = {"unidade Hz", "modulo 5 40 -1 0", "modulo 57 63 - -40",
                                         "modulo 90 1000 -1 0"};
    const std::vector<Row> rows = {
        {lp, {}},
        {lp,
         {"--topology", "sallen-key", "--series", "E24", "--capacitors", "E6", "--approximation",
          "butterworth"}},
        {lp, {"--approximation", "elliptic", "--impedance", "4700"}},
        {lp, {"--opamp", "6.2832e6,75", "--topology", "mfb"}},
        {hp, {"--approximation", "chebyshev"}},
        {hp, {"--topology", "biquad", "--approximation", "inverse-chebyshev"}},
        {bp, {}},
        {bp, {"--approximation", "elliptic"}},
        {bs, {}},
        {bs, {"--approximation", "butterworth", "--series", "E48"}},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        suite::testing::ScratchDir dir;
        std::string text;
        for (const std::string& l : rows[i].mask) text += l + "\n";
        const std::string mask = dir.write("f" + std::to_string(i) + ".msk", text);
        const std::string stem = mask.substr(0, mask.size() - 4);
        std::vector<std::string> args = {"--design", mask, "--yield", "20", "--linear-samples", "1000"};
        args.insert(args.end(), rows[i].options.begin(), rows[i].options.end());
        DesignRun r;
        run(r, args);
        SCOPED_TRACE(rows[i].mask[1] + " " + (rows[i].options.empty() ? "" : rows[i].options[1]));
        ASSERT_EQ(r.status, 0) << r.out << r.err;
        // Met by the design's own check and by the analysis of the written netlist.
        EXPECT_TRUE(r.design_meets()) << r.out;
        EXPECT_EQ(r.after("Máscara " + mask + ":"), "Resposta nominal: atende à máscara.") << r.out;
        const std::vector<std::string> net = suite::read_text_lines(stem + ".net");
        EXPECT_EQ(design::testing::same_circuit(net, editor_netlist(stem)), "");
        // The level rule, from the node extremes the analysis's sweep keeps.
        const Sweep& sw = *r.session.sweep;
        const int output = r.session.circuit->output_node;
        int opamps = 0;
        for (const auto& [name, e] : design::testing::parse_netlist(net)) {
            if (name[0] != 'O' && name[0] != 'A') continue;
            ++opamps;
            EXPECT_LE(sw.node_max[e.nodes[2]], sw.node_max[output] * (1 + 1e-12)) << name;
        }
        EXPECT_GE(opamps, 1);
        // The parts list: every resistor and capacitor once, under its own value, and the op-amps.
        std::map<std::string, double> listed;
        int counted = 0;
        for (const std::string& line : suite::read_text_lines(stem + ".pec")) {
            if (line.empty() || line[0] == '*') continue;
            std::istringstream in(line);
            std::string kind, value, series, tolerance, name;
            int count = 0;
            in >> kind >> value >> series >> tolerance >> count;
            counted += count;
            int names = 0;
            while (in >> name) {
                ++names;
                if (kind != "O" && kind != "A") listed[name] = 0;
            }
            EXPECT_EQ(names, count) << line;
        }
        int elements = 0;
        for (const auto& [name, e] : design::testing::parse_netlist(net)) {
            if (name == "VIN") continue;
            ++elements;
            if (name[0] == 'R' || name[0] == 'C') {
                EXPECT_EQ(listed.count(name), 1u) << name;
            }
        }
        EXPECT_EQ(counted, elements);
    }
}

TEST(MoratDesign, ARequirementGivenByOptionsWritesItsMask) {
    suite::testing::ScratchDir dir;
    const std::string stem = dir.path("bs");
    DesignRun r;
    run(r, {"--type", "bandstop", "--pass", "500,2000", "--stop", "900,1100", "--ripple", "1",
            "--attenuation", "30", "--design-out", stem, "--yield", "20", "--linear-samples", "1000"});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(suite::read_text_lines(stem + ".msk"),
              (std::vector<std::string>{"* Máscara do projeto bs", "unidade Hz", "modulo 50 500 -1 0",
                                        "modulo 900 1100 - -30", "modulo 2000 20000 -1 0"}));
    EXPECT_TRUE(r.design_meets()) << r.out;
    EXPECT_EQ(r.after("Máscara " + stem + ".msk: 3 faixas"), "Resposta nominal: atende à máscara.") << r.out;
}

TEST(MoratDesign, RefusalsWriteNothing) {
    suite::testing::ScratchDir dir;
    // A stop band inside the pass band, named by its line.
    const std::string bad = dir.write("bad.msk", "unidade Hz\nmodulo 10 1000 -1 0\nmodulo 500 2000 - -40\n");
    DesignRun r;
    run(r, {"--design", bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(
        r.out.find("* Máscara bad.msk, linha 3: banda de rejeição dentro da banda de passagem (linha 2)."),
        std::string::npos)
        << r.out;
    EXPECT_FALSE(suite::file_exists(dir.path("bad.net")));
    // A netlist of someone else's where the design would write.
    const std::string lp = dir.write("lp.msk", "unidade Hz\nmodulo 10 1000 -1 0\nmodulo 2500 20000 - -40\n");
    const std::string mine = dir.write("lp.net", "1\nR1 1 0 1\n");
    DesignRun s;
    run(s, {"--design", lp});
    EXPECT_EQ(s.status, 1);
    EXPECT_NE(s.out.find("* O arquivo " + mine + " já existe e não foi escrito por um projeto"),
              std::string::npos);
    EXPECT_EQ(suite::read_text_lines(mine), (std::vector<std::string>{"1", "R1 1 0 1"}));
    EXPECT_FALSE(suite::file_exists(dir.path("lp.cir")));
    // A design's own files are replaced by the next design.
    std::filesystem::remove(mine);
    DesignRun t, u;
    run(t, {"--design", lp, "--yield", "20", "--linear-samples", "1000"});
    run(u, {"--design", lp, "--approximation", "butterworth", "--yield", "20", "--linear-samples", "1000"});
    EXPECT_EQ(u.status, 0) << u.out;
    EXPECT_EQ(suite::read_text_lines(dir.path("lp.net"))[1].rfind("* Filtro projetado: butterworth", 0), 0u);
    // A requirement given by options does not replace a mask of someone's own.
    const std::string own =
        dir.write("own.msk", "* mine\nunidade Hz\nmodulo 10 100 -1 0\nmodulo 300 900 - -9\n");
    DesignRun v;
    run(v, {"--type", "lowpass", "--pass", "1000", "--stop", "3000", "--design-out", dir.path("own")});
    EXPECT_EQ(v.status, 1);
    EXPECT_NE(v.out.find("* O arquivo " + own + " já existe"), std::string::npos) << v.out;
    EXPECT_EQ(suite::read_text_lines(own).front(), "* mine");
    // Usage errors.
    const std::vector<std::pair<std::vector<std::string>, std::string>> usage = {
        {{"--type", "lowpass", "--pass", "1000", "--stop", "2000"}, "--type needs --design-out STEM"},
        {{"x.net", "--design", lp}, "a design writes its own netlist"},
        {{"--design", lp, "--type", "lowpass"},
         "--design MASK and --type, --pass, --stop cannot be given together"},
        {{"--type", "bandpass", "--pass", "1000", "--stop", "500,3000", "--design-out", "x"},
         "--pass needs two frequencies F1,F2 for this --type"},
        {{"--type", "bandpass", "--pass", "1000,2000", "--stop", "500,3000", "--design-out", "x", "--order",
          "5"},
         "--order of a band-pass or band-stop filter must be even"},
        {{"--design", lp, "--series", "E6"}, "invalid value for --series: E6"},
        {{"--design", lp, "--opamp", "1e6"}, "invalid value for --opamp: 1e6"},
        {{"--approximation", "bessel"}, "the design options need --design MASK or --type TYPE"},
    };
    for (const auto& [args, reason] : usage) {
        MoratOptions o;
        EXPECT_EQ(parse_morat_options(args, o).rfind(reason, 0), 0u) << parse_morat_options(args, o);
    }
}

}  // namespace
}  // namespace analysis
