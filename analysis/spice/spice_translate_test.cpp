// The translator on decks that it reads: values, parameters and their
// scopes, the text of a deck, node and name maps, subcircuits, sources,
// current sensing, coupling, sweeps, included files; and the netlist it
// writes read back by the suite's own reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/spice/spice_testing.h"
#include "analysis/spice/spice_values.h"
#include "common/numtext.h"
#include "common/scratch_dir.h"
#include "common/textfile.h"

namespace analysis::spice {
namespace {

using testing::comment_lines;
using testing::element_lines;
using testing::translate;
using Lines = std::vector<std::string>;
using Named = std::vector<std::pair<std::string, std::string>>;

// Each element's deck name with the last field of its netlist line (its
// value), in netlist order.
Named values_by_deck_name(const SpiceTranslation& t) {
    const Lines lines = element_lines(t);
    Named out;
    for (std::size_t k = 0; k < lines.size() && k < t.elements.size(); ++k)
        out.emplace_back(t.elements[k].deck, lines[k].substr(lines[k].rfind(' ') + 1));
    if (lines.size() != t.elements.size()) out.emplace_back("lines and names differ", "");
    return out;
}

TEST(SpiceTranslation, ValuesReachTheNetlistAsTheSameReals) {
    struct Case {
        const char* written;
        const char* in_netlist;
    };
    const Case cases[] = {
        {"10k", "10000"},          {"10K", "10000"},          {"0.5MEG", "500000"}, {"207P", "2.07e-10"},
        {"1mil", "2.54e-05"},      {"4.7u", "4.7e-06"},       {"100nF", "1e-07"},   {"10kOhm", "10000"},
        {"1F", "1e-15"},           {"2.2T", "2200000000000"}, {"3G", "3000000000"}, {"15.5m", "0.0155"},
        {"{2*1k}", "2000"},        {"'1k/4'", "250"},         {"-47", "-47"},       {"79577.5", "79577.5"},
        {"159.15n", "1.5915e-07"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.written);
        const SpiceTranslation t = translate(std::string("t\nC1 1 0 ") + k.written + "\n");
        EXPECT_EQ(element_lines(t), (Lines{std::string("C1 1 0 ") + k.in_netlist}));
        // The netlist's text reads back as the deck's value, bit for bit.
        Real deck = 0, netlist = 0;
        std::string plain = k.written;
        if (plain[0] != '{' && plain[0] != '\'') {
            ASSERT_TRUE(parse_spice_number(plain, deck));
            ASSERT_TRUE(suite::parse_real(k.in_netlist, netlist));
            EXPECT_EQ(deck, netlist);
        }
    }
}

TEST(SpiceTranslation, ParametersAndTheirScopes) {
    const SpiceTranslation t = translate(
        "scopes\n"
        ".param g=2 late={early*10}\n"  // may use a parameter defined later
        ".param early=3\n"
        ".subckt cell a b params: r=1k c={r/4}\n"  // a default from another default
        ".param twice={2*r}\n"                     // a body .param of each instance
        "rx a b {twice}\n"
        "cx b 0 {c}\n"
        "ex b 0 a 0 {g}\n"  // a global seen from inside
        ".ends\n"
        ".subckt outer a b r=5\n"
        "x1 a b cell r={r*100}\n"  // the override is evaluated in the outer instance
        ".ends\n"
        "x1 1 2 cell\n"       // defaults
        "x2 2 3 cell r=2k\n"  // an override, and c follows it
        "x3 3 4 outer\n"      // nested: r=500 inside
        "r9 4 0 {late}\n");
    EXPECT_EQ(element_lines(t), (Lines{
                                    "RX 1 2 2000",
                                    "CX 2 0 250",
                                    "EX 2 0 1 0 2",
                                    "R1 2 3 4000",
                                    "C1 3 0 500",
                                    "E1 3 0 2 0 2",
                                    "R2 3 4 1000",
                                    "C2 4 0 125",
                                    "E2 4 0 3 0 2",
                                    "R9 4 0 30",
                                }));
}

// A name that a subcircuit does not define is looked up where the
// subcircuit is written, not where it is called: a top-level definition
// sees the top level's parameters even inside an instance that defines
// the same name, and a definition written inside another sees that
// one's instance. The subcircuit's own default beats a global of the
// same name, the instance's value beats the default, and the instance's
// value is computed where the X line stands.
TEST(SpiceTranslation, SubcircuitParametersAreLookedUpWhereTheSubcircuitIsWritten) {
    const SpiceTranslation t = translate(
        "lexical scopes\n"
        ".param k=1 r=9\n"
        ".subckt cell a\n"
        "r1 a 0 {k}\n"
        ".ends\n"
        ".subckt own a r=5\n"
        "r1 a 0 {r}\n"
        ".ends\n"
        ".subckt body a\n"
        ".param k=4\n"
        "r1 a 0 {k}\n"
        ".ends\n"
        ".subckt outer a k=7 r=3\n"
        ".subckt inner p\n"
        "r1 p 0 {k}\n"
        ".ends\n"
        ".subckt mid p k=8\n"
        "x1 p inner\n"  // inner is written in outer: outer's k, not mid's
        ".ends\n"
        "xcell a cell\n"           // top-level cell: the top's k=1, not outer's 7
        "xown a own\n"             // its default 5, not outer's 3 nor the global 9
        "xset a own r={k*10+r}\n"  // computed in the instance of outer
        "xin a inner\n"            // outer's k
        "xmid a mid\n"
        "xbody a body\n"  // its body's own k=4
        ".ends\n"
        "xo n outer k=2\n"
        "xown n own\n"
        "xset n own r={k+r}\n"  // computed at the top: 1+9
        "xin2 n outer\n"        // outer's defaults: k=7
        "r1 n 0 {k*r}\n");
    EXPECT_EQ(values_by_deck_name(t), (Named{
                                          {"xo.xcell.r1", "1"},
                                          {"xo.xown.r1", "5"},
                                          {"xo.xset.r1", "23"},
                                          {"xo.xin.r1", "2"},
                                          {"xo.xmid.x1.r1", "2"},
                                          {"xo.xbody.r1", "4"},
                                          {"xown.r1", "5"},
                                          {"xset.r1", "10"},
                                          {"xin2.xcell.r1", "1"},
                                          {"xin2.xown.r1", "5"},
                                          {"xin2.xset.r1", "73"},
                                          {"xin2.xin.r1", "7"},
                                          {"xin2.xmid.x1.r1", "7"},
                                          {"xin2.xbody.r1", "4"},
                                          {"r1", "9"},
                                      }));
}

// Parameter values written without braces are read to their end, past
// function calls with commas, comparisons and conditionals.
TEST(SpiceTranslation, BareParameterValuesWithFunctionsAndOperators) {
    const SpiceTranslation t = translate(
        "bare values\n"
        ".param a=max(1, 2)*3 b=atan2(0,-1)>=3 c = 2 > 2 ? 10 : 20 d=pwr(-2,2)\n"
        ".subckt s p v=min(4, 5)+1\n"
        "r1 p 0 {v}\n"
        ".ends\n"
        "x1 n s\n"
        "x2 n s v=hypot(6, 8) params: \n"
        "r1 n 0 {a}\n"
        "r2 n 0 {b+1}\n"
        "r3 n 0 {c}\n"
        "r4 n 0 {d}\n");
    EXPECT_EQ(values_by_deck_name(t),
              (Named{{"x1.r1", "5"}, {"x2.r1", "10"}, {"r1", "6"}, {"r2", "2"}, {"r3", "20"}, {"r4", "-4"}}));
}

TEST(SpiceTranslation, TheTextOfADeck) {
    // Tabs between fields, comments of every kind, continuation lines with
    // comment lines between them, any case, and nothing after .end.
    const SpiceTranslation t = translate(
        "R1 this title line is not an element\n"
        "* a comment line\n"
        "V1\tin\t0\tdc 0 ac 1\t; the source\n"
        "\n"
        "   * an indented comment\n"
        "r2 in out 1k $ end-of-line comment\n"
        "C3 out\n"
        "* a comment between continuations\n"
        "+ 0\n"
        "\t+ 1n ; continued value\n"
        ".PARAM X=2\n"
        "E1 2x out IN 0 {X} $ case does not matter\n"
        ".End\n"
        "R4 in 0 1\n");
    EXPECT_EQ(t.title, "R1 this title line is not an element");
    EXPECT_EQ(element_lines(t), (Lines{"V1 1 0 1", "R2 1 2 1000", "C3 2 0 1e-09", "E1 3 2 1 0 2"}));
    EXPECT_EQ(t.netlist.front(), "3");
}

// "$" starts a comment at the very start of a line (indented or not) and
// after a blank or a tab, on continuation lines too; inside a field it
// is part of the field. ";" starts one anywhere.
TEST(SpiceTranslation, DollarAndSemicolonComments) {
    const SpiceTranslation t = translate(
        "comments\n"
        "$ a comment line, at the very start\n"
        "R1 in 0 1k $ after a field\n"
        "   $ indented\n"
        "R2 in 0 2k\t$after a tab\n"
        "R3 a$b 0 3k\n"
        "C1 in 0\n"
        "$ between a line and its continuation\n"
        "+ 1n $ on a continuation\n"
        "+ $ nothing but a comment\n"
        "V1 in 0 ac 1;after a value\n"
        "$R4 in 0 4k\n");
    EXPECT_EQ(element_lines(t),
              (Lines{"R1 1 0 1000", "R2 1 0 2000", "R3 2 0 3000", "C1 1 0 1e-09", "V1 1 0 1"}));
    EXPECT_EQ(t.node_names, (Lines{"0", "in", "a$b"}));
}

// R's ac= is the resistance of the AC analysis, whatever else gives a
// value and in whichever order; m= divides it as it divides R and L and
// multiplies C.
TEST(SpiceTranslation, TheAcResistanceAndTheMultiplier) {
    const SpiceTranslation t = translate(
        "ac resistance\n"
        ".param rr=2.5k\n"
        "R1 1 0 r=1k ac=2k\n"
        "R2 1 0 ac=3k r=1k m=2\n"
        "R3 1 0 ac={2*rr} 1k\n"
        "R4 1 0 resistance=5k\n"
        "R5 1 0 6k ac=1k m=0.5\n"
        "C1 1 0 1n m=0.5\n"
        "C2 1 0 capacitance={1n} m=4\n"
        "L1 1 0 inductance=3m m=3\n"
        "L2 1 0 2m m={1/4}\n"
        "V1 1 0 ac 1\n");
    EXPECT_EQ(element_lines(t),
              (Lines{"R1 1 0 2000", "R2 1 0 1500", "R3 1 0 5000", "R4 1 0 5000", "R5 1 0 2000",
                     "C1 1 0 5e-10", "C2 1 0 4e-09", "L1 1 0 0.001", "L2 1 0 0.008", "V1 1 0 1"}));
    // The values the analysis reads from the netlist.
    std::string text;
    for (const std::string& line : t.netlist) text += line + "\n";
    Circuit c;
    suite::TextScanner in(text);
    read_netlist(c, in, [](const std::string&) {});
    ASSERT_EQ(c.element_count, 10);
    const Real read[] = {2000, 1500, 5000, 5000, 2000, 0.5e-9L, 4e-9L, 1e-3L, 8e-3L};
    for (int k = 1; k <= 9; ++k) EXPECT_NEAR(c.elements[k].value, read[k - 1], 1e-15L * read[k - 1]) << k;
}

TEST(SpiceTranslation, NodesAreNumberedByAppearanceAndMapped) {
    const SpiceTranslation t = translate(
        "named nodes\n"
        "V1 In GND ac 1\n"
        "R1 In Out 1k\n"
        "C1 out gnd 1n\n"
        "R2 mid 0 1k\n"
        "R3 Out Mid 2k\n");
    EXPECT_EQ(t.node_names, (Lines{"0", "in", "out", "mid"}));
    EXPECT_EQ(comment_lines(t), (Lines{
                                    "* Traduzido do deck SPICE test.cir",
                                    "* Título: named nodes",
                                    "* Nós do deck (número no netlist = nome no deck):",
                                    "*   1 = in",
                                    "*   2 = out",
                                    "*   3 = mid",
                                }));
    EXPECT_EQ(find_spice_node(t, "OUT"), 2);
    EXPECT_EQ(find_spice_node(t, "mid"), 3);
    EXPECT_EQ(find_spice_node(t, "gnd"), 0);
    EXPECT_EQ(find_spice_node(t, "0"), 0);
    EXPECT_EQ(find_spice_node(t, "1"), -1);
    // Numeric names are names too: "3" here is netlist node 1.
    const SpiceTranslation n = translate("numbers\nV1 3 0 ac 1\nR1 3 2 1\nR2 2 0 1\n");
    EXPECT_EQ(find_spice_node(n, "3"), 1);
    EXPECT_EQ(find_spice_node(n, "2"), 2);
}

TEST(SpiceTranslation, SubcircuitsFlattenWithHierarchicalAndShortNames) {
    const SpiceTranslation t = translate(
        "nested\n"
        ".subckt inner p q\n"
        "r1 p mid 1\n"
        "r2 mid q 2\n"
        ".ends inner\n"
        ".subckt outer a b\n"
        "xa a m inner\n"
        "xb m b inner\n"
        ".ends outer\n"
        "V1 in 0 ac 1\n"
        "x1 in out outer\n"
        "RLOAD1 out 0 1k\n"  // six characters: cut to five
        "RLOAD2 out 0 2k\n"  // cut, the cut is taken: the letter and a number
        "R1 in 0 5\n"        // a name that fits is kept, whatever came before it
        "Rlongname in 0 6\n");
    EXPECT_EQ(element_lines(t), (Lines{"V1 1 0 1", "R2 1 2 1", "R3 2 3 2", "R4 3 4 1", "R5 4 5 2",
                                       "RLOAD 5 0 1000", "R6 5 0 2000", "R1 1 0 5", "RLONG 1 0 6"}));
    EXPECT_EQ(t.node_names, (Lines{"0", "in", "x1.xa.mid", "x1.m", "x1.xb.mid", "out"}));
    std::vector<std::pair<std::string, std::string>> names;
    for (const auto& n : t.elements) names.emplace_back(n.netlist, n.deck);
    EXPECT_EQ(names, (std::vector<std::pair<std::string, std::string>>{{"V1", "v1"},
                                                                       {"R2", "x1.xa.r1"},
                                                                       {"R3", "x1.xa.r2"},
                                                                       {"R4", "x1.xb.r1"},
                                                                       {"R5", "x1.xb.r2"},
                                                                       {"RLOAD", "rload1"},
                                                                       {"R6", "rload2"},
                                                                       {"R1", "r1"},
                                                                       {"RLONG", "rlongname"}}));
    const Lines map = comment_lines(t);
    EXPECT_NE(std::find(map.begin(), map.end(), "*   R6 = rload2"), map.end());
    EXPECT_NE(std::find(map.begin(), map.end(), "*   R2 = x1.xa.r1"), map.end());
    EXPECT_EQ(std::find(map.begin(), map.end(), "*   R1 = r1"), map.end());  // unchanged: not listed
}

TEST(SpiceTranslation, ManyInstancesGetUniqueShortNames) {
    std::string deck = "many\n.subckt cell a b\nrfilter a b 1k\ncfilter b 0 1n\n.ends\nV1 n0 0 ac 1\n";
    for (int k = 0; k < 60; ++k)
        deck +=
            "xcell" + std::to_string(k) + " n" + std::to_string(k) + " n" + std::to_string(k + 1) + " cell\n";
    deck += "R1 n60 0 1k\nC1 n60 0 1n\n";
    const SpiceTranslation t = translate(deck);
    std::set<std::string> seen;
    for (const auto& n : t.elements) {
        EXPECT_LE(n.netlist.size(), 5u) << n.netlist;
        EXPECT_EQ(n.netlist[0], n.deck.substr(n.deck.rfind('.') + 1)[0] - 'a' + 'A') << n.deck;
        EXPECT_TRUE(seen.insert(n.netlist).second) << n.netlist;
    }
    EXPECT_EQ(t.elements.size(), 123u);
    EXPECT_EQ(t.elements.back().netlist, "C1");  // kept: it fits and is the deck's own
}

TEST(SpiceTranslation, SourcesGiveTheirAcExcitation) {
    const SpiceTranslation t = translate(
        "sources\n"
        "V1 1 0 5\n"         // DC only: 0 in the small-signal circuit
        "V2 2 0 DC 1 AC\n"   // AC alone is 1
        "V3 3 0 ac 2 180\n"  // phase 180: the opposite sign
        "V4 4 0 ac 2 -180\n"
        "V5 5 0 ac 3 360\n"
        "I1 0 1 dc 1m ac 0.5m sin(0 1m 1k)\n"  // transient part dropped
        "I2 0 2 pulse (0 1 0 1n 1n 1u 2u) ac {1/4}\n"
        "V6 6 0 0 AC 1 0 DISTOF1 0.1\n"
        "R1 1 2 1\nR2 2 3 1\nR3 3 4 1\nR4 4 5 1\nR5 5 6 1\nR6 6 0 1\n");
    EXPECT_EQ(element_lines(t), (Lines{"V1 1 0 0", "V2 2 0 1", "V3 3 0 -2", "V4 4 0 -2", "V5 5 0 3",
                                       "I1 0 1 0.0005", "I2 0 2 0.25", "V6 6 0 1", "R1 1 2 1", "R2 2 3 1",
                                       "R3 3 4 1", "R4 4 5 1", "R5 5 6 1", "R6 6 0 1"}));
}

TEST(SpiceTranslation, PassiveOptions) {
    const SpiceTranslation t = translate(
        "options\n"
        "R1 1 0 r=1k tc1=0.01 tc2=0\n"
        "R2 1 0 1k ac=2k\n"
        "R3 1 0 1k m=4\n"
        "C1 1 0 1n m=2 ic=5\n"
        "L1 1 0 l=10m m=2 ic=1m\n"
        "V1 1 0 ac 1\n");
    EXPECT_EQ(element_lines(t), (Lines{"R1 1 0 1000", "R2 1 0 2000", "R3 1 0 250", "C1 1 0 2e-09",
                                       "L1 1 0 0.005", "V1 1 0 1"}));
}

TEST(SpiceTranslation, ControlledSourcesAndCurrentSensing) {
    const SpiceTranslation t = translate(
        "sensing\n"
        "V1 in 0 ac 1\n"
        "R1 in a 1k\n"
        "Vam a b 0\n"  // a pure ammeter: the F takes its place
        "F1 0 c Vam 2\n"
        "R2 b 0 1k\n"
        "R3 c 0 1k\n"
        "Vs c d ac 0.5\n"  // a source whose current two elements sense
        "H1 e 0 vs 100\n"
        "F2 0 e vs -1\n"
        "R4 d 0 1k\n"
        "R5 e 0 1k\n"
        "E1 f 0 e 0 -3\n"
        "G1 0 f e 0 1m\n"
        "R6 f 0 1k\n");
    EXPECT_EQ(t.node_names, (Lines{"0", "in", "a", "b", "c", "d", "e", "f", "vs#1", "vs#2"}));
    EXPECT_EQ(element_lines(t),
              (Lines{"V1 1 0 1", "R1 1 2 1000", "F1 0 4 2 3 2", "R2 3 0 1000", "R3 4 0 1000", "VS 4 8 0.5",
                     "H1 6 0 8 9 100", "F2 0 6 9 5 -1", "R4 5 0 1000", "R5 6 0 1000", "E1 7 0 6 0 -3",
                     "G1 0 7 6 0 0.001", "R6 7 0 1000"}));
    const Lines map = comment_lines(t);
    EXPECT_NE(std::find(map.begin(), map.end(), "*   vam: 0 V, só mede a corrente de f1"), map.end());
}

TEST(SpiceTranslation, CoupledInductorsBecomeOneLine) {
    const SpiceTranslation t = translate(
        "transformer\n"
        "V1 1 0 ac 1\n"
        "Lp 1 0 1m\n"
        "Ls 0 2 4m\n"  // dotted end first: here the ground end
        "K1 Lp Ls 0.5\n"
        "R1 2 0 50\n");
    EXPECT_EQ(element_lines(t), (Lines{"V1 1 0 1", "K1 1 0 0 2 0.001 0.004 0.5", "R1 2 0 50"}));
}

TEST(SpiceTranslation, SweepsOfTheAcLine) {
    struct Case {
        const char* line;
        bool log;
        Real fmin, fmax;
        int segments;
        const char* adjustment;
    };
    const Case cases[] = {
        {".ac dec 10 10 100k", true, 10, 100000, 40, ""},
        {".AC DEC 20 1 1MEG", true, 1, 1e6L, 120, ""},
        {".ac oct 4 100 1600", true, 100, 1600, 16, ""},
        {".ac lin 101 1k 2k", false, 1000, 2000, 100, ""},
        {".ac dec 5 1 10", true, 1, 10, 10,
         "Varredura do deck: .ac dec 5 1 10 pede 5 segmentos; ajustado para 10 (número par, de 2 a 1000)."},
        {".ac lin 1 1k 1k", false, 1000, 1000, 2,
         "Varredura do deck: .ac lin 1 1k 1k pede 0 segmentos; ajustado para 2 (número par, de 2 a 1000)."},
        {".ac lin 2001 0.1 1k", false, 0.1L, 1000, 1000,
         "Varredura do deck: .ac lin 2001 0.1 1k pede 2000 segmentos; ajustado para 1000 (número par, de 2 a "
         "1000)."},
        {".ac dec 10 1 5", true, 1, 5, 14,
         "Varredura do deck: .ac dec 10 1 5 pede 6.98970004336019 segmentos; ajustado para 14 (número par, "
         "de 2 "
         "a 1000)."},
        {".ac lin 1000 1 2", false, 1, 2, 998,
         "Varredura do deck: .ac lin 1000 1 2 pede 999 segmentos; ajustado para 998 (número par, de 2 a "
         "1000)."},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.line);
        const SpiceTranslation t = translate(std::string("sweep\nV1 1 0 ac 1\nR1 1 0 1\n") + k.line + "\n");
        ASSERT_TRUE(t.sweep.present);
        EXPECT_EQ(t.sweep.log_scale, k.log);
        EXPECT_EQ(t.sweep.fmin, k.fmin);
        EXPECT_EQ(t.sweep.fmax, k.fmax);
        EXPECT_EQ(t.sweep.segments, k.segments);
        EXPECT_EQ(t.sweep.adjustment, k.adjustment);
    }
    EXPECT_FALSE(translate("none\nR1 1 0 1\n").sweep.present);
    // The ac command of a .control block when there is no .ac line.
    const SpiceTranslation c =
        translate("control\nR1 1 0 1\n.control\nac dec 10 1k 100k\nplot v(1)\n.endc\n.op\n.end\n");
    EXPECT_EQ(c.sweep.segments, 20);
    EXPECT_EQ(c.notes, (Lines{"Ignorado, linha 7: .op",
                              "Ignoradas 1 linhas de blocos .control (comandos do simulador)"}));
}

TEST(SpiceTranslation, IgnoredCommandsAreNoted) {
    const SpiceTranslation t = translate(
        "commands\n"
        "V1 1 0 ac 1\n"
        "R1 1 0 1\n"
        ".model dmod d is=1e-14\n"
        ".tran 1n 1u\n"
        ".options reltol=1e-6\n"
        ".ac dec 10 1 10\n"
        ".ac lin 10 1 10\n");
    EXPECT_EQ(t.notes, (Lines{"Ignorado, linha 4: .model dmod d is=1e-14", "Ignorado, linha 5: .tran 1n 1u",
                              "Ignorado, linha 6: .options reltol=1e-6",
                              "Ignorada (só a primeira .ac vale), linha 8: .ac lin 10 1 10"}));
    const Lines map = comment_lines(t);
    EXPECT_NE(std::find(map.begin(), map.end(), "* Ignorado, linha 5: .tran 1n 1u"), map.end());
    EXPECT_NE(std::find(map.begin(), map.end(), "* Varredura do deck: .ac dec 10 1 10"), map.end());
}

TEST(SpiceTranslation, IncludedFilesAndLibrarySections) {
    const testing::Files files = {
        {"/decks/parts.inc",
         "* parts\n.subckt div a b\nr1 a b 1k\nr2 b 0 1k\n.ends\n.include sub/more.inc\n"},
        {"/decks/sub/more.inc", ".param rl=50\n"},  // named from the folder of the file that names it
        {"/decks/lib/models.lib",
         ".lib fast\n.subckt buf a b\ne1 b 0 a 0 1\n.ends\n.endl\n.lib slow\n.subckt buf a b\ne1 b 0 a 0 "
         "0.5\n.ends\n"
         ".endl\n"},
    };
    const SpiceTranslation t = translate(
        "includes\n"
        ".include parts.inc\n"
        ".lib \"lib/models.lib\" slow\n"
        "V1 in 0 ac 1\n"
        "x1 in mid div\n"
        "x2 mid out buf\n"
        "R9 out 0 {rl}\n",
        files);
    EXPECT_EQ(element_lines(t),
              (Lines{"V1 1 0 1", "R1 1 2 1000", "R2 2 0 1000", "E1 3 0 2 0 0.5", "R9 3 0 50"}));
}

// ".lib FILE SECTION" finds the section whatever the case of its name on
// either line, and of .lib and .endl, and takes only its lines.
TEST(SpiceTranslation, LibrarySectionsInAnyCase) {
    const testing::Files files = {
        {"/decks/Models.lib",
         "* three sections\n"
         ".LIB Fast\n.subckt buf a b\ne1 b 0 a 0 1\n.ends\n.EndL\n"
         ".Lib MEDIUM\n.subckt buf a b\ne1 b 0 a 0 0.75\n.ends\n.ENDL\n"
         ".lib slow\n.subckt buf a b\ne1 b 0 a 0 0.5\n.ends\n.endl\n"},
    };
    struct Case {
        const char* line;
        const char* gain_line;
    };
    const Case cases[] = {
        {".lib Models.lib fAsT", "E1 2 0 1 0 1"},
        {".LIB Models.lib medium", "E1 2 0 1 0 0.75"},
        {".Lib 'Models.lib' SLOW", "E1 2 0 1 0 0.5"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.line);
        const SpiceTranslation t = translate(
            std::string("sections\n") + k.line + "\nV1 in 0 ac 1\nx1 in out buf\nR1 out 0 1k\n", files);
        EXPECT_EQ(element_lines(t), (Lines{"V1 1 0 1", k.gain_line, "R1 2 0 1000"}));
    }
    EXPECT_EQ(
        testing::refusal("t\n.lib Models.lib Typical\n", files),
        "Deck SPICE, linha 2: \".lib Models.lib Typical\": a seção typical não está em /decks/Models.lib");
}

// Fields that do not change the circuit at the nominal temperature and
// in the small-signal analysis are read and dropped.
TEST(SpiceTranslation, FieldsThatLeaveTheSmallSignalCircuitAlone) {
    const testing::Files files = {{"/lib/abs.inc", ".param kk=3\n"}};
    const SpiceTranslation t = translate(
        "forms\n"
        ".inc /lib/abs.inc\n"  // an absolute name, the short keyword
        ".subckt s a params: k=1\n"
        "r1 a 0 {k}\n"
        ".ends\n"
        "R1 1 0 1k tc=0.01 tc2=1e-5 noisy=0\n"
        "R2 1 0 2k dtemp=5\n"
        "R3 1 0 3k temp=50 tc1=0\n"    // its own temperature, no coefficient
        "V1 1 0 dc ac 2 sin 0 1 1k\n"  // transient values without parentheses
        "I1 0 1 ac 1 distof2 0.1 90\n"
        "X1 1 s params: k={kk}\n",
        files);
    EXPECT_EQ(element_lines(t),
              (Lines{"R1 1 0 1000", "R2 1 0 2000", "R3 1 0 3000", "V1 1 0 2", "I1 0 1 1", "R4 1 0 3"}));
}

// The files of a translation: a deck with CR LF line ends read from disk
// with a file included beside it, the netlist written and known again as
// the translator's, and the log lines of the translation.
TEST(SpiceTranslation, DeckAndNetlistFiles) {
    suite::testing::ScratchDir dir;
    dir.write("load.inc", "R2 out 0 1k\r\n");
    const std::string deck = dir.write("rc.cir",
                                       "rc\r\nV1 in 0 ac 1\r\nR1 in out 1k\r\n.include load.inc\r\n"
                                       "C1 out 0 1u\r\n.ac dec 5 10 100\r\n.end\r\n");
    const SpiceTranslation t = translate_spice_file(deck);
    EXPECT_EQ(element_lines(t), (Lines{"V1 1 0 1", "R1 1 2 1000", "R2 2 0 1000", "C1 2 0 1e-06"}));
    const std::string net = spice_netlist_name(deck);
    EXPECT_EQ(net, dir.path("rc.net"));
    EXPECT_FALSE(is_translated_netlist(net));  // not there yet
    write_translated_netlist(net, t);
    EXPECT_TRUE(is_translated_netlist(net));
    std::string written = "2\r\n* Traduzido do deck SPICE rc.cir\r\n";
    EXPECT_EQ(suite::read_file_bytes(net).substr(0, written.size()), written);
    const std::string own = dir.write("own.net", "2\r\n* a netlist of my own\r\nR1 1 0 1\r\nR2 2 0 1\r\n");
    EXPECT_FALSE(is_translated_netlist(own));
    EXPECT_EQ(
        translation_report(t, deck, net),
        (Lines{"Deck SPICE " + deck + " traduzido em " + net + ": 2 nós, 4 elementos.",
               "Varredura do deck: .ac dec 5 10 100 (10 Hz a 100 Hz, 10 segmentos, escala log)",
               "Varredura do deck: .ac dec 5 10 100 pede 5 segmentos; ajustado para 10 (número par, de 2 "
               "a 1000)."}));
    EXPECT_THROW(translate_spice_file(dir.path("none.cir")), suite::IoError);
    // A drawing of the schematic editor, also named .cir, is told as such.
    const std::string drawing =
        dir.write("sk.cir", "* 3330 3331 Sallen-Key\r\nV 2562 2306 1\r\n= 2050 2306\r\nR 2563 2564 (R)\r\n");
    try {
        (void)translate_spice_file(drawing);
        ADD_FAILURE() << "a drawing translated";
    } catch (const suite::IoError& e) {
        const std::string told = drawing + " parece um desenho do editor de esquemas, não um deck SPICE";
        EXPECT_EQ(e.portuguese().substr(0, told.size()), told);
    }
    try {  // a deck's title is not taken for an element
        (void)translate_spice_file(dir.write("bad.cir", "Stage 2 of 3\nR 1 0\n"));
        ADD_FAILURE() << "an element without its value translated";
    } catch (const suite::IoError& e) {
        EXPECT_EQ(std::string(e.portuguese()).find("desenho"), std::string::npos) << e.portuguese();
    }
    EXPECT_EQ(translation_report(translate("lin\nR1 1 0 1\n.ac lin 3 1 2\n"), "lin.cir", "lin.net"),
              (Lines{"Deck SPICE lin.cir traduzido em lin.net: 1 nós, 1 elementos.",
                     "Varredura do deck: .ac lin 3 1 2 (1 Hz a 2 Hz, 2 segmentos, escala linear)"}));
    EXPECT_EQ(translation_report(translate("none\nR1 1 0 1\n"), "none.cir", "none.net"),
              (Lines{"Deck SPICE none.cir traduzido em none.net: 1 nós, 1 elementos."}));

    // What a program given a file to open takes for a deck.
    for (const char* deck : {"a/f.cir", "F.SP", "x.y/f.Spi", "f.ckt"})
        EXPECT_TRUE(is_spice_deck_name(deck)) << deck;
    for (const char* other : {"a/f.net", "f", "a.cir/f", "a/.cir", "f.cir.net", "f.spice"})
        EXPECT_FALSE(is_spice_deck_name(other)) << other;

    // The name beside the deck.
    const std::pair<const char*, const char*> names[] = {
        {"a/filter.cir", "a/filter.net"},       {"a/filter", "a/filter.net"},
        {"a.b/filter", "a.b/filter.net"},       {"a/.deck", "a/.deck.net"},
        {"a/filter.NET", "a/filter.spice.net"}, {"f.sp.cir", "f.sp.net"},
    };
    for (const auto& [deck_name, netlist_name] : names)
        EXPECT_EQ(spice_netlist_name(deck_name), netlist_name);
}

TEST(SpiceTranslation, GlobalNodesAreSharedByEveryInstance) {
    const SpiceTranslation t = translate(
        "globals\n"
        ".global vcc\n"
        ".subckt load a\nr1 a vcc 1k\nr2 a gnd 1k\n.ends\n"
        "V1 vcc 0 ac 1\n"
        "x1 n1 load\n"
        "x2 n2 load\n");
    EXPECT_EQ(t.node_names, (Lines{"0", "vcc", "n1", "n2"}));
    EXPECT_EQ(element_lines(t),
              (Lines{"V1 1 0 1", "R1 2 1 1000", "R2 2 0 1000", "R3 3 1 1000", "R4 3 0 1000"}));
}

// The netlist is read by the suite's reader without error, and the
// reader sees the elements and nodes of the deck.
TEST(SpiceTranslation, TheNetlistPassesTheSuitesReader) {
    const SpiceTranslation t = translate(
        "every kind\n"
        "V1 in 0 ac 1\nI1 0 in ac 1m\nR1 in a 1k\nC1 a 0 1n\nL1 a b 1m\nL2 c 0 2m\nK1 L1 L2 0.2\n"
        "R2 b 0 1k\nR3 c 0 1k\nE1 d 0 a 0 2\nVs d e 0\nF1 0 f Vs 1\nH1 g 0 Vs 10\nG1 0 h g 0 1m\n"
        "R4 e 0 1k\nR5 f 0 1k\nR6 g 0 1k\nR7 h 0 1k\nRLONGER1 h 0 1k\n");
    std::string text;
    for (const std::string& line : t.netlist) text += line + "\n";
    Circuit c;
    suite::TextScanner in(text);
    std::vector<std::string> log;
    read_netlist(c, in, [&log](const std::string& line) { log.push_back(line); });
    EXPECT_TRUE(c.present);
    EXPECT_EQ(c.node_count, 10);  // nine of the deck, one joining the two sensing shorts
    // 19 deck lines: the two coupled inductors become one K line (three
    // stored elements), the 0 V ammeter gives way to the two shorts of
    // the elements that sense it; every other line is one element.
    EXPECT_EQ(c.element_count, 18);
    EXPECT_EQ(log.back(), "Circuito lido.");
    EXPECT_NE(std::find(log.begin(), log.end(), "*  9 = h"), log.end());  // the map, in the log
}

}  // namespace
}  // namespace analysis::spice
