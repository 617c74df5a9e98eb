// Forms of decks that engineers bring: temperatures and temperature
// coefficients, sources given by keywords, constant and polynomial
// controlled sources, user functions, many coupled inductors, ports,
// op-amp subcircuits replaced by the gain-bandwidth model, and every
// refusal of a deck told in one message.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "analysis/spice/spice_flatten.h"
#include "analysis/spice/spice_testing.h"

namespace analysis::spice {
namespace {

using testing::element_lines;
using testing::refusal;
using testing::translate;
using Lines = std::vector<std::string>;

// The fields of the element line that begins with `name` ("R1 1 0 1104.49"
// -> {"R1", "1", "0", "1104.49"}); empty when there is none.
Lines fields_of(const SpiceTranslation& t, const std::string& name) {
    for (const std::string& line : element_lines(t)) {
        std::istringstream in(line);
        Lines f;
        for (std::string w; in >> w;) f.push_back(w);
        if (!f.empty() && f[0] == name) return f;
    }
    return {};
}

long double value_of(const SpiceTranslation& t, const std::string& name, std::size_t field = 3) {
    const Lines f = fields_of(t, name);
    if (f.size() <= field) return NAN;
    return std::stold(f[field]);
}

// value (1 + tc1 dT + tc2 dT^2), dT = temperature - nominal.
long double at(long double value, long double tc1, long double tc2, long double dt) {
    return value * (1 + tc1 * dt + tc2 * dt * dt);
}

TEST(SpiceTemperature, ValuesAtTheCircuitsTemperature) {
    const SpiceTranslation t = translate(
        "hot\n"
        ".temp 70\n"
        "V1 1 0 ac 1\n"
        "R1 1 2 1k tc1=2m tc2=1e-5\n"
        "R2 2 0 1k tc=2m,1e-5\n"  // the pair after tc=
        "R3 2 0 1k tc=2m\n"
        "C1 2 3 1u tc1=3m tc2=2e-5\n"
        "L1 3 0 1m tc1=-3m\n"
        "R4 3 0 1k tc1=2m temp=40\n"   // its own temperature
        "R5 3 0 1k tc1=2m dtemp=10\n"  // the circuit's and 10 more
        "R6 3 0 1k m=2 tc1=2m\n"
        "R7 3 0 2k\n");
    const long double d = 70 - 27;
    EXPECT_NEAR(value_of(t, "R1"), at(1000, 2e-3L, 1e-5L, d), 1e-12L);
    EXPECT_NEAR(value_of(t, "R2"), at(1000, 2e-3L, 1e-5L, d), 1e-12L);
    EXPECT_NEAR(value_of(t, "R3"), at(1000, 2e-3L, 0, d), 1e-12L);
    EXPECT_NEAR(value_of(t, "C1") / at(1e-6L, 3e-3L, 2e-5L, d), 1, 1e-15L);
    EXPECT_NEAR(value_of(t, "L1") / at(1e-3L, -3e-3L, 0, d), 1, 1e-15L);
    EXPECT_NEAR(value_of(t, "R4"), at(1000, 2e-3L, 0, 40 - 27), 1e-12L);
    EXPECT_NEAR(value_of(t, "R5"), at(1000, 2e-3L, 0, d + 10), 1e-12L);
    EXPECT_NEAR(value_of(t, "R6"), at(500, 2e-3L, 0, d), 1e-12L);
    EXPECT_EQ(value_of(t, "R7"), 2000);
    EXPECT_EQ(t.notes, (Lines{"Temperatura, linha 2: .temp 70",
                              "Valores com coeficientes de temperatura tomados a 70 °C (nominal 27 °C): 8 "
                              "elementos"}));
}

TEST(SpiceTemperature, OptionsSetTheTemperatureAndTheNominalOne) {
    struct Case {
        std::string lines;
        long double dt;
    };
    const Case cases[] = {
        {"", 0},                                     // 27 and 27: the coefficients change nothing
        {".options temp=50\n", 50 - 27},             // the circuit's
        {".option tnom=20 reltol=1e-4\n", 27 - 20},  // the nominal one, among other options
        {".opt TNOM={10+10} TEMP=-10\n", -10 - 20},  // both, an expression, any case
        {".options tnom=20\n.temp 70\n", 70 - 20},   // from two lines
        {".options gmin=1e-12 method=gear\n", 0},    // options without a temperature
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.lines);
        const SpiceTranslation t =
            translate("options\n" + k.lines + "V1 1 0 ac 1\nR1 1 0 1k tc1=1m tc2=1e-6\n");
        EXPECT_NEAR(value_of(t, "R1"), at(1000, 1e-3L, 1e-6L, k.dt), 1e-12L);
    }
    EXPECT_EQ(translate("o\n.options reltol=1e-6\nV1 1 0 ac 1\nR1 1 0 1k tc1=1m\n").notes,
              Lines{"Ignorado, linha 2: .options reltol=1e-6"});
    EXPECT_EQ(refusal("o\n.temp\nR1 1 0 1\n"), "Deck SPICE, linha 2: \".temp\": falta a temperatura");
    EXPECT_EQ(refusal("o\n.options temp={t}\nR1 1 0 1\n"),
              "Deck SPICE, linha 2: \".options temp={t}\": temperatura: parâmetro desconhecido: t");
}

}  // namespace
}  // namespace analysis::spice

