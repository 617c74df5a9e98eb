// Whole runs of plaxe: the lines it prints, the files it writes, its exit
// status, and the netlists of the example drawings checked against the
// netlist format and against the filters' transfer functions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <complex>
#include <cstdlib>
#include <map>
#include <numbers>
#include <regex>
#include <sstream>

#include "common/textfile.h"
#include "editor/files/testdir.h"

namespace editor {
namespace {

using ::testing::HasSubstr;
using Complex = std::complex<double>;

const std::string examples = SUITE_SOURCE_DIR "/examples/";

struct Result {
    int status = -1;
    std::string out, err;
};

Result plaxe(const testing::TestDir& dir, const std::string& args) {
    const std::string out = dir.path("stdout.txt"), err = dir.path("stderr.txt");
    const int raw = std::system((std::string(PLAXE) + " " + args + " >" + out + " 2>" + err).c_str());
    Result r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = suite::read_text(out);
    r.err = suite::read_text(err);
    return r;
}

std::string lines(std::initializer_list<std::string> l) {
    std::string s;
    for (const std::string& x : l) s += x + "\n";
    return s;
}

TEST(Plaxe, UsageErrorsExitWithTwo) {
    testing::TestDir dir;
    for (const char* args : {"", "x.cir --bogus", "x.cir --zoom 9", "x.cir --nodes", "a.cir b.cir",
                             "x.cir --values", "--list"}) {
        const Result r = plaxe(dir, args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_THAT(r.err, HasSubstr("Usage: plaxe CIRCUIT")) << args;
        EXPECT_EQ(r.out, "") << args;
    }
    EXPECT_EQ(plaxe(dir, "--help").status, 0);
}

TEST(Plaxe, SallenKeyRunPrintsTheMessageAreaLinesAndWritesTheNetlist) {
    testing::TestDir dir;
    const std::string cir = examples + "sallen_key_lowpass.cir", val = examples + "sallen_key_lowpass.val";
    const Result r = plaxe(dir, cir + " --values " + val +
                                    " --evaluate '(1+(1+1)*(2+2)) (x=1) (SIN(x)^2+COS(x)^2) text'"
                                    " --evaluate '(FC*2) (1/0)' --list --netlist " +
                                    dir.path("sk.net"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, lines({"Reading file " + cir,
                            "25 elements read",
                            "Reading file " + val,
                            "Value list:",
                            "FC: 1E+3",
                            "Q: 7.07106781186548E-1",
                            "R: 1E+4",
                            "GB: 6.28318530717959E+6",
                            "--//--",
                            "Original expression: (1+(1+1)*(2+2)) (x=1) (SIN(x)^2+COS(x)^2) text",
                            "X=1 created",
                            "Reduced expression:  9 1 1 text",
                            "Original expression: (FC*2) (1/0)",
                            "Division by zero.",
                            "Reduced expression:  2E+3 (1/0)?",
                            "Sorting...",
                            "Eliminating short-circuits...",
                            "Renumbering nodes...",
                            "Component list:",
                            "* Sallen-Key low-pass, unity gain, fc 1E+3 Hz, Q 7.07106781186548E-1",
                            "R0102 1 2 1E+4",
                            "R0203 2 3 1E+4",
                            "C0003 0 3 1.12539539519638E-8",
                            "C0204 2 4 2.25079079039277E-8",
                            "A0403 4 3 4 6.28318530717959E+6 75",
                            "V0100 1 0 1",
                            ".AC DEC 50 10 100E3",
                            "--//--",
                            "Number of nodes: 4",
                            "Saving netlist " + dir.path("sk.net")}));
    EXPECT_EQ(dir.read("sk.net"),
              "4\r\nR0102 1 2 1E+4\r\nR0203 2 3 1E+4\r\nC0003 0 3 1.12539539519638E-8\r\n"
              "C0204 2 4 2.25079079039277E-8\r\nA0403 4 3 4 6.28318530717959E+6 75\r\nV0100 1 0 1\r\n"
              ".AC DEC 50 10 100E3\r\n");
}

TEST(Plaxe, CircuitListAndComments) {
    testing::TestDir dir;
    const Result r =
        plaxe(dir, examples + "lc_ladder_lowpass --circuit-list --comments --netlist " + dir.path("lc.net"));
    EXPECT_EQ(r.status, 0);
    EXPECT_THAT(r.out,
                HasSubstr("Component list:\n* 3330 3331 Third-order Butterworth LC ladder, 1 kHz, 1 kOhm\n"
                          "V 2562 2306 1\n= 2050 2306\n"));
    EXPECT_THAT(r.out, HasSubstr("RL 2570 2314 1E3\n= 2058 2314\n--//--\nSorting...\n"));
    EXPECT_EQ(dir.read("lc.net"),
              "3\r\n* Third-order Butterworth LC ladder, 1 kHz, 1 kOhm\r\nRL 1 0 1E3\r\nRS 2 3 1E3\r\n"
              "L0301 3 1 318.31E-3\r\nC0300 3 0 159.15E-9\r\nC0100 1 0 159.15E-9\r\nV0200 2 0 1\r\n");
}

TEST(Plaxe, ReadingAndWritingFailuresExitWithOne) {
    testing::TestDir dir;
    Result r = plaxe(dir, dir.path("none") + " --list");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "New file\n");

    const std::string bad = dir.write("bad.cir", "R1 1 2 1\r\nC1 1 2z 3\r\n");
    r = plaxe(dir, bad + " --list");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Reading file " + bad + "\n");
    EXPECT_EQ(r.err, "Invalid number \"2z\" in file \"" + bad + "\" on line 2\n");

    r = plaxe(dir, examples + "mfb_bandpass.cir --values " + dir.path("none.val") + " --list");
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out, HasSubstr("* File " + dir.path("none.val") + " inexistent\n"));
    EXPECT_THAT(r.out, ::testing::Not(HasSubstr("Sorting")));

    r = plaxe(dir, examples + "mfb_bandpass.cir --netlist " + dir.path("no/such/x.net"));
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out,
                HasSubstr("Saving netlist " + dir.path("no/such/x.net") + "\nImpossible to write file.\n"));

