// Poles and zeros of cascaded sections: the block-triangular form of the
// matrix, repeated roots found once per multiplicity, every pole's
// deviations with the automatic observer equal to those of its section
// analysed alone, a multiple root told from simple roots that repeat or
// nearly meet, and entries that no observer can compute reported without
// ending the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

#include "analysis/polezero/polezero_file.h"
#include "analysis/polezero/polezero_finder.h"
#include "analysis/polezero/polezero_testing.h"
#include "analysis/polezero/system_blocks.h"
#include "common/errors.h"

namespace analysis {
namespace {

using testing::PoleZeroBench;

std::string text(Real x) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.21Lg", x);
    return buf;
}

// A section between node `in` and its output, nodes `base`+1..+3 its own.
struct Section {
    enum Kind { sk_highpass, sk_lowpass, rc_buffered } kind;
    Real r1, r2, c1, c2;
    // Lines of section k; its output is base + 3.
    std::string lines(int k, int in, int base) const {
        const std::string n = std::to_string(k), a = std::to_string(base + 1), b = std::to_string(base + 2),
                          out = std::to_string(base + 3), i = std::to_string(in);
        switch (kind) {
            case sk_highpass:  // unity-gain Sallen-Key, ideal op-amp as the follower
                return "C" + n + "A " + i + " " + a + " " + text(c1) + "\nC" + n + "B " + a + " " + b + " " +
                       text(c2) + "\nR" + n + "A " + a + " " + out + " " + text(r1) + "\nR" + n + "B " + b +
                       " 0 " + text(r2) + "\nO" + n + " " + out + " " + b + " " + out + "\n";
            case sk_lowpass:
                return "R" + n + "A " + i + " " + a + " " + text(r1) + "\nR" + n + "B " + a + " " + b + " " +
                       text(r2) + "\nC" + n + "A " + a + " " + out + " " + text(c1) + "\nC" + n + "B " + b +
                       " 0 " + text(c2) + "\nO" + n + " " + out + " " + b + " " + out + "\n";
            case rc_buffered:  // two RC cells and a VCVS of gain 2
                return "R" + n + "A " + i + " " + a + " " + text(r1) + "\nC" + n + "A " + a + " 0 " +
                       text(c1) + "\nR" + n + "B " + a + " " + b + " " + text(r2) + "\nC" + n + "B " + b +
                       " 0 " + text(c2) + "\nE" + n + " " + out + " 0 " + b + " 0 2\n";
        }
        return {};
    }
};

// The sections one after the other, driven by V1 at node 1; the output
// is the last section's.
std::string cascade(const std::vector<Section>& sections) {
    std::string body = "V1 1 0 1\n";
    int in = 1;
    for (std::size_t k = 0; k < sections.size(); ++k) {
        const int base = 1 + 3 * static_cast<int>(k);
        body += sections[k].lines(static_cast<int>(k) + 1, in, base);
        in = base + 3;
    }
    return std::to_string(in) + "\n" + body;
}

int last_node(const std::vector<Section>& sections) { return 1 + 3 * static_cast<int>(sections.size()); }

// Poles of the unity-gain Sallen-Key high-pass: s² + s·2/(C·Rb) + 1/(C²·Ra·Rb)
// with equal capacitors C.
std::vector<Complex> sk_highpass_poles(const Section& s) {
    const Real a = 1 / (s.c1 * s.r2), w2 = 1 / (s.c1 * s.c1 * s.r1 * s.r2);
    const Real im = std::sqrt(w2 - a * a);
    return {{-a, im}, {-a, -im}};
}

bool near(Real x, Real y, Real rel) { return std::fabs(x - y) <= rel * std::max(std::fabs(x), std::fabs(y)); }

std::string file_of(const std::vector<PoleZeroPoint>& points) {
    std::string t = std::to_string(points.size()) + "\n";
    for (const auto& p : points) t += text(p.re) + " " + text(p.im) + "\n";
    return t;
}

// Runs the automatic observer on the poles found in the circuit.
struct Computed {
    std::unique_ptr<PoleZeroBench> bench;
    std::vector<PoleZeroPoint> poles;
};

Computed compute_poles(const std::string& netlist, int output, const std::string& name) {
    Computed r{std::make_unique<PoleZeroBench>(netlist, output, name), {}};
    PoleZeroBench& b = *r.bench;
    r.poles = find_poles_zeros(*b.circuit, b.settings, true).found;
    b.answer = b.write("net.r", file_of(r.poles));
    PoleZeroContext x = b.context();
    x.auto_observer = true;
    if (!run_pole_zero(x, true, b.chooser(), b.to_memo())) throw std::runtime_error("run refused");
    return r;
}

// Every pole of the cascade has the deviations of the same pole of its
// section analysed alone (copies of a shared pole each once).
void expect_sections_deviations(const std::vector<Section>& sections, const std::string& name) {
    const Computed whole = compute_poles(cascade(sections), last_node(sections), name);
    std::vector<PoleZeroEntry> reference;
    for (std::size_t k = 0; k < sections.size(); ++k) {
        const Computed alone = compute_poles(cascade({sections[k]}), 4, name + std::to_string(k));
        for (int j = 1; j <= alone.bench->set->entry_count; ++j)
            reference.push_back(alone.bench->set->entries[j]);
    }
    const PoleZeroSet& set = *whole.bench->set;
    ASSERT_EQ(set.entry_count, static_cast<int>(reference.size()));
    std::vector<bool> used(reference.size(), false);
    for (int k = 1; k <= set.entry_count; ++k) {
        const PoleZeroEntry& en = set.entries[k];
        ASSERT_TRUE(en.valid) << "entry " << k;
        bool matched = false;
        for (std::size_t j = 0; j < reference.size() && !matched; ++j) {
            const PoleZeroEntry& r = reference[j];
            if (used[j] || !near(en.Re, r.Re, 1e-9L) || !near(en.Im, r.Im, 1e-9L)) continue;
            EXPECT_TRUE(near(en.VRe, r.VRe, 1e-9L)) << k;
            EXPECT_TRUE(near(en.VIm, r.VIm, 1e-9L)) << k;
            EXPECT_TRUE(near(en.Ra, r.Ra, 1e-9L)) << k;
            EXPECT_TRUE(near(en.Rb, r.Rb, 1e-9L)) << k;
            used[j] = matched = true;
        }
        EXPECT_TRUE(matched) << "entry " << k << " " << static_cast<double>(en.Re) << " "
                             << static_cast<double>(en.Im);
    }
}

const Section highpass{Section::sk_highpass, 10000, 20000, 100e-9L, 100e-9L};

TEST(Cascade, TwoIdenticalSectionsGiveEachDoublePoleTwiceWithEachCopysOwnDeviations) {
    const Computed whole = compute_poles(cascade({highpass, highpass}), 7, "twin");
    const std::vector<Complex> exact = sk_highpass_poles(highpass);  // -500 ± 500j
    ASSERT_EQ(whole.poles.size(), 4u);
    for (std::size_t k = 0; k < 4; ++k) {
        const Complex p = exact[k / 2];
        EXPECT_LE(std::hypot(whole.poles[k].re - p.re, whole.poles[k].im - p.im),
                  1e-10L * std::hypot(p.re, p.im))
            << k;
    }
    const PoleZeroBench& b = *whole.bench;
    // Each copy moves with the elements of its own section only.
    for (int k = 1; k <= 4; ++k) {
        ASSERT_TRUE(b.set->entries[k].valid) << k;
        const bool first = k % 2 == 1;
        for (const char* own : {"C1A", "C1B", "R1A", "R1B"}) {
            const Complex s1 = b.s(k, own), s2 = b.s(k, std::string(own).replace(1, 1, "2"));
            const Complex own_s = first ? s1 : s2, other = first ? s2 : s1;
            EXPECT_EQ(std::hypot(other.re, other.im), 0) << k << own;
            EXPECT_GT(std::hypot(own_s.re, own_s.im), 100) << k << own;
        }
    }
    expect_sections_deviations({highpass, highpass}, "twins");
}

TEST(Cascade, EveryPoleOfThreeDifferentSallenKeySectionsHasItsSectionsDeviations) {
    expect_sections_deviations({highpass,
                                {Section::sk_lowpass, 4700, 12000, 47e-9L, 8.2e-9L},
                                {Section::sk_highpass, 33000, 51000, 2.2e-9L, 2.2e-9L}},
                               "sk3");
}

TEST(Cascade, EveryPoleOfThreeRcSectionsBufferedByFiniteGainHasItsSectionsDeviations) {
    const std::vector<Section> rc{{Section::rc_buffered, 1000, 2200, 1e-6L, 330e-9L},
                                  {Section::rc_buffered, 10000, 10000, 10e-9L, 4.7e-9L},
                                  {Section::rc_buffered, 150, 680, 2.2e-6L, 1e-6L}};
    expect_sections_deviations(rc, "rc3");
    // The buffers carry no pole: their gains do not move any.
    const Computed whole = compute_poles(cascade(rc), last_node(rc), "rc3e");
    for (int k = 1; k <= whole.bench->set->entry_count; ++k)
        for (const char* e : {"E1", "E2", "E3"}) EXPECT_EQ(whole.bench->s(k, e).re, 0);
}

TEST(Cascade, TheBlocksOfABufferedCascadeAreItsSections) {
    PoleZeroBench b(cascade({highpass, highpass, highpass}), 10, "blocks");
    const SystemBlocks blocks = find_system_blocks(*b.circuit);
    ASSERT_TRUE(blocks.matched);
    int with_poles = 0;
    for (int k = 0; k < blocks.count(); ++k) {
        if (!blocks.varies[static_cast<std::size_t>(k)]) continue;
        ++with_poles;
        // Each section's four passive elements, and nothing of the others.
        ASSERT_EQ(blocks.elements[static_cast<std::size_t>(k)].size(), 4u);
        const std::string first = b.circuit->elements[blocks.elements[static_cast<std::size_t>(k)][0]].name;
        for (const int i : blocks.elements[static_cast<std::size_t>(k)])
            EXPECT_EQ(b.circuit->elements[i].name[1], first[1]);
    }
    EXPECT_EQ(with_poles, 3);
}

// ---- the block-triangular form of a pattern ----------------------------

using Block = std::pair<std::vector<int>, std::vector<int>>;  // rows, columns, each sorted

SparsityPattern pattern_of(int n, const std::vector<std::pair<int, int>>& entries) {
    SparsityPattern p(static_cast<std::size_t>(n + 1), std::vector<char>(static_cast<std::size_t>(n + 1), 0));
    for (const auto& [row, col] : entries) p[row][col] = 1;
    return p;
}

// Whether rows taking, in order, the first column still free match every
// row: the patterns below are built so that they do not.
bool greedy_matches(const SparsityPattern& p, int n) {
    std::vector<bool> taken(static_cast<std::size_t>(n + 1), false);
    for (int r = 1; r <= n; ++r) {
        int col = 1;
        while (col <= n && (!p[r][col] || taken[col])) ++col;
        if (col > n) return false;
        taken[col] = true;
    }
    return true;
}

std::vector<Block> blocks_of(const SystemBlocks& b) {
    std::vector<Block> out;
    for (int k = 0; k < b.count(); ++k) {
        Block x{b.rows[k], b.columns[k]};
        std::sort(x.first.begin(), x.first.end());
        std::sort(x.second.begin(), x.second.end());
        out.push_back(x);
    }
    return out;
}

TEST(BlockForm, PatternsThatNeedAugmentingPathsGiveTheirKnownBlocks) {
    struct Case {
        const char* name;
        int n;
        std::vector<std::pair<int, int>> entries;  // (row, column)
        bool matched;
        std::vector<Block> blocks;  // in the order of their smallest column
    };
    const Case cases[] = {
        // Row 1 takes column 1, which row 2 alone can use.
        {"two rows", 2, {{1, 1}, {1, 2}, {2, 1}}, true, {{{2}, {1}}, {{1}, {2}}}},
        // Row 4 frees column 1 only through rows 1, 2 and 3 each moving
        // one column on; its entry in column 3 closes the cycle 1 → 3 → 2
        // → 1 of columns: one block of three, and row 3 alone.
        {"path of three",
         4,
         {{1, 1}, {1, 2}, {2, 2}, {2, 3}, {3, 3}, {3, 4}, {4, 1}, {4, 3}},
         true,
         {{{1, 2, 4}, {1, 2, 3}}, {{3}, {4}}}},
        // Two rows with column 1 only: no matching, one block of all.
        {"structurally singular",
         3,
         {{1, 1}, {1, 2}, {1, 3}, {2, 1}, {3, 1}},
         false,
         {{{1, 2, 3}, {1, 2, 3}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SparsityPattern p = pattern_of(c.n, c.entries);
        EXPECT_FALSE(greedy_matches(p, c.n));
        const SystemBlocks b = block_triangular_form(p, c.n);
        EXPECT_EQ(b.matched, c.matched);
        EXPECT_EQ(blocks_of(b), c.blocks);
    }
}

// Random block-triangular matrices (dense diagonal blocks, random entries
// above them, none below) with their rows and columns shuffled: the
// blocks found are the diagonal blocks built, whatever the shuffle.
TEST(BlockForm, ShuffledBlockTriangularMatricesGiveBackTheirDiagonalBlocks) {
    std::mt19937 random(1);
    const std::vector<int> sizes{3, 1, 2, 4, 1, 2, 5};
    int greedy_failures = 0;
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<int> first{1};  // the first row and column of each diagonal block
        for (const int size : sizes) first.push_back(first.back() + size);
        const int n = first.back() - 1;
        std::vector<int> row_to(static_cast<std::size_t>(n)), col_to(static_cast<std::size_t>(n));
        for (int k = 0; k < n; ++k) row_to[k] = col_to[k] = k + 1;
        std::shuffle(row_to.begin(), row_to.end(), random);
        std::shuffle(col_to.begin(), col_to.end(), random);
        std::vector<std::pair<int, int>> entries;
        std::vector<Block> expected;
        for (std::size_t k = 0; k < sizes.size(); ++k) {
            Block block;
            for (int i = first[k]; i < first[k + 1]; ++i) {
                block.first.push_back(row_to[i - 1]);
                block.second.push_back(col_to[i - 1]);
                for (int j = first[k]; j <= n; ++j)
                    if (j < first[k + 1] || random() % 4 == 0)
                        entries.emplace_back(row_to[i - 1], col_to[j - 1]);
            }
            std::sort(block.first.begin(), block.first.end());
            std::sort(block.second.begin(), block.second.end());
            expected.push_back(block);
        }
        std::sort(expected.begin(), expected.end(),
                  [](const Block& x, const Block& y) { return x.second[0] < y.second[0]; });
        const SparsityPattern p = pattern_of(n, entries);
        greedy_failures += !greedy_matches(p, n);
        const SystemBlocks b = block_triangular_form(p, n);
        ASSERT_TRUE(b.matched) << trial;
        EXPECT_EQ(blocks_of(b), expected) << trial;
    }
    EXPECT_GT(greedy_failures, 10);  // most shuffles need the augmenting paths
}

// Four identical series-LC traps to ground, each cutting the response at
// 1/√(LC): a fourfold pair of zeros on the imaginary axis.
const std::string traps =
    "9\nV1 1 0 1\nR1 1 2 1000\nL1 2 3 0.1\nC1 3 0 1E-6\nR2 2 4 1000\nL2 4 5 0.1\nC2 5 0 1E-6\n"
    "R3 4 6 1000\nL3 6 7 0.1\nC3 7 0 1E-6\nR4 6 8 1000\nL4 8 9 0.1\nC4 9 0 1E-6\nR5 8 0 1000\n";

TEST(Cascade, AFourfoldZeroIsWrittenFourTimesAndNamedWithItsMultiplicity) {
    PoleZeroBench b(traps, 8, "traps");
    const PoleZeroSearch r = find_poles_zeros(*b.circuit, b.settings, false);
    const Real w = 1 / std::sqrt(0.1L * 1e-6L);
    ASSERT_EQ(r.found.size(), 8u);
    for (std::size_t k = 0; k < 8; ++k) {
        EXPECT_LE(std::fabs(r.found[k].re), 1e-8L) << k;
        EXPECT_LE(std::fabs(r.found[k].im - (k < 4 ? w : -w)), 1e-8L) << k;
    }
    EXPECT_TRUE(r.unconfirmed.empty());
    b.sweep->prepared = true;
    PoleZeroContext x = b.context();
    const std::string file = (b.dir / "traps.z8").string();
    EXPECT_EQ(find_and_save_poles_zeros(x, false, file, b.to_memo()), FinderResult::complete);
    EXPECT_TRUE(b.has_line("Zero de multiplicidade 4 em    0.000000000 3162.277660168j"));
    EXPECT_TRUE(b.has_line("Zero de multiplicidade 4 em    0.000000000 -3162.277660168j"));
    // First-order deviations do not exist there: every entry says so.
    b.answer = file;
    ASSERT_TRUE(b.run_again(false));
    EXPECT_EQ(
        std::count(b.memo.begin(), b.memo.end(), "* Zero múltiplo: desvios de primeira ordem indefinidos."),
        8);
}

// Series R, L, C critically damped: (s + 1)², one block.
const std::string critical = "3\nV1 1 0 1\nR1 1 2 2\nL1 2 3 1\nC1 3 0 1\n";

TEST(Cascade, ADoublePoleInsideOneBlockIsReportedAsMultipleWithEitherObserver) {
    PoleZeroBench b(critical, 3, "critical");
    const PoleZeroSearch r = find_poles_zeros(*b.circuit, b.settings, true);
    ASSERT_EQ(r.found.size(), 2u);
    for (const PoleZeroPoint& p : r.found) {
        EXPECT_LE(std::fabs(p.re + 1), 1e-12L);
        EXPECT_EQ(p.im, 0);
    }
    const std::string file = file_of(r.found);
    for (const bool automatic : {true, false}) {
        b.answer = b.write("net.r", file);
        b.engine->observer_element = b.element("C1");
        b.sweep->pz_valid = false;
        b.memo.clear();
        PoleZeroContext x = b.context();
        x.auto_observer = automatic;
        ASSERT_TRUE(run_pole_zero(x, true, b.chooser(), b.to_memo()));
        EXPECT_EQ(std::count(b.memo.begin(), b.memo.end(),
                             "* Polo múltiplo: desvios de primeira ordem indefinidos."),
                  2)
            << automatic;
        EXPECT_FALSE(b.set->entries[1].valid);
        EXPECT_FALSE(b.set->entries[2].valid);
    }
}

TEST(Cascade, PolesTheObserverDoesNotSeeAreReportedAndTheOthersComputed) {
    const Section lowpass{Section::sk_lowpass, 4700, 12000, 47e-9L, 8.2e-9L};
    PoleZeroBench b(cascade({highpass, lowpass}), 7, "unseen");
    const std::vector<PoleZeroPoint> poles = find_poles_zeros(*b.circuit, b.settings, true).found;
    ASSERT_EQ(poles.size(), 4u);
    b.engine->observer_element = b.element("R1B");  // in the first section
    ASSERT_TRUE(b.run(true, file_of(poles)));
    int valid = 0;
    for (int k = 1; k <= 4; ++k) valid += b.set->entries[k].valid;
    EXPECT_EQ(valid, 2);
    EXPECT_EQ(std::count(b.memo.begin(), b.memo.end(),
                         "* O elemento observador R1B não vê este polo: sistema singular."),
              2);
    EXPECT_TRUE(b.has_line(
        "* 2 polos não vistos por R1B; o observador automático escolhe um elemento que vê cada polo."));
    EXPECT_TRUE(b.sweep->pz_valid);
}

TEST(Cascade, APoleListedMoreTimesThanTheCircuitHasItIsRefusedOnceTooMany) {
    PoleZeroBench b(cascade({highpass}), 4, "toomany");
    const std::vector<Complex> p = sk_highpass_poles(highpass);
    b.answer = b.write("net.r", file_of({{p[0].re, p[0].im}, {p[0].re, p[0].im}}));
    PoleZeroContext x = b.context();
    x.auto_observer = true;
    ASSERT_TRUE(run_pole_zero(x, true, b.chooser(), b.to_memo()));
    EXPECT_TRUE(b.set->entries[1].valid);
    EXPECT_FALSE(b.set->entries[2].valid);
    EXPECT_TRUE(b.has_line("* Polo listado mais vezes do que o circuito o tem."));
}

// A pole file written by hand holds a few digits: each pole, eight
// digits off its root (5e-9 of it), is still computed in its own section,
// with the deviations of the exact pole. Low impedances keep the observer's
// loop residual of such a point within the admittance tolerance.
TEST(Cascade, PolesGivenToEightDigitsAreComputedInTheirOwnSections) {
    const std::vector<Section> sections{{Section::sk_highpass, 110, 200, 10e-6L, 10e-6L},
                                        {Section::sk_lowpass, 47, 120, 4.7e-6L, 0.82e-6L}};
    const Computed exact = compute_poles(cascade(sections), last_node(sections), "exact8");
    ASSERT_EQ(exact.poles.size(), 4u);
    PoleZeroBench b(cascade(sections), last_node(sections), "digits8");
    std::string file = "4\n";
    for (const PoleZeroPoint& p : exact.poles) {
        char line[64];
        std::snprintf(line, sizeof line, "%.8Lg %.8Lg\n", p.re, p.im);
        file += line;
    }
    b.answer = b.write("net.r", file);
    PoleZeroContext x = b.context();
    x.auto_observer = true;
    ASSERT_TRUE(run_pole_zero(x, true, b.chooser(), b.to_memo()));
    for (int k = 1; k <= 4; ++k) {
        const PoleZeroEntry &en = b.set->entries[k], &r = exact.bench->set->entries[k];
        ASSERT_TRUE(en.valid) << k;
        EXPECT_GT(std::hypot(en.Re - r.Re, en.Im - r.Im), 1e-12L * std::hypot(r.Re, r.Im)) << k;
        EXPECT_EQ(b.circuit->elements[en.observer].name[1], b.circuit->elements[r.observer].name[1]) << k;
        EXPECT_TRUE(near(en.VRe, r.VRe, 1e-6L) && near(en.VIm, r.VIm, 1e-6L)) << k;
    }
}

// ---- multiple roots and the automatic observer ---------------------------

// Series R, L, C of 1 H and 1 F with R just below critical damping: poles
// -R/2 ± j·b, b = √(1 - R²/4) = 2e-6, two simple roots that nearly meet.
const std::string near_critical = "3\nV1 1 0 1\nR1 1 2 1.999999999996\nL1 2 3 1\nC1 3 0 1\n";

std::string pole_file(const std::vector<PoleZeroPoint>& points) {
    std::string t;
    for (const std::string& line : pole_zero_file_lines(points)) t += line + "\n";
    return t;
}

// Runs the automatic observer on the poles listed.
void run_automatic(PoleZeroBench& b, const std::vector<PoleZeroPoint>& points) {
    b.answer = b.write("net.r", pole_file(points));
    b.sweep->pz_valid = false;
    b.memo.clear();
    PoleZeroContext x = b.context();
    x.auto_observer = true;
    ASSERT_TRUE(run_pole_zero(x, true, b.chooser(), b.to_memo()));
}

TEST(MultipleRoot, OnlyARootMultipleInItsBlockIsRefusedAsMultiple) {
    const std::vector<Complex> hp = sk_highpass_poles(highpass);
    const PoleZeroPoint p{hp[0].re, hp[0].im};
    const Real a = 1 - 0.999999999998L, b = std::sqrt(a * (2 - a));  // 1 - R/2 exactly
    const PoleZeroPoint q{-(1 - a), b}, q_conjugate{-(1 - a), -b};
    struct Case {
        const char* name;
        std::string netlist;
        int output;
        std::vector<PoleZeroPoint> listed;
        std::vector<bool> valid;
        int multiple, too_often;  // entries refused as multiple, as listed too often
    };
    const Case cases[] = {
        // Each section holds the double pole once: two copies computed,
        // the third is one too many.
        {"two identical sections", cascade({highpass, highpass}), 7, {p, p, p}, {true, true, false}, 0, 1},
        {"one section", cascade({highpass}), 4, {p, p}, {true, false}, 0, 1},
        // (s + 1)²: every copy of the double root, listed once or twice.
        {"critical, twice", critical, 3, {{-1, 0}, {-1, 0}}, {false, false}, 2, 0},
        {"critical, once", critical, 3, {{-1, 0}}, {false}, 1, 0},
        // Roots 4e-6 of their size apart (beyond the 1e-6 circle) are two simple roots.
        {"near-critical", near_critical, 3, {q, q_conjugate, q}, {true, true, false}, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PoleZeroBench bench(c.netlist, c.output, "multiple");
        run_automatic(bench, c.listed);
        for (std::size_t k = 0; k < c.valid.size(); ++k)
            EXPECT_EQ(bench.set->entries[k + 1].valid, c.valid[k]) << "entry " << k + 1;
        const auto count = [&](const char* line) {
            return std::count(bench.memo.begin(), bench.memo.end(), line);
        };
        EXPECT_EQ(count("* Polo múltiplo: desvios de primeira ordem indefinidos."), c.multiple);
        EXPECT_EQ(count("* Polo listado mais vezes do que o circuito o tem."), c.too_often);
    }
}

// With one observer for every pole, a multiple pole listed once is
// refused as multiple too: the double pole of (s + 1)² by its
// frequency-scaling sum, which cancels; the double pole of two identical
// sections, where the other section stays singular, by the determinant's
// winding.
TEST(MultipleRoot, AMultipleRootListedOnceIsRefusedWithOneObserver) {
    const std::vector<Complex> hp = sk_highpass_poles(highpass);
    struct Case {
        const char* name;
        std::string netlist;
        int output;
        const char* observer;
        PoleZeroPoint listed;
    };
    const Case cases[] = {
        {"critical", critical, 3, "R1", {-1, 0}},
        {"twins", cascade({highpass, highpass}), 7, "R1A", {hp[0].re, hp[0].im}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PoleZeroBench b(c.netlist, c.output, "once");
        b.engine->observer_element = b.element(c.observer);
        ASSERT_TRUE(b.run(true, pole_file({c.listed})));
        EXPECT_FALSE(b.set->entries[1].valid);
        EXPECT_EQ(std::count(b.memo.begin(), b.memo.end(),
                             "* Polo múltiplo: desvios de primeira ordem indefinidos."),
                  1);
    }
}

// The two nearly meeting poles of the near-critical loop have their own
// first-order sensitivities, large as 1/b: from s² + R·s + 1/(L·C) = 0 at
// L = C = 1, R·∂p/∂R = -R/2 - j·R²/(4b), L·∂p/∂L = R/2 + j·(R²/2 - 1)/(2b)
// and C·∂p/∂C = -j/(2b), for p = -R/2 + j·b.
TEST(MultipleRoot, NearlyMeetingPolesHaveTheirClosedFormSensitivities) {
    PoleZeroBench bench(near_critical, 3, "near");
    const Real r = bench.circuit->elements[bench.element("R1")].value;
    const Real a = 1 - r / 2, b = std::sqrt(a * (2 - a));
    run_automatic(bench, {{-r / 2, b}, {-r / 2, -b}});
    const Complex expected_r{-r / 2, -r * r / (4 * b)}, expected_l{r / 2, (r * r / 2 - 1) / (2 * b)},
        expected_c{0, -1 / (2 * b)};
    for (int k = 1; k <= 2; ++k) {
        ASSERT_TRUE(bench.set->entries[k].valid) << k;
        const Real sign = k == 1 ? 1 : -1;  // the conjugate pole's are the conjugates
        for (const auto& [name, s] :
             {std::pair{"R1", expected_r}, std::pair{"L1", expected_l}, std::pair{"C1", expected_c}}) {
            const Complex got = bench.s(k, name);
            const Real size = std::hypot(s.re, s.im);
            EXPECT_LE(std::fabs(got.re - s.re), 1e-9L * size) << k << name;
            EXPECT_LE(std::fabs(got.im - sign * s.im), 1e-9L * size) << k << name;
        }
    }
}

}  // namespace
}  // namespace analysis