namespace analysis::spice {
namespace {

// Every line that the linear analysis cannot represent is told at once:
// one line alone keeps its own message; several are counted per kind and
// the first ten are listed, each with its line, file and instance.
TEST(SpiceRefusalsTogether, EveryRefusedLineInOneMessage) {
    const std::string op =
        " precisa de um ponto de operação, que a análise linear não calcula: escreva o seu modelo de "
        "pequenos sinais com R, C, G e E";
    EXPECT_EQ(refusal("one\nV1 1 0 ac 1\nD1 1 0 dm\nR1 1 0 1k\n"),
              "Deck SPICE, linha 3: \"D1 1 0 dm\": diodo (D) é não linear e" + op);
    EXPECT_EQ(refusal("several\n"
                      ".subckt cell a b\n"
                      "Q1 a b 0 qm\n"
                      "R1 a b 1k\n"
                      ".ends\n"
                      "V1 1 0 ac 1\n"
                      "D1 1 2 dm\n"
                      "X1 2 3 cell\n"
                      "R2 3 0 1k\n"
                      "S1 3 0 1 0 sw\n"
                      "D2 3 0 dm\n"),
              "Deck SPICE: 4 linhas que a análise linear não pode representar (D: 2, Q: 1, S: 1):\n"
              "Deck SPICE, linha 7: \"D1 1 2 dm\": diodo (D) é não linear e" +
                  op +
                  "\n"
                  "Deck SPICE, linha 3 (em x1): \"Q1 a b 0 qm\": transistor bipolar (Q) com .model" +
                  op +
                  "\n"
                  "Deck SPICE, linha 10: \"S1 3 0 1 0 sw\": chave (S, W) é não linear e não pode ser "
                  "representada\n"
                  "Deck SPICE, linha 11: \"D2 3 0 dm\": diodo (D) é não linear e" +
                  op);
    std::string many = "many\nV1 1 0 ac 1\n";
    for (int k = 1; k <= 12; ++k) many += "D" + std::to_string(k) + " 1 0 dm\n";
    many += "M1 1 0 0 0 nm\n";
    const std::string told = refusal(many);
    EXPECT_EQ(told.substr(0, told.find('\n')),
              "Deck SPICE: 13 linhas que a análise linear não pode representar (D: 12, M: 1); as 10 "
              "primeiras:");
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 10);
    EXPECT_NE(told.find("linha 12: \"D10 1 0 dm\""), std::string::npos);
    EXPECT_EQ(told.find("D11"), std::string::npos);
}

// A subcircuit of three ports or more with nonlinear devices, as an
// op-amp's macro-model, is refused at its instance with the option that
// replaces it; every instance is told.
TEST(SpiceRefusalsTogether, AMacroModelIsRefusedAtItsInstanceWithTheOption) {
    const std::string model =
        ".subckt OPA1 inp inn out vcc vee\nQ1 out inp vee qn\nD1 inn out dm\n"
        "R1 inp inn 1meg\n.ends\n";
    const std::string why =
        ": o subcircuito opa1 tem elementos não lineares (D, Q) que a análise linear não "
        "representa; se é um amp-op, --opamp opa1=GB[,RO] o troca pelo amp-op A do netlist "
        "(GB em Hz, Ro em ohms)";
    EXPECT_EQ(refusal("bench\n" + model + "V1 in 0 ac 1\nXU1 in out out vp vn OPA1\n"),
              "Deck SPICE, linha 8: \"XU1 in out out vp vn OPA1\"" + why);
    EXPECT_EQ(refusal("bench\n" + model + "XU1 in o1 o1 vp vn OPA1\nXU2 o1 o2 o2 vp vn opa1\n"),
              "Deck SPICE: 2 linhas que a análise linear não pode representar (X: 2):\n"
              "Deck SPICE, linha 7: \"XU1 in o1 o1 vp vn OPA1\"" +
                  why + "\nDeck SPICE, linha 8: \"XU2 o1 o2 o2 vp vn opa1\"" + why);
}

}  // namespace
}  // namespace analysis::spice

