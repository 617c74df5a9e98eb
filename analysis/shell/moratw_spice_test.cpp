// "Importar SPICE" in the main window: the deck translated, its netlist
// written beside it, the translation logged, then "Abrir" on the netlist.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "analysis/display/program.h"
#include "analysis/shell/error_window.h"
#include "analysis/shell/main_window.h"
#include "analysis/shell/output_node_dialog.h"
#include "analysis/shell/spice_import_dialog.h"
#include "analysis/shell/startup.h"
#include "analysis/spice/spice_translate.h"
#include "common/dialogseam.h"
#include "common/scratch_dir.h"
#include "common/textfile.h"

namespace moratw {
namespace {

namespace fs = std::filesystem;

class ImportarSPICE : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir = fs::temp_directory_path() / ("moratw-spice-" + test + "-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        app.show();
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    }
    QStringList log() const { return app.Form1->Memo1->toPlainText().split('\n'); }
    void import(const std::string& deck) {
        seam.answer_file(QString::fromStdString(deck));
        app.Form1->ImportarSPICE1Click();
    }
    void analyse(int output) {
        app.Form3->NEnsaida->set_panel_int(output);
        app.Form3->Button1Click();
    }
    Program& program() { return app.program(); }

    suite::RecordingDialogSeam seam;
    suite::ScopedDialogSeam scoped{seam};
    Moratw app;
    fs::path dir;
};

const char* const divider_deck =
    "Divider with named nodes\n"
    "V1 in 0 DC 5 AC 1\n"
    "RTOP1 in out 1k\n"
    "RBOTTOM out gnd 1k\n"
    ".ac dec 10 1 1k\n";

TEST_F(ImportarSPICE, ComesAfterAbrirInTheFileMenu) {
    QStringList captions;
    for (QAction* a : app.Form1->Arquivo1->actions()) captions << a->objectName() + "=" + a->text();
    EXPECT_EQ(captions, QStringList({"Open1=Abrir", "ImportarSPICE1=Importar SPICE",
                                     "Projetarfiltro1=Projetar filtro", "Exit1=Terminar"}));
}

TEST_F(ImportarSPICE, TranslatesWritesLogsAndOpensAsAbrir) {
    const std::string deck = write("divider.cir", divider_deck);
    const std::string netlist = (dir / "divider.net").string();
    import(deck);
    ASSERT_EQ(seam.requests.size(), 1);
    EXPECT_EQ(seam.requests[0].title, "Importar SPICE");
    EXPECT_EQ(seam.requests[0].filter, "Decks SPICE|*.cir;*.sp;*.spi;*.ckt;*.net|Todos|*.*");
    EXPECT_TRUE(seam.requests[0].must_exist);
    const QStringList lines = log();
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0].toStdString(),
              "Deck SPICE " + deck + " traduzido em " + netlist + ": 2 nós, 3 elementos.");
    EXPECT_EQ(lines[1], "Varredura do deck: .ac dec 10 1 1k (1 Hz a 1000 Hz, 30 segmentos, escala log)");
    EXPECT_EQ(lines[2], "Número de nós: 2");
    EXPECT_TRUE(lines.contains("*  2 = out"));
    EXPECT_TRUE(lines.contains("*  RBOTT = rbottom"));
    EXPECT_TRUE(lines.contains("RTOP1:  1.00E+0003 de 1 para 2"));
    EXPECT_EQ(lines[lines.size() - 2], "Circuito lido.");
    EXPECT_EQ(lines.last(), "Escalas ajustadas à varredura do deck.");
    EXPECT_TRUE(suite::file_exists(netlist));
    EXPECT_EQ(program().netlist_file_name, netlist);
    EXPECT_EQ(program().netlist_base_name, (dir / "divider").string());
    EXPECT_TRUE(app.Form3->isVisible());
    EXPECT_EQ(app.Form3->NEnsaida->text(), "1");
    analyse(2);
    EXPECT_EQ(log().last(), "Nó de saída: 2");
    // The deck's sweep: 1 Hz to 1 kHz in 30 segments.
    const analysis::Sweep& sw = program().sweep;
    EXPECT_TRUE(sw.hertz_units);
    EXPECT_TRUE(sw.log_scale);
    EXPECT_EQ(program().circuit.segments, 30);
    EXPECT_NEAR(static_cast<double>(sw.points[0].frequency), 1, 1e-12);
    EXPECT_NEAR(static_cast<double>(sw.points[30].frequency), 1000, 1e-9);
    EXPECT_NEAR(static_cast<double>(sw.points[0].module), -6.0206, 1e-4);
    EXPECT_TRUE(seam.errors.isEmpty());
    // A deck without .ac leaves the scales as they are, as "Abrir" does.
    import(write("plain.cir", "no sweep\nV1 a 0 ac 1\nR1 a b 1\nR2 b 0 1\n"));
    EXPECT_EQ(log().last(), "Circuito lido.");
    EXPECT_TRUE(program().sweep.hertz_units);
    EXPECT_EQ(program().circuit.segments, 400);
}