    // Formulas that cannot be evaluated (no value list): the netlist is
    // written as the editor writes it, the last line says what it holds,
    // and the status says the netlist is not ready for the analysis.
    r = plaxe(dir, examples + "sallen_key_lowpass.cir --netlist " + dir.path("sk.net"));
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out, HasSubstr("Unknown operand: [R]\n"));
    EXPECT_THAT(r.out, HasSubstr("Saving netlist " + dir.path("sk.net") + "\nUnknown operand: [R]\n"));
    EXPECT_THAT(r.out, ::testing::EndsWith(
                           "\n* 5 formulas could not be evaluated: the netlist holds unevaluated text.\n"));
    EXPECT_THAT(dir.read("sk.net"), HasSubstr("R0102 1 2 (R)?\r\n"));

    const std::string empty = dir.write("empty.cir", "\r\n");
    r = plaxe(dir, empty + " --list");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Reading file " + empty + "\n0 elements read\nNo circuit\n");
}

// --netlist alone evaluates every formula first as the window program's
// listing does, so an assignment in a comment reaches the elements even
// when comments stay out of the file. A value that is not a number is
// written as it stands, named on the last line, and exits with 1.
TEST(Plaxe, CommentAssignmentsAndValuesThatAreNotNumbers) {
    testing::TestDir dir;
    const std::string cir =
        dir.write("x.cir", "R 16705 16449 (X*3)\r\n= 16193 16449\r\n* 20000 20001 Gain (X=2)\r\n");
    Result r = plaxe(dir, cir + " --netlist " + dir.path("x.net"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              lines({"Reading file " + cir, "3 elements read", "Sorting...", "Eliminating short-circuits...",
                     "Renumbering nodes...", "Saving netlist " + dir.path("x.net")}));
    EXPECT_EQ(dir.read("x.net"), "1\r\nR0100 1 0 6\r\n");
    r = plaxe(dir, cir + " --comments --netlist " + dir.path("x.net"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(dir.read("x.net"), "1\r\n* Gain 2\r\nR0100 1 0 6\r\n");

    const std::string bad = dir.write("bad.cir", "R 16705 16449 47k\r\n= 16193 16449\r\n");
    r = plaxe(dir, bad + " --netlist " + dir.path("bad.net"));
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out, ::testing::EndsWith("Saving netlist " + dir.path("bad.net") +
                                           "\n* 1 value is not a number: R0100 \"47k\".\n"));
    EXPECT_EQ(dir.read("bad.net"), "1\r\nR0100 1 0 47k\r\n");
}

TEST(Plaxe, PlotsPngAndSvg) {
    testing::TestDir dir;
    const std::string cir = examples + "sallen_key_lowpass.cir";
    EXPECT_EQ(plaxe(dir, cir + " --plot " + dir.path("sk.png") + " --zoom 4 --nodes").status, 0);
    EXPECT_EQ(plaxe(dir, cir + " --plot " + dir.path("sk.svg") + " --bitmap --thin").status, 0);
    EXPECT_EQ(dir.read("sk.png").substr(0, 4), "\x89PNG");
    EXPECT_THAT(dir.read("sk.svg"), HasSubstr("<svg"));
}

// ---- The netlist format as the analysis program reads it ----

struct NetElement {
    char kind;
    std::vector<int> nodes;
    std::vector<double> values;
};

struct Netlist {
    int nodes = 0;
    std::vector<NetElement> elements;
    std::vector<std::string> errors;
};

bool is_real(const std::string& s) {
    static const std::regex real(R"([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)");
    return std::regex_match(s, real);
}

// Checks every rule of the format for the kinds it knows and reads the lines.
Netlist read_netlist(const std::string& text) {
    Netlist n;
    const std::vector<std::string> l = suite::split_lines(text);
    if (l.size() < 2 || !std::regex_match(l[0], std::regex(R"(\d+)"))) {
        n.errors.push_back("line 1 is not the node count");
        return n;
    }
    n.nodes = std::stoi(l[0]);
    if (n.nodes > 120) n.errors.push_back("more than 120 nodes");
    if (l[1].empty() || l[1][0] == ' ') n.errors.push_back("the first element does not start line 2");
    const std::map<char, std::pair<int, int>> fields = {{'R', {2, 1}}, {'C', {2, 1}}, {'L', {2, 1}},
                                                        {'V', {2, 1}}, {'I', {2, 1}}, {'A', {3, 2}},
                                                        {'O', {3, 0}}, {'E', {4, 1}}};
    for (std::size_t i = 1; i < l.size(); ++i) {
        const std::string& line = l[i];
        if (line.empty() || line[0] == '*' || line[0] == '.') continue;
        const auto space = line.find(' ');
        if (space == 0 || space == std::string::npos || space > 5) n.errors.push_back("bad name: " + line);
        if (space == std::string::npos) continue;
        const char kind = line[0];
        if (!fields.contains(kind)) {
            n.errors.push_back("unknown kind: " + line);
            continue;
        }
        std::istringstream in(line.substr(space + 1));
        std::vector<std::string> f{std::istream_iterator<std::string>(in), {}};
        NetElement e{kind, {}, {}};
        const auto [node_fields, value_fields] = fields.at(kind);
        if (f.size() != static_cast<std::size_t>(node_fields + value_fields))
            n.errors.push_back("field count: " + line);
        for (std::size_t k = 0; k < f.size(); ++k) {
            if (k < static_cast<std::size_t>(node_fields)) {
                const bool ok = std::regex_match(f[k], std::regex(R"(\d+)")) && std::stoi(f[k]) <= n.nodes;
                if (!ok) n.errors.push_back("bad node: " + line);
                e.nodes.push_back(ok ? std::stoi(f[k]) : 0);
            } else {
                if (!is_real(f[k])) n.errors.push_back("bad value: " + line);
                e.values.push_back(is_real(f[k]) ? std::stod(f[k]) : 0);
            }
        }
        n.elements.push_back(e);
    }
    return n;
}

// Node voltages at s by nodal analysis: V sources, nullors and the op-amp's
// internal source (gain GB/s behind Ro) add a current each.
std::vector<Complex> solve(const Netlist& n, Complex s) {
    int size = n.nodes;
    for (const NetElement& e : n.elements) size += e.kind == 'V' || e.kind == 'O' ? 1 : e.kind == 'A' ? 2 : 0;
    std::vector<std::vector<Complex>> a(size + 1, std::vector<Complex>(size + 2));
    const auto add = [&](int r, int c, Complex v) {
        if (r > 0 && c > 0) a[r][c] += v;
    };
    const auto admittance = [&](int p, int q, Complex y) {
        add(p, p, y), add(q, q, y), add(p, q, -y), add(q, p, -y);
    };
    int extra = n.nodes;
    for (const NetElement& e : n.elements) {
        const int p = e.nodes[0], q = e.nodes[1];
        switch (e.kind) {
            case 'R':
                admittance(p, q, 1 / e.values[0]);
                break;
            case 'C':
                admittance(p, q, s * e.values[0]);
                break;
            case 'L':
                admittance(p, q, 1.0 / (s * e.values[0]));
                break;
            case 'V': {
                const int i = ++extra;
                add(p, i, 1), add(q, i, -1), add(i, p, 1), add(i, q, -1);
                a[i][size + 1] = e.values[0];
                break;
            }
            case 'O': {  // in- in+ out: the output current keeps the inputs equal
                const int i = ++extra;
                add(e.nodes[2], i, 1), add(i, q, 1), add(i, p, -1);
                break;
            }
            case 'A': {  // in- in+ out GB Ro
                const int x = ++extra, i = ++extra, out = e.nodes[2];
                admittance(x, out, 1 / e.values[1]);
                add(x, i, 1), add(i, x, 1);
                add(i, q, -e.values[0] / s), add(i, p, e.values[0] / s);
                break;
            }
        }
    }
    for (int c = 1; c <= size; ++c) {  // Gaussian elimination with partial pivoting
        int best = c;
        for (int r = c + 1; r <= size; ++r)
            if (std::abs(a[r][c]) > std::abs(a[best][c])) best = r;
        std::swap(a[c], a[best]);
        for (int r = c + 1; r <= size; ++r) {
            const Complex f = a[r][c] / a[c][c];
            for (int k = c; k <= size + 1; ++k) a[r][k] -= f * a[c][k];
        }
    }
    std::vector<Complex> v(size + 1);
    for (int r = size; r >= 1; --r) {
        Complex sum = a[r][size + 1];
        for (int k = r + 1; k <= size; ++k) sum -= a[r][k] * v[k];
        v[r] = sum / a[r][r];
    }
    return v;
}

struct Example {
    const char* name;
    const char* values;
    int output;
    std::function<Complex(Complex)> h;  // the filter's transfer function
    double tolerance;                   // relative
};

TEST(Plaxe, ExampleNetlistsFollowTheFormatAndGiveTheFiltersResponses) {
    const double r = 1e4, c2 = 1.12539539519638e-8, c1 = 2.25079079039277e-8;
    const double r1 = 39.789e3, r2 = 1.6579e3, r3 = 159.15e3, c = 10e-9;
    const double w0 = 2 * std::numbers::pi * 1000;
    const Example rows[] = {
        {"sallen_key_lowpass", "sallen_key_lowpass.val", 4,
         [=](Complex s) { return 1.0 / (1.0 + s * c2 * 2.0 * r + s * s * r * r * c1 * c2); }, 1e-6},
        {"mfb_bandpass", nullptr, 4,
         [=](Complex s) { return -(s * c * r3 / r1) / (1 / r1 + 1 / r2 + s * 2.0 * c + s * s * c * c * r3); },
         1e-6},
        {"lc_ladder_lowpass", nullptr, 1,
         [=](Complex s) {
             const Complex p = s / w0;
             return 0.5 / (1.0 + 2.0 * p + 2.0 * p * p + p * p * p);
         },
         1e-3},
        {"tow_thomas_biquad", nullptr, 3,
         [=](Complex s) {
             const double rin = 79577.5, rq = 79577.5, rr = 15915.5;
             return -(s / (rin * c)) / (s * s + s / (rq * c) + 1 / (rr * rr * c * c));
         },
         1e-6},
    };
    testing::TestDir dir;
    for (const Example& e : rows) {
        std::string args = examples + e.name + ".cir --netlist " + dir.path("x.net");
        if (e.values) args += std::string(" --values ") + examples + e.values;
        ASSERT_EQ(plaxe(dir, args).status, 0) << e.name;
        Netlist n = read_netlist(dir.read("x.net"));
        for (NetElement& a : n.elements)
            if (a.kind == 'A') a.values[0] = 1e15;  // the ideal op-amp of the closed forms
        EXPECT_TRUE(n.errors.empty()) << e.name << ": " << ::testing::PrintToString(n.errors);
        for (double f : {100.0, 700.0, 1000.0, 1300.0, 5000.0}) {
            const Complex s(0, 2 * std::numbers::pi * f);
            const Complex got = solve(n, s)[static_cast<std::size_t>(e.output)], want = e.h(s);
            EXPECT_LT(std::abs(got - want), e.tolerance * std::abs(want)) << e.name << " at " << f << " Hz";
        }
    }
}

}  // namespace
}  // namespace editor