namespace analysis::spice {
namespace {

TEST(SpiceForms, SourceValuesGivenByKeywords) {
    const SpiceTranslation t = translate(
        "keywords\n"
        "V1 1 0 dc=1.27 ac=42mA\n"
        "V2 2 0 DC=0 ACMAG=3 ACPHASE=180\n"
        "I1 0 3 acmag={2*2}\n"
        "I2 0 4 dc 1 acphase=0 acmag=0.5\n"
        "V3 5 0 dc=2\n"  // no AC: no excitation
        "R1 1 2 1\nR2 2 3 1\nR3 3 4 1\nR4 4 5 1\nR5 5 0 1\n");
    EXPECT_EQ(element_lines(t), (Lines{"V1 1 0 0.042", "V2 2 0 -3", "I1 0 3 4", "I2 0 4 0.5", "V3 5 0 0",
                                       "R1 1 2 1", "R2 2 3 1", "R3 3 4 1", "R4 4 5 1", "R5 5 0 1"}));
    EXPECT_EQ(refusal("k\nV1 1 0 ac=1 acphase=45\n"),
              "Deck SPICE, linha 2: \"V1 1 0 ac=1 acphase=45\": a fase AC de 45 graus não pode ser "
              "representada: as fontes do netlist são reais (fase 0 ou 180)");
    EXPECT_EQ(refusal("k\nV1 1 0 ac=1 z0=50\n"),
              "Deck SPICE, linha 2: \"V1 1 0 ac=1 z0=50\": campo inesperado \"z0\"");
}

// Commands of analyses and output that the translator does not know are
// ignored and noted; a .func is evaluated where a value calls it, and a
// .func that only output lines use changes nothing.
TEST(SpiceForms, UnknownCommandsAndUserFunctions) {
    const SpiceTranslation t = translate(
        "commands\n"
        ".LIN sweeptype=dec points=10\n"
        ".func gain(x) {v(x)*2}\n"  // of node voltages: for output lines only
        ".func par(a,b) = {a*b/(a+b)}\n"
        ".FUNC twice(x) 2*x\n"
        ".func nested(a) {par(twice(a), 2*a) + k}\n"
        ".param k=1\n"
        "V1 1 0 ac 1\n"
        "R1 1 0 {par(3k, 6k)}\n"
        "R2 1 0 {nested(1k)}\n"
        ".hb 1meg\n");
    EXPECT_EQ(value_of(t, "R1"), 2000);
    EXPECT_EQ(value_of(t, "R2"), 1001);  // 2k || 2k, plus k
    EXPECT_EQ(t.notes, (Lines{"Ignorado (comando .lin desconhecido), linha 2: .LIN sweeptype=dec points=10",
                              "Ignorado (comando .hb desconhecido), linha 11: .hb 1meg"}));
    EXPECT_EQ(refusal("f\n.func gain(x) {v(x)*2}\nR1 1 0 {gain(1)}\n"),
              "Deck SPICE, linha 3: \"R1 1 0 {gain(1)}\": expressão comportamental (v(...)) não pode ser "
              "representada na análise linear: v(x)*2");
    EXPECT_EQ(refusal("f\n.func f(x) {f(x)}\nR1 1 0 {f(1)}\n"),
              "Deck SPICE, linha 3: \"R1 1 0 {f(1)}\": expressão inválida (funções chamadas umas dentro das "
              "outras fundo demais): f(x)");
}

// A controlled source whose expression holds no voltage or current is a
// DC source: E and H a short circuit, G and F an open one.
TEST(SpiceForms, ConstantExpressionSources) {
    const SpiceTranslation t = translate(
        "constant\n"
        ".param dc=1.2 pol=1 drift=5u\n"
        "V1 in 0 ac 1\n"
        "R1 in a 1k\n"
        "E1 a b VALUE={DC+POL*DRIFT*(TEMP-27)}\n"
        "R2 b 0 1k\n"
        "G1 b 0 value={2}\n"
        "H1 b c value = '3*time'\n"
        "R3 c 0 1k\n");
    EXPECT_EQ(element_lines(t),
              (Lines{"V1 1 0 1", "R1 1 2 1000", "V2 2 3 0", "R2 3 0 1000", "V3 3 4 0", "R3 4 0 1000"}));
    const Lines map = testing::comment_lines(t);
    EXPECT_NE(std::find(map.begin(), map.end(), "*   V2 = e1"), map.end());
    EXPECT_NE(std::find(map.begin(), map.end(), "*   V3 = h1"), map.end());
    EXPECT_EQ(t.notes,
              (Lines{"e1: expressão sem tensões nem correntes, fonte DC: curto-circuito na análise AC",
                     "g1: expressão sem tensões nem correntes, fonte DC: circuito aberto na análise AC",
                     "h1: expressão sem tensões nem correntes, fonte DC: curto-circuito na análise AC"}));
    for (const char* line : {"E1 a 0 value={V(b)*2}", "G1 a 0 cur={i(vx)}", "E1 a 0 value={hertz}",
                             "E1 a 0 value={ 3 * v (b) }"}) {
        SCOPED_TRACE(line);
        EXPECT_NE(refusal(std::string("c\n") + line + "\n").find("fonte controlada por expressão"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace analysis::spice

namespace analysis::spice {
namespace {

// Three coupled inductors: each in series with a sensing short, its own
// L and one E per mutual inductance, whose control is an inductor of |M|
// fed by the other's current; a pair alone stays a K line.
TEST(SpiceForms, GroupsOfCoupledInductors) {
    const SpiceTranslation t = translate(
        "coupled\n"
        "V1 1 0 ac 1\n"
        "L1 1 0 1m\nL2 2 0 4m\nL3 3 0 9m\n"
        "K12 L1 L2 0.5\nK23 L2 L3 0.25\nK31 L3 L1 -0.1\n"
        "L4 4 0 1m\nL5 5 0 1m\nK45 L4 L5 0.3\n");
    // M12 = 0.5 sqrt(1m 4m) = 1m, M23 = 0.25 sqrt(4m 9m) = 1.5m, M13 = -0.1 sqrt(1m 9m) = -0.3m.
    std::map<std::string, long double> aux;  // the |M| inductors, by deck name
    for (const SpiceTranslation::Name& n : t.elements)
        if (n.deck.find("#m") != std::string::npos) aux[n.deck] = value_of(t, n.netlist);
    EXPECT_EQ(aux.size(), 6u);
    EXPECT_NEAR(aux["l1#ml2"], 1e-3L, 1e-18L);
    EXPECT_NEAR(aux["l2#ml1"], 1e-3L, 1e-18L);
    EXPECT_NEAR(aux["l2#ml3"], 1.5e-3L, 1e-18L);
    EXPECT_NEAR(aux["l3#ml1"], 0.3e-3L, 1e-18L);
    // The sign of M13 is the gain of the copies of i1 and i3.
    for (const SpiceTranslation::Name& n : t.elements) {
        if (n.deck.find("#f") == std::string::npos) continue;
        SCOPED_TRACE(n.deck);
        const bool negative = n.deck == "l1#fl3" || n.deck == "l3#fl1";
        EXPECT_EQ(value_of(t, n.netlist, 5), negative ? -1 : 1);
    }
    EXPECT_EQ(fields_of(t, "K45"),
              (Lines{"K45", std::to_string(find_spice_node(t, "4")), "0",
                     std::to_string(find_spice_node(t, "5")), "0", "0.001", "0.001", "0.3"}));
    EXPECT_EQ(t.notes,
              Lines{"Indutores acoplados l1, l2, l3 (k12, k23, k31): cada um em série com as tensões "
                    "s·M·i dos outros, feitas por F, L de |M| e E"});
}

TEST(SpiceForms, PortsAreASourceBehindZ0AndTerminations) {
    const SpiceTranslation t = translate(
        "ports\n"
        "P2 out 0 port=2 z0=75\n"
        "R1 in out 100\n"
        "P1 in 0 PORT=1 Z0=50 ac=2\n");
    EXPECT_EQ(element_lines(t), (Lines{"R2 1 0 75", "R1 2 1 100", "V1 2 3 2", "R3 3 0 50"}));
    EXPECT_EQ(t.notes,
              (Lines{"p2: porta 2, terminação Z0 = 75 ohms",
                     "p1: porta 1, fonte AC de 2 V atrás de Z0 = 50 ohms (a porta de menor número é a "
                     "excitada)"}));
    EXPECT_EQ(refusal("p\nP1 1 0 z0=50\n"),
              "Deck SPICE, linha 2: \"P1 1 0 z0=50\": falta o número da porta (port=)");
    EXPECT_EQ(refusal("p\nP1 1 0 port=1 z0=0\n"),
              "Deck SPICE, linha 2: \"P1 1 0 port=1 z0=0\": a impedância da porta (z0) deve ser positiva");
}

}  // namespace
}  // namespace analysis::spice

namespace analysis::spice {
namespace {

const std::string opamp_model =
    ".subckt OPX +IN -IN V+ V- OUT\n"
    "Q1 c1 +in e qn\nQ2 c2 -in e qn\nR1 v+ c1 5k\nR2 v+ c2 5k\nI1 e v- 20u\n"
    "G1 g 0 c1 c2 1\nR3 g 0 100k\nC1 g 0 300n\nE1 out 0 g 0 1\n"
    ".ends\n";

SpiceTranslation with_opamp(const std::string& deck, const std::vector<OpAmpReplacement>& opamps) {
    return translate_spice(
        deck, "/decks/bench.cir", [](const std::string&) { return std::nullopt; }, opamps);
}

// The instances of an op-amp's macro-model become op-amps A (in-, in+,
// out, GB in rad/s, Ro), the supply pins left out, the ports found by
// their names or given; the notes say what was replaced.
TEST(SpiceOpAmps, InstancesBecomeGainBandwidthOpAmps) {
    const std::string deck = "bench\n" + opamp_model +
                             "V1 in 0 ac 1\nR1 in n 10k\nR2 n o 20k\n"
                             "XU1 0 n vcc vee o OPX\n"
                             "R3 o p 1k\nXU2 p q vcc vee q opx\nVCC vcc 0 dc 15\nVEE vee 0 dc -15\n";
    const SpiceTranslation t = with_opamp(deck, {{"opx", 1e6L, 75, {}}});
    const int n = find_spice_node(t, "n"), o = find_spice_node(t, "o"), p = find_spice_node(t, "p"),
              q = find_spice_node(t, "q");
    const long double gb = 2 * 3.14159265358979323846L * 1e6L;
    const Lines a1 = fields_of(t, "A1"), a2 = fields_of(t, "A2");
    ASSERT_EQ(a1.size(), 6u);
    EXPECT_EQ((Lines{a1[1], a1[2], a1[3]}), (Lines{std::to_string(n), "0", std::to_string(o)}));
    EXPECT_NEAR(std::stold(a1[4]) / gb, 1, 1e-18L);
    EXPECT_EQ(a1[5], "75");
    ASSERT_EQ(a2.size(), 6u);
    EXPECT_EQ((Lines{a2[1], a2[2], a2[3]}), (Lines{std::to_string(q), std::to_string(p), std::to_string(q)}));
    EXPECT_EQ(
        t.notes[0],
        "xu1: subcircuito opx trocado pelo amp-op A (GB 1000000 Hz, Ro 75 ohms): entradas +in (+) e -in (-), "
        "saída out; v+, v- de fora (alimentação ideal)");
    // Ports given: the outputs and inputs by the user's names.
    const SpiceTranslation given = with_opamp(deck, {{"opx", 2e6L, 50, {"-in", "+in", "out"}}});
    const Lines g1 = fields_of(given, "A1");
    ASSERT_EQ(g1.size(), 6u);
    EXPECT_EQ((Lines{g1[1], g1[2], g1[3]}), (Lines{"0", std::to_string(n), std::to_string(o)}));
    // A replacement that no instance uses is told.
    const SpiceTranslation unused = with_opamp(deck, {{"opx", 1e6L, 75, {}}, {"lm1", 1e6L, 75, {}}});
    EXPECT_EQ(unused.notes.back(), "--opamp lm1: nenhuma instância desse subcircuito no deck");
    EXPECT_EQ(opamp_ports({"1", "2", "3"}), Lines{});
    EXPECT_EQ(opamp_ports({"vcc", "inp", "inn", "vee", "vout"}), (Lines{"inp", "inn", "vout"}));
    EXPECT_EQ(opamp_ports({"in+", "inp", "in-", "out"}), Lines{});  // two non-inverting inputs: not told
}

TEST(SpiceOpAmps, RefusalsAndTheOptionsText) {
    const std::string numbered = ".subckt lm 1 2 3 4 5\nQ1 1 2 3 qn\nR1 4 5 1\n.ends\n";
    const std::string deck = "bench\n" + numbered + "V1 in 0 ac 1\nX1 in o a b o lm\n";
    const auto refusal_of = [&](const OpAmpReplacement& r) {
        try {
            with_opamp(deck, {r});
        } catch (const suite::IoError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(refusal_of({"lm", 1e6L, 50, {}}),
              "Deck SPICE, linha 7: \"X1 in o a b o lm\": os nomes dos terminais de lm (1 2 3 4 5) não dizem "
              "quais são as entradas e a saída: dê-os em --opamp lm=GB,RO,ENTRADA+,ENTRADA-,SAÍDA");
    EXPECT_EQ(
        refusal_of({"lm", 1e6L, 50, {"1", "2", "9"}}),
        "Deck SPICE, linha 7: \"X1 in o a b o lm\": --opamp lm: o subcircuito não tem o terminal 9 (tem 1 2 "
        "3 4 5)");
    EXPECT_EQ(refusal_of({"lm", 1e6L, 50, {"1", "2", "5"}}), "");
    struct Case {
        std::string text, why;
    };
    const Case cases[] = {
        {"opa1=1meg", ""},
        {"OPA1=3.5MEG,30", ""},
        {"opa1=10e6,75,inp,inn,out", ""},
        {"opa1", "--opamp opa1: write SUBCKT=GB[,RO[,IN+,IN-,OUT]]"},
        {"=1meg", "--opamp =1meg: write SUBCKT=GB[,RO[,IN+,IN-,OUT]]"},
        {"opa1=1meg,50,a,b", "--opamp opa1=1meg,50,a,b: write SUBCKT=GB[,RO[,IN+,IN-,OUT]]"},
        {"opa1=1", "--opamp opa1=1: the gain-bandwidth product must be a number of hertz above 1"},
        {"opa1=fast", "--opamp opa1=fast: the gain-bandwidth product must be a number of hertz above 1"},
        {"opa1=1meg,0", "--opamp opa1=1meg,0: the output resistance must be a number of ohms above 0"},
        {"opa1=1meg,-5", "--opamp opa1=1meg,-5: the output resistance must be a number of ohms above 0"},
        {"opa1=1meg,50,a,,c", "--opamp opa1=1meg,50,a,,c: a port name is empty"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        OpAmpReplacement r;
        EXPECT_EQ(parse_opamp_replacement(k.text, r), k.why);
    }
    OpAmpReplacement r;
    ASSERT_EQ(parse_opamp_replacement("OPA1=3.5MEG,30,INP,INN,OUT", r), "");
    EXPECT_EQ(r.subckt, "opa1");
    EXPECT_EQ(r.gb_hz, 3.5e6L);
    EXPECT_EQ(r.ro, 30);
    EXPECT_EQ(r.ports, (Lines{"inp", "inn", "out"}));
    ASSERT_EQ(parse_opamp_replacement("x=2meg", r), "");
    EXPECT_EQ(r.ro, 50);
}

// The subcircuits a window offers to replace: three ports or more,
// nonlinear devices, used by an X line.
TEST(SpiceOpAmps, CandidatesOfADeck) {
    const std::string deck = "bench\n" + opamp_model +
                             ".subckt lm 1 2 3 4 5\nD1 1 2 dm\n.ends\n"
                             ".subckt unused a b c\nQ1 a b c qn\n.ends\n"
                             ".subckt lin a b c\nR1 a b 1\nR2 b c 1\n.ends\n"
                             "X1 1 2 3 4 5 lm\nX2 1 2 3 4 5 OPX\nX3 1 2 3 lin\n";
    const std::vector<OpAmpCandidate> c =
        opamp_candidates(deck, "/decks/bench.cir", [](const std::string&) { return std::nullopt; });
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].subckt, "lm");
    EXPECT_EQ(c[0].found, Lines{});
    EXPECT_EQ(c[1].subckt, "opx");
    EXPECT_EQ(c[1].ports, (Lines{"+in", "-in", "v+", "v-", "out"}));
    EXPECT_EQ(c[1].found, (Lines{"+in", "-in", "out"}));
}

}  // namespace
}  // namespace analysis::spice
