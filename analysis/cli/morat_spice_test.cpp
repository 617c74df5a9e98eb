// morat --spice: the netlist written beside the deck (or where asked, and
// never over a netlist that the translator did not write), the deck's
// sweep and node names, refused and missing decks, and the other options
// working as for a netlist.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "analysis/cli/morat_cli.h"
#include "analysis/cli/morat_session.h"
#include "analysis/spice/spice_translate.h"
#include "common/textfile.h"

namespace analysis {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

struct Outcome {
    int status;
    std::string out, err;
};

class MoratSpice : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir = fs::path(::testing::TempDir()) / ("morat-spice-" + test + "-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::string& text) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    static Outcome run(const Args& args) {
        std::ostringstream out, err;
        const int status = morat_main(args, out, err);
        return {status, out.str(), err.str()};
    }
    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> out;
        std::istringstream in(text);
        for (std::string l; std::getline(in, l);) out.push_back(l);
        return out;
    }
    static bool has_line(const std::string& text, const std::string& line) {
        const auto all = lines(text);
        return std::find(all.begin(), all.end(), line) != all.end();
    }

    fs::path dir;
};

const std::string rc_deck =
    "RC low-pass, 1 kHz\n"
    "V1 in 0 dc 0 ac 1\n"
    "RLOAD1 in out 1k\n"
    "C1 out 0 {1/(2*3.14159265358979323846*1k*1k)}\n"
    ".ac dec 10 10 100k\n"
    ".end\n";

TEST_F(MoratSpice, TranslatesBesideTheDeckAndAnalysesTheNetlist) {
    const std::string deck = write("rc.cir", rc_deck);
    const Outcome r = run({"--spice", deck, "--output", "out", "--tab", path("rc.tab")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto log = lines(r.out);
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0], "Deck SPICE " + deck + " traduzido em " + path("rc.net") + ": 2 nós, 3 elementos.");
    EXPECT_EQ(log[1], "Varredura do deck: .ac dec 10 10 100k (10 Hz a 100000 Hz, 40 segmentos, escala log)");
    EXPECT_EQ(log[2], "Número de nós: 2");
    // The reader echoes the map of the netlist's comment lines.
    EXPECT_TRUE(has_line(r.out, "*  2 = out"));
    EXPECT_TRUE(has_line(r.out, "*  RLOAD = rload1"));
    EXPECT_TRUE(has_line(r.out, "RLOAD:  1.00E+0003 de 1 para 2"));
    EXPECT_TRUE(has_line(r.out, "--output out: nó 2 do netlist."));
    EXPECT_TRUE(has_line(r.out, "Nó de saída: 2"));
    // The netlist beside the deck, CR LF, read as written.
    const auto netlist = suite::read_text_lines(path("rc.net"));
    ASSERT_GE(netlist.size(), 3u);
    EXPECT_EQ(netlist[0], "2");
    EXPECT_EQ(netlist[1], "* Traduzido do deck SPICE rc.cir");
    EXPECT_EQ(netlist.back(), "C1 2 0 1.5915494309189533577e-07");
    EXPECT_NE(suite::read_file_bytes(path("rc.net")).find("\r\n"), std::string::npos);
    // The sweep of the .ac line: 41 points from 10 Hz to 100 kHz.
    const auto table = suite::read_text_lines(path("rc.tab"));
    ASSERT_GE(table.size(), 42u);
    EXPECT_EQ(table[0].substr(0, 30), "# Resp. em freq. (Hz):Saida 2;");
    EXPECT_EQ(table[1].substr(0, 14), "  10.000000000");
    EXPECT_EQ(table[41].substr(0, 16), "100000.000000000");
}