// A deck whose op-amp is a transistor macro-model: "Amp-ops do deck"
// replaces it by the gain-bandwidth op-amp, and the output is chosen by the
// deck's node name. A buffer after a 1 k / 1 k divider reads -6.02 dB at
// 1 Hz, far below its 1 MHz gain-bandwidth.
TEST_F(ImportarSPICE, AnOpAmpMacroModelIsReplacedAndTheOutputNamedAsInTheDeck) {
    const AmpOpsRunner saved = amp_ops_runner();
    int asked = 0;
    amp_ops_runner() = [&](TFormAmpOps& d) {
        ++asked;
        d.rows[0].gb->setText("1meg");
        QTest::mouseClick(d.Button1, Qt::LeftButton);  // "Traduzir"
        return d.result();
    };
    const std::string deck = write("buffer.cir",
                                   "Buffered divider\n"
                                   ".subckt amp +in -in v+ v- out\nQ1 out +in -in qn\nR1 v+ v- 1\n.ends\n"
                                   "V1 in 0 ac 1\nR1 in a 1k\nR2 a 0 1k\nX1 a vout vcc vee vout amp\n"
                                   "RL vout 0 10k\n.ac dec 10 1 1k\n");
    import(deck);
    amp_ops_runner() = saved;
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(program().netlist_file_name, (dir / "buffer.net").string()) << log().join('\n').toStdString();
    const std::string netlist = suite::read_text(program().netlist_file_name);
    EXPECT_NE(netlist.find("\nA1 3 2 3 6283185.3"), std::string::npos) << netlist;  // -in = out, +in = a
    DeckNodeField* field = deck_node_field(*app.Form3);
    EXPECT_TRUE(field->isVisibleTo(app.Form3));
    field->setText("VOUT");
    ASSERT_TRUE(field->apply());
    const int out = app.Form3->NEnsaida->text().toInt();
    EXPECT_GT(out, 1);
    analyse(out);
    EXPECT_NEAR(static_cast<double>(program().sweep.points[0].module), -6.0206, 1e-3);
    // A netlist of one's own has no deck names.
    seam.answer_file(QString::fromStdString(program().netlist_file_name));
    app.Form1->Open1Click();
    EXPECT_FALSE(field->isVisibleTo(app.Form3));
}

// A translated deck whose pivots fall below the tolerance (gigaohm
// resistors) ends in the fatal error, told where and with the setting of
// "Parâmetros" that solves it.
TEST_F(ImportarSPICE, ASingularDeckToldWhereAndWhichSettingSolvesIt) {
    import(write("giga.cir", "Gigaohm divider\nV1 in 0 ac 1\nR1 in out 1G\nR2 out 0 1G\n.ac dec 10 1 1k\n"));
    analyse(2);
    const QStringList lines = log();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[lines.size() - 2], "Erro: Circuito insolúvel (determinante muito pequeno).");
    const std::string advice = lines.last().toStdString();
    // The divider's two conductances of 1E-9 meet at the output's pivot.
    EXPECT_EQ(
        advice,
        "O sistema é singular a 1 Hz: o menor pivô tem tamanho 2.00E-0009, abaixo da tolerância 1E-7. Se o "
        "circuito tem valores muito grandes ou muito pequenos, uma tolerância menor o resolve: em "
        "\"Parâmetros\" (\"Tolerância para impedâncias e tensões\"), por exemplo 1E-11.");
}

TEST_F(ImportarSPICE, ARefusedDeckIsLoggedAndChangesNothing) {
    const std::string good = write("divider.cir", divider_deck);
    import(good);
    analyse(2);
    const QStringList before = log();
    const std::string deck = write("diode.cir", "rectifier\nV1 in 0 ac 1\nD1 in out dmod\nR1 out 0 1k\n");
    import(deck);
    EXPECT_EQ(log().size(), before.size() + 1);
    EXPECT_EQ(log().last(),
              "* Deck SPICE, linha 3: \"D1 in out dmod\": diodo (D) é não linear e precisa de um ponto de "
              "operação, "
              "que a análise linear não calcula: escreva o seu modelo de pequenos sinais com R, C, G e E");
    EXPECT_FALSE(fs::exists(dir / "diode.net"));
    EXPECT_TRUE(program().circuit.present);
    EXPECT_TRUE(program().sweep.response_valid);
    EXPECT_EQ(program().netlist_file_name, (dir / "divider.net").string());
    EXPECT_FALSE(program().failed);
    EXPECT_TRUE(seam.errors.isEmpty());
    // A deck that is gone by the time it is read.
    import((dir / "gone.cir").string());
    EXPECT_EQ(log().last().toStdString(), "* Arquivo " + (dir / "gone.cir").string() + " inexistente.");
}