TEST_F(MoratSpice, ANetlistBesideTheDeckIsReplacedOnlyWhenTheTranslatorWroteIt) {
    const std::string deck = write("rc.cir", rc_deck);
    const std::string own = "2\n* written by hand\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n";
    const std::string beside = write("rc.net", own);
    Outcome r = run({"--spice", deck});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "morat: " + beside +
                         " is there and was not translated from a SPICE deck; name another netlist with "
                         "--netlist-out\n");
    EXPECT_EQ(suite::read_file_bytes(beside), own);
    // Named with --netlist-out, it is replaced: the user asked for it.
    r = run({"--spice", deck, "--netlist-out", beside});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(spice::is_translated_netlist(beside));
    // A netlist the translator wrote is written again.
    std::ofstream(path("rc.cir"), std::ios::app) << "\n";
    r = run({"--spice", deck});
    EXPECT_EQ(r.status, 0) << r.err;
    // --netlist-out is completed as a netlist name is; it may not be the deck.
    r = run({"--spice", deck, "--netlist-out", path("other")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(spice::is_translated_netlist(path("other.net")));
    r = run({"--spice", deck, "--netlist-out", deck});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "morat: the netlist " + deck +
                         " would replace the deck itself; name another with --netlist-out\n");
    EXPECT_EQ(suite::read_text(deck), rc_deck + "\n");
}

TEST_F(MoratSpice, OptionsAndTheNamesOfTheNetlist) {
    struct Case {
        Args args;
        std::string reason;
    };
    const Case errors[] = {
        {{"a.net", "--spice", "b.cir"}, "a netlist and --spice cannot be given together"},
        {{"a.net", "--netlist-out", "b.net"}, "--netlist-out needs --spice"},
        {{"a.net", "--output", "out"}, "invalid value for --output: out"},
        {{"a.net", "--listed", "in"}, "invalid value for --listed: in"},
        {{"--spice", ""}, "invalid value for --spice: "},
        {{"--spice", "a.cir", "--netlist-out", ""}, "invalid value for --netlist-out: "},
        {{"--spice", "a.cir", "--output", ""}, "invalid value for --output: "},
        {{"--netlist-out", "a.net"}, "no netlist given"},
    };
    for (const Case& k : errors) {
        MoratOptions o;
        EXPECT_EQ(parse_morat_options(k.args, o), k.reason) << k.args[0];
    }
    const std::pair<std::string, std::string> names[] = {
        {"filter.cir", "filter.net"},
        {"dir/filter.sp", "dir/filter.net"},
        {"v1.2/filter", "v1.2/filter.net"},
        {"deck.NET", "deck.spice.net"},
        {"a.b.cir", "a.b.net"},
        {"/home/ana/.hidden", "/home/ana/.hidden.net"},
    };
    for (const auto& [deck, netlist] : names) {
        EXPECT_EQ(spice::spice_netlist_name(deck), netlist);
        MoratOptions o;
        ASSERT_EQ(parse_morat_options({"--spice", deck, "--output", "out"}, o), "");
        EXPECT_EQ(o.netlist, netlist);
        EXPECT_EQ(*o.output_text, "out");
    }
    MoratOptions o;
    ASSERT_EQ(parse_morat_options({"--spice=a.cir", "--netlist-out=x/y"}, o), "");
    EXPECT_EQ(o.netlist, "x/y.net");
    EXPECT_NE(morat_usage().find("  --spice DECK "), std::string::npos);
}

TEST_F(MoratSpice, MissingAndRefusedDecksExitWithOne) {
    Outcome r = run({"--spice", path("none.cir")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "* Arquivo " + path("none.cir") + " inexistente.\n");
    EXPECT_FALSE(fs::exists(path("none.net")));
    const std::string deck = write("diode.cir", "rectifier\nV1 in 0 ac 1\nD1 in out dmod\nR1 out 0 1k\n");
    r = run({"--spice", deck});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(
        r.err,
        "Deck SPICE, linha 3: \"D1 in out dmod\": diodo (D) é não linear e precisa de um ponto de operação, "
        "que a análise linear não calcula: escreva o seu modelo de pequenos sinais com R, C, G e E\n");
    EXPECT_FALSE(fs::exists(path("diode.net")));
    // A deck the reader then refuses: the netlist stays for the user to see.
    const std::string shorted = write("short.cir", "two sources\nV1 a 0 ac 1\nV2 a 0 ac 2\n");
    r = run({"--spice", shorted});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Erro: Circuito proibido\n");
    EXPECT_TRUE(fs::exists(path("short.net")));
}

TEST_F(MoratSpice, OutputAndListedNodesByTheDecksNames) {
    // Deck node "3" comes first: it is netlist node 1.
    const std::string deck = write("num.cir", "numbers\nV1 3 0 ac 1\nR1 3 2 1k\nR2 2 0 1k\n.end\n");
    Outcome r = run({"--spice", deck, "--output", "3", "--listed", "2"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has_line(r.out, "--output 3: nó 1 do netlist."));
    EXPECT_TRUE(has_line(r.out, "--listed 2: nó 2 do netlist."));
    EXPECT_TRUE(has_line(r.out, "Nó de saída: 1"));
    const std::string named = write("named.cir", "names\nV1 in 0 ac 1\nR1 in out 1k\nR2 out 0 1k\n");
    MoratSession session;
    MoratOptions o;
    ASSERT_EQ(parse_morat_options({"--spice", named, "--output", "OUT", "--listed", "in"}, o), "");
    std::ostringstream out, err;
    ASSERT_EQ(analyse_with_morat(o, session, out, err), 0) << err.str();
    EXPECT_EQ(session.circuit->output_node, 2);
    EXPECT_NEAR(static_cast<double>(session.sweep->points[0].module), -6.0206, 1e-4);  // a divider by 2
    // A number that is no node of the deck is a netlist node.
    r = run({"--spice", named, "--output", "1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(has_line(r.out, "Nó de saída: 1"));
    EXPECT_TRUE(has_line(r.out, "O deck não tem linha .ac: a varredura é a das opções."));
    r = run({"--spice", named, "--output", "nowhere"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "morat: the deck has no node named nowhere");
    EXPECT_NE(r.err.find("Usage: morat"), std::string::npos);
}

TEST_F(MoratSpice, TheDecksSweepUnlessTheOptionsGiveTheBand) {
    const std::string deck =
        write("s.cir", "sweep\nV1 in 0 ac 1\nR1 in out 1k\nC1 out 0 1u\n.ac dec 5 1 10\n");
    struct Case {
        Args extra;
        bool log, hz;
        long double fmin, fmax;
        int segments;
        std::string line;  // a line the log must hold
    };
    const Case cases[] = {
        {{},
         true,
         true,
         1,
         10,
         10,
         "Varredura do deck: .ac dec 5 1 10 pede 5 segmentos; ajustado para 10 (número par, de 2 a 1000)."},
        {{"--segments", "20"},
         true,
         true,
         1,
         10,
         20,
         "Varredura do deck: .ac dec 5 1 10 (1 Hz a 10 Hz, 10 segmentos, escala log)"},
        {{"--linear"}, false, true, 1, 10, 10, "Nó de saída: 2"},
        {{"--fmin", "2", "--fmax", "4"},
         true,
         false,
         2,
         4,
         400,
         "Varredura do deck substituída pelas opções --fmin e --fmax."},
        {{"--fmax", "4", "--hz"},
         true,
         true,
         0.2L,
         4,
         400,
         "Varredura do deck substituída pelas opções --fmin e --fmax."},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.extra.empty() ? "deck" : k.extra[0]);
        Args args = {"--spice", deck, "--output", "out"};
        args.insert(args.end(), k.extra.begin(), k.extra.end());
        MoratOptions o;
        ASSERT_EQ(parse_morat_options(args, o), "");
        MoratSession session;
        std::ostringstream out, err;
        ASSERT_EQ(analyse_with_morat(o, session, out, err), 0) << err.str();
        const Sweep& sw = *session.sweep;
        EXPECT_EQ(sw.log_scale, k.log);
        EXPECT_EQ(sw.hertz_units, k.hz);
        EXPECT_EQ(session.circuit->segments, k.segments);
        EXPECT_NEAR(static_cast<double>(sw.points[0].frequency), static_cast<double>(k.fmin), 1e-12);
        EXPECT_NEAR(static_cast<double>(sw.points[k.segments].frequency), static_cast<double>(k.fmax), 1e-9);
        EXPECT_TRUE(has_line(out.str(), k.line)) << out.str();
    }
}

TEST_F(MoratSpice, PoleAndZeroOptionsWorkAsForANetlist) {
    const std::string deck = write("rc.cir", rc_deck);
    Outcome r = run({"--spice", deck, "--output", "out", "--find-poles", path("rc.r")});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(fs::exists(path("rc.r")));
    r = run({"--spice", deck, "--output", "out", "--poles", path("rc.r"), "--deviations", path("rc.tsp")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(path("rc.tsp")));
    // One real pole at -1/RC = -2 pi 1 kHz, in the memo lines.
    EXPECT_TRUE(has_line(r.out, "Polo 1 -6283.185307180    0.000000000j")) << r.out;
}

// Through the program itself, and its picture helper, which runs the same
// translation before it draws.
TEST_F(MoratSpice, TheProgramAndItsPictureHelper) {
    const std::string deck = write("rc.cir", rc_deck);
    const std::string quiet = " > /dev/null 2>&1";
    const auto status = [](const std::string& command) {
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    const std::string morat = MORAT_PATH;
    EXPECT_EQ(status(morat + " --spice " + deck + " --output out" + quiet), 0);
    EXPECT_EQ(status(morat + " --spice " + deck + " --output out --plot " + path("rc.png") + quiet), 0);
    EXPECT_GT(fs::file_size(path("rc.png")), 1000u);
    EXPECT_EQ(status(morat + " --spice " + path("none.cir") + quiet), 1);
    EXPECT_EQ(status(morat + " --spice " + deck + " --output nowhere" + quiet), 2);
}

}  // namespace
}  // namespace analysis

namespace analysis {
namespace {

// A singular system says where and how small its pivot was, and which
// option sets the tolerance: 1 Tohm into 1 pF leaves the pivot
// G + wC = 1e-12 (1 + 2 pi) at 1 Hz, below 1e-7; a tolerance two decades
// under it solves the same deck. A floating node has a null pivot.
TEST_F(MoratSpice, ASingularSystemSaysWhereAndHowSmallItsPivotWas) {
    const std::string deck =
        write("tiny.cir", "tiny conductances\nV1 in 0 ac 1\nR1 in out 1e12\nC1 out 0 1p\n.ac dec 10 1 100\n");
    Outcome r = run({"--spice", deck, "--output", "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        r.err,
        "Erro: Circuito insolúvel (determinante muito pequeno).\n"
        "O sistema é singular a 1 Hz: o menor pivô tem tamanho 7.28E-0012, abaixo da tolerância 1E-7. Se o "
        "circuito tem valores muito grandes ou muito pequenos, uma tolerância menor o resolve: com "
        "--tol-pivot 1E-14.\n");
    r = run({"--spice", deck, "--output", "out", "--tol-pivot", "1E-14", "--tab", path("tiny.tab")});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string floating =
        write("float.cir", "floating capacitor\nV1 in 0 ac 1\nR1 in 0 1k\nC1 a b 1n\n.ac dec 10 10 1k\n");
    r = run({"--spice", floating, "--output", "in"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        r.err,
        "Erro: Circuito insolúvel (determinante muito pequeno).\n"
        "O sistema é singular a 10 Hz: um pivô é nulo, o circuito é singular de fato (um nó sem caminho "
        "à terra, um laço de fontes de tensão, um corte de fontes de corrente) e nenhuma tolerância o "
        "resolve.\n");
}

// Where the deck's folder cannot take the netlist, it goes to the current
// folder, and the log says so; --netlist-out is never moved.
TEST_F(MoratSpice, TheNetlistGoesToTheCurrentFolderWhenTheDecksCannotTakeIt) {
    fs::create_directories(dir / "share");
    fs::create_directories(dir / "work");
    const std::string deck = write("share/rc.cir", rc_deck);
    fs::create_directories(dir / "share" / "rc.net");  // in the way of the netlist, even for root
    const fs::path before = fs::current_path();
    fs::current_path(dir / "work");
    Outcome r = run({"--spice", deck, "--output", "out"});
    const Outcome named = run({"--spice", deck, "--output", "out", "--netlist-out", path("share/rc.net")});
    fs::remove(dir / "share" / "rc.net");
    fs::permissions(dir / "share", fs::perms::owner_read | fs::perms::owner_exec);
    const Outcome read_only = run({"--spice", deck, "--output", "out"});
    fs::permissions(dir / "share", fs::perms::owner_all);
    fs::current_path(before);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto log = lines(r.out);
    EXPECT_EQ(log[0], "O netlist não pode ser escrito ao lado do deck (Não foi possível gravar o arquivo \"" +
                          path("share/rc.net") + "\": é um diretório): vai para a pasta atual, rc.net.");
    EXPECT_EQ(log[1], "Deck SPICE " + deck + " traduzido em rc.net: 2 nós, 3 elementos.");
    EXPECT_TRUE(spice::is_translated_netlist(path("work/rc.net")));
    EXPECT_EQ(named.status, 1);
    if (::geteuid() != 0) {  // a read-only folder stops all but root
        EXPECT_EQ(read_only.status, 0) << read_only.err;
        EXPECT_NE(read_only.out.find("vai para a pasta atual, rc.net."), std::string::npos);
    }
}

}  // namespace
}  // namespace analysis

namespace analysis {
namespace {

// --opamp SUBCKT=GB[,RO]: the refusal of a macro-model names the option,
// the option replaces it, and its faults are usage errors; --opamp
// without "=" stays the design's.
TEST_F(MoratSpice, OpAmpSubcircuitsReplacedByTheOption) {
    const std::string deck = write("bench.cir",
                                   "bench\n"
                                   ".subckt amp inp inn vcc vee out\nQ1 c inp e qn\nQ2 c inn e qn\n"
                                   "G1 out 0 c 0 1\nR1 out 0 1\n.ends\n"
                                   "V1 in 0 ac 1\nR1 in n 1k\nR2 n out 1k\nX1 0 n vp vn out amp\n"
                                   ".ac dec 10 1k 10meg\n");
    Outcome r = run({"--spice", deck, "--output", "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        r.err,
        "Deck SPICE, linha 11: \"X1 0 n vp vn out amp\": o subcircuito amp tem elementos não lineares (Q) "
        "que a análise linear não representa; se é um amp-op, --opamp amp=GB[,RO] o troca pelo amp-op A do "
        "netlist (GB em Hz, Ro em ohms)\n");
    r = run({"--spice", deck, "--output", "out", "--opamp", "AMP=1meg,1e-3", "--tab", path("bench.tab")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has_line(r.out,
                         "*x1: subcircuito amp trocado pelo amp-op A (GB 1000000 Hz, Ro 0.001 ohms): "
                         "entradas inp (+) e inn (-), saída out; vcc, vee de fora (alimentação ideal)"))
        << r.out;
    // The inverting amplifier of gain -1 with GB/s: T = -1 / (1 + 2 s / GB), |T| = 1/sqrt(2) at GB/2.
    MoratOptions options;
    ASSERT_EQ(parse_morat_options({"--spice", deck, "--output", "out", "--opamp", "amp=1meg,1e-3",
                                   "--netlist-out", path("b.net")},
                                  options),
              "");
    std::ostringstream log, err;
    MoratSession session;
    ASSERT_EQ(analyse_with_morat(options, session, log, err), 0) << err.str();
    for (int k = 0; k <= session.circuit->segments; ++k) {
        const PointRecord& p = session.sweep->points[k];
        const long double x = 2 * p.frequency / 1e6L;  // 2 f / GB
        SCOPED_TRACE(static_cast<double>(p.frequency));
        // With Ro 1 mohm the output barely loads: within 1e-5 of the closed form.
        EXPECT_NEAR(static_cast<double>(p.t_re), static_cast<double>(-1 / (1 + x * x)), 1e-5);
        EXPECT_NEAR(static_cast<double>(p.t_im), static_cast<double>(x / (1 + x * x)), 1e-5);
    }
    r = run({"--spice", deck, "--opamp", "amp=1"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--opamp amp=1: the gain-bandwidth product must be a number of hertz above 1"),
              std::string::npos);
    r = run({path("x.net"), "--opamp", "amp=1meg"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--opamp SUBCKT=GB needs --spice"), std::string::npos);
}

}  // namespace
}  // namespace analysis