TEST_F(ImportarSPICE, AsksBeforeReplacingANetlistItDidNotWrite) {
    const std::string deck = write("divider.cir", divider_deck);
    const std::string own = "2\n* by hand\nV1 1 0 1\nR1 1 2 1\nR2 2 0 1\n";
    const std::string netlist = write("divider.net", own);
    seam.answers.append(suite::Answer::no);
    import(deck);
    ASSERT_EQ(seam.questions.size(), 1);
    EXPECT_EQ(suite::read_file_bytes(netlist), own);
    EXPECT_EQ(app.Form1->Memo1->toPlainText(), "");
    EXPECT_FALSE(program().circuit.present);
    seam.answers.append(suite::Answer::yes);
    import(deck);
    EXPECT_EQ(seam.questions.size(), 2);
    EXPECT_NE(suite::read_file_bytes(netlist), own);
    EXPECT_TRUE(program().circuit.present);
    // Its own translation is replaced without a question.
    import(deck);
    EXPECT_EQ(seam.questions.size(), 2);
    EXPECT_TRUE(program().circuit.present);
}

TEST_F(ImportarSPICE, ANetlistTheReaderRefusesEndsAsAbrirEnds) {
    const std::string deck = write("short.cir", "two sources\nV1 a 0 ac 1\nV2 a 0 ac 2\n");
    import(deck);
    EXPECT_EQ(log().last(), "Erro: Circuito proibido");
    EXPECT_TRUE(program().failed);
    EXPECT_TRUE(app.Form2->isVisible());
    EXPECT_FALSE(program().circuit.present);
}

// "Não" to the question about a netlist it did not write leads to a save
// dialog: the translation is written and opened under the name chosen there
// (".net" added), the netlist by hand stays; a cancelled dialog does nothing.
TEST_F(ImportarSPICE, NaoWritesTheTranslationUnderAnotherName) {
    suite::testing::ScratchDir scratch;
    const std::string deck = scratch.write("divider.cir", divider_deck);
    const std::string own = "2\n* by hand\nV1 1 0 1\nR1 1 2 1\nR2 2 0 1\n";
    const std::string by_hand = scratch.write("divider.net", own);
    import(deck);  // no answers queued: "Não", then the dialog cancelled
    ASSERT_EQ(seam.questions.size(), 1);
    ASSERT_EQ(seam.requests.size(), 2);
    const suite::FileRequest& save = seam.requests[1];
    EXPECT_EQ(save.title, "Salvar tradução como");
    EXPECT_EQ(save.file_name.toStdString(), scratch.path("divider-spice.net"));
    EXPECT_EQ(save.default_ext, "net");
    EXPECT_FALSE(save.must_exist);
    EXPECT_EQ(app.Form1->Memo1->toPlainText(), "");
    EXPECT_FALSE(fs::exists(scratch.path("divider-spice.net")));
    EXPECT_FALSE(program().circuit.present);

    seam.answer_file(QString::fromStdString(deck));
    seam.answer_file(QString::fromStdString(scratch.path("outro")));
    app.Form1->ImportarSPICE1Click();
    const std::string other = scratch.path("outro.net");
    EXPECT_EQ(suite::read_file_bytes(by_hand), own);
    EXPECT_TRUE(analysis::spice::is_translated_netlist(other));
    EXPECT_EQ(program().netlist_file_name, other);
    EXPECT_TRUE(program().circuit.present);
    EXPECT_TRUE(app.Form1->Memo1->toPlainText().contains(QString::fromStdString(other)));
}

// The real question box: a Return answers "Não", its default, so the
// netlist by hand is not replaced.
TEST_F(ImportarSPICE, TheRealQuestionDefaultsToNao) {
    struct RealQuestions : suite::RecordingDialogSeam {
        suite::Answer ask(QWidget* parent, const QString& title, const QString& text, bool cancel) override {
            questions << text;
            return suite::QtDialogSeam().ask(parent, title, text, cancel);
        }
    } real;
    suite::testing::ScratchDir scratch;
    const std::string deck = scratch.write("divider.cir", divider_deck);
    const std::string own = "2\n* by hand\nV1 1 0 1\nR1 1 2 1\nR2 2 0 1\n";
    const std::string by_hand = scratch.write("divider.net", own);
    real.answer_file(QString::fromStdString(deck));
    QString shown;
    bool no_is_default = false;
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [&, timer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        shown = box->text();
        no_is_default = box->defaultButton() == box->button(QMessageBox::No);
        QTest::keyClick(box, Qt::Key_Return);
        timer->deleteLater();
    });
    timer->start(20);
    {
        suite::ScopedDialogSeam scoped_real{real};
        app.Form1->ImportarSPICE1Click();
    }
    suite::set_dialog_seam(&seam);
    EXPECT_EQ(shown.toStdString(),
              "O arquivo " + by_hand + " não foi traduzido de um deck SPICE. Substituí-lo?");
    EXPECT_TRUE(no_is_default);
    EXPECT_EQ(suite::read_file_bytes(by_hand), own);
    ASSERT_EQ(real.requests.size(), 2);  // then the save dialog, cancelled
    EXPECT_FALSE(program().circuit.present);
}

}  // namespace
}  // namespace moratw
