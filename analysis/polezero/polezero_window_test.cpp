// The window "Sensibilidades de pólos e zeros" driven by clicks, with the
// file dialogs answered through the dialog seam.
#include "analysis/polezero/polezero_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/display/program.h"
#include "analysis/polezero/polezero_install.h"
#include "analysis/shell/main_window.h"
#include "analysis/shell/startup.h"
#include "common/textfile.h"

namespace moratw {
namespace {

namespace fs = std::filesystem;

// Series loop V1-R1-L1-C1: poles of s² + s + 4 (R = 1, L = 1, C = 0.25).
const char* const loop = "3\nV1 1 0 1\nR1 1 2 1\nL1 2 3 1\nC1 3 0 0.25\n";
const char* const loop_poles = "2\n-0.5 1.9364916731037084426\n-0.5 -1.9364916731037084426\n";

class PoleZeroWindow : public ::testing::Test {
protected:
    std::unique_ptr<Program> program = std::make_unique<Program>();
    suite::RecordingDialogSeam seam;
    suite::ScopedDialogSeam scoped{seam};
    std::unique_ptr<TForm10> form;
    std::vector<std::string> fatal;
    fs::path dir = fs::temp_directory_path() / ("polezero_window_test_" + std::to_string(::getpid()));

    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override {
        form.reset();
        fs::remove_all(dir);
    }
    void open(const std::string& netlist, int output) {
        program->log = [](const std::string&) {};
        program->fatal_error = [this](const std::string& m) { fatal.push_back(m); };
        suite::TextScanner in(netlist);
        analysis::read_netlist(program->circuit, in, program->log);
        ASSERT_TRUE(analysis::start_analysis(program->circuit, program->engine, program->sweep,
                                             program->settings, output, output, program->log));
        program->netlist_base_name = (dir / "net").string();
        form = std::make_unique<TForm10>(*program);
        form->show();
    }
    QString write(const std::string& name, const std::string& text) {
        const std::string path = (dir / name).string();
        suite::write_text_file(path, suite::split_lines(text));
        return QString::fromStdString(path);
    }
    QStringList memo() const { return form->Memo1->toPlainText().split('\n'); }
    void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
};

TEST_F(PoleZeroWindow, ControlsCarryTheirTextsAndTheDialogsTheirFilters) {
    open(loop, 3);
    EXPECT_EQ(form->windowTitle(), "Sensibilidades de pólos e zeros");
    EXPECT_EQ(form->Label1->text(), "Elemento observador para pólos: ");
    EXPECT_EQ(form->Button1->text(), "Ler pólos ou zeros e calcular");
    EXPECT_EQ(form->Button2->text(), "<");
    EXPECT_EQ(form->Button3->text(), ">");
    EXPECT_EQ(form->Button4->text(), "Salvar desvios calculados");
    EXPECT_EQ(form->RGspz->title(), "Sensibilidades de:");
    EXPECT_EQ(form->RGspzPolos->text(), "Pólos");
    EXPECT_EQ(form->RGspzZeros->text(), "Zeros");
    EXPECT_EQ(form->RGspzItemIndex(), 0);
    EXPECT_TRUE(form->Eobs->isReadOnly());
    EXPECT_EQ(form->OpenDialog1.filter, "pólos|*.r|zeros|*.z*|todos|*.*");
    EXPECT_EQ(form->SaveDialog1.filter,
              "Tabela de sens. de pólos|*.tsp|Tabelas de sens. de zeros|*.tsz|Todos|*.*");
    EXPECT_GT(form->Memo1->x(), form->Button1->x() + form->Button1->width() - 1);  // memo on the right
}

TEST_F(PoleZeroWindow, ObserverButtonsStepOverSourcesAndStopAtTheEnds) {
    open(loop, 3);
    EXPECT_EQ(form->Eobs->text(), "C1");  // "Analisar" made the last element the observer
    click(form->Button3);
    EXPECT_EQ(form->Eobs->text(), "C1");
    click(form->Button2);
    EXPECT_EQ(form->Eobs->text(), "L1");
    click(form->Button2);
    click(form->Button2);
    EXPECT_EQ(form->Eobs->text(), "R1");  // V1 cannot observe
    EXPECT_EQ(program->engine.observer_element, 2);
    click(form->Button3);
    EXPECT_EQ(program->engine.observer_element, 3);
}

TEST_F(PoleZeroWindow, ARunAsksForTheFileOnceAndThenReusesTheSensitivities) {
    open(loop, 3);
    seam.answer_file(write("loop.r", loop_poles));
    click(form->Button1);
    ASSERT_EQ(seam.requests.size(), 1);
    EXPECT_EQ(seam.requests[0].file_name, QString::fromStdString((dir / "net").string()) + ".r");
    EXPECT_EQ(seam.requests[0].filter_index, 1);
    EXPECT_EQ(memo().first(), "Polos no arquivo: ");
    EXPECT_EQ(memo().filter("(observador)").size(), 2);
    EXPECT_EQ(memo().filter("S'(s,C1)").filter("(observador)").size(), 2);
    EXPECT_TRUE(program->sweep.pz_valid);
    EXPECT_FALSE(program->sweep.response_valid);
    EXPECT_EQ(form->pole_zero_set().entry_count, 2);

    click(form->Button1);
    EXPECT_EQ(seam.requests.size(), 1);
    EXPECT_EQ(memo().first(), "Calculando desvios...");

    // Another observer reads the file again.
    seam.answer_file(write("loop.r", loop_poles));
    click(form->Button2);
    click(form->Button1);
    EXPECT_EQ(seam.requests.size(), 2);
    EXPECT_EQ(memo().filter("S'(s,L1)").filter("(observador)").size(), 2);
}

TEST_F(PoleZeroWindow, ZerosModeProposesTheZeroFileOfTheOutputNode) {
    open(loop, 3);
    seam.answer_file(write("loop.r", loop_poles));
    click(form->Button1);
    ASSERT_TRUE(program->sweep.pz_valid);
    QTest::mouseClick(form->RGspzZeros, Qt::LeftButton, {}, QPoint(8, form->RGspzZeros->height() / 2));
    EXPECT_EQ(form->RGspzItemIndex(), 1);
    EXPECT_FALSE(program->sweep.pz_valid);
    click(form->Button1);  // no answer queued: cancelled
    ASSERT_EQ(seam.requests.size(), 2);
    EXPECT_EQ(seam.requests[1].file_name, QString::fromStdString((dir / "net").string()) + ".z3");
    EXPECT_EQ(seam.requests[1].filter_index, 2);
    EXPECT_EQ(form->Memo1->toPlainText(), "");
    EXPECT_FALSE(program->sweep.pz_valid);
}

TEST_F(PoleZeroWindow, SavingRunsTheComputationFirstAndConfirmsInTheMemo) {
    open(loop, 3);
    seam.answer_file(write("loop.r", loop_poles));
    const QString table = QString::fromStdString((dir / "loop.tsp").string());
    seam.answer_file(table);
    click(form->Button4);
    ASSERT_EQ(seam.requests.size(), 2);
    EXPECT_EQ(seam.requests[1].file_name, QString::fromStdString((dir / "net").string()) + ".tsp");
    EXPECT_EQ(seam.requests[1].filter_index, 1);
    EXPECT_EQ(memo().first(), "Polos no arquivo: ");
    EXPECT_EQ(memo().last(), "Desvios salvos no arquivo " + table);
    const auto lines = suite::read_text_lines(table.toStdString());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Desvios estat. dos Polos; Obs: C1 (Re, Im, VRe, VIm, Ra, Rb, Ang)");

    // With the set complete the save asks for the table only, and a
    // cancelled dialog saves nothing.
    click(form->Button4);
    EXPECT_EQ(seam.requests.size(), 3);
    EXPECT_EQ(memo().last(), "Desvios salvos no arquivo " + table);
}

TEST_F(PoleZeroWindow, ABadNumberGoesToTheErrorBoxAndAFatalErrorToTheRoutine) {
    open("3\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\nRX 2 3 1\n", 2);
    seam.answer_file(write("bad.r", "1\n-1 um\n"));
    click(form->Button1);
    ASSERT_EQ(seam.errors.size(), 1);
    EXPECT_TRUE(seam.errors[0].contains("bad.r"));
    EXPECT_FALSE(program->sweep.pz_valid);
    EXPECT_FALSE(program->failed);
    // RX is the observer: without it node 3 floats. The entry is reported
    // and the run, and the program, go on.
    seam.answer_file(write("net.r", "2\n-1 0\n-1 0\n"));
    click(form->Button1);
    EXPECT_TRUE(fatal.empty());
    EXPECT_FALSE(program->failed);
    EXPECT_TRUE(program->sweep.pz_valid);
    EXPECT_EQ(memo().filter("* O elemento observador RX não vê este polo: sistema singular.").size(), 2);
    EXPECT_EQ(memo().filter("  Polo cancelado ou incorreto.").size(), 2);
    // The automatic observer would compute the pole once: the circuit has it once.
    EXPECT_TRUE(
        memo().contains("* 1 polo não visto por RX; o observador automático escolhe um elemento que "
                        "vê cada polo."));
    EXPECT_EQ(memo().filter("Não calculáveis.").size(), 2);
}

TEST_F(PoleZeroWindow, CalcularPolosEZerosWritesTheFileBesideTheNetlistAndRunsOnIt) {
    open(loop, 2);
    EXPECT_EQ(form->Button6->text(), "Calcular pólos e zeros");
    click(form->Button6);
    EXPECT_TRUE(seam.requests.empty());  // no dialog
    const QString stem = QString::fromStdString((dir / "net").string());
    QStringList lines = memo();
    ASSERT_GE(lines.size(), 8);
    EXPECT_EQ(lines[0], "Calculando pólos...");
    EXPECT_EQ(lines[1], "Escala de frequência:    2.000000000 rad/s");
    EXPECT_EQ(lines[2], "Pólos encontrados: 2");
    EXPECT_EQ(lines[3], "Pólo 1   -0.500000000    1.936491673j");
    EXPECT_EQ(lines[5], "Pólos salvos no arquivo " + stem + ".r");
    EXPECT_EQ(lines[6], "Polos no arquivo: ");
    EXPECT_TRUE(program->sweep.pz_valid);
    ASSERT_EQ(form->pole_zero_set().entry_count, 2);
    EXPECT_TRUE(form->pole_zero_set().entries[1].valid && form->pole_zero_set().entries[2].valid);
    EXPECT_EQ(suite::read_text_lines((stem + ".r").toStdString()).size(), 3u);

    // Zeros at the output node 2: the L1 C1 branch, ±2j.
    QTest::mouseClick(form->RGspzZeros, Qt::LeftButton, {}, QPoint(8, form->RGspzZeros->height() / 2));
    click(form->Button6);
    EXPECT_TRUE(seam.requests.empty());
    lines = memo();
    EXPECT_EQ(lines[0], "Calculando zeros...");
    EXPECT_EQ(lines[1], "Nó de saída: 2");
    EXPECT_TRUE(lines.contains("Zeros salvos no arquivo " + stem + ".z2"));
    EXPECT_TRUE(lines.contains("Zero 1    0.000000000    2.000000000j"));
    ASSERT_EQ(form->pole_zero_set().entry_count, 2);
    EXPECT_FALSE(form->pole_zero_set().poles);
    EXPECT_TRUE(form->pole_zero_set().entries[1].valid && form->pole_zero_set().entries[2].valid);
}

TEST_F(PoleZeroWindow, CalcularPolosEZerosAsksBeforeReplacingAFile) {
    open(loop, 2);
    const std::string file = write("net.r", "1\n-7 0\n").toStdString();
    form->Memo1->setPlainText("listing kept");
    seam.answers.append(suite::Answer::no);
    click(form->Button6);
    ASSERT_EQ(seam.questions.size(), 1);
    EXPECT_TRUE(seam.questions[0].contains(QString::fromStdString(file) + " já existe"));
    EXPECT_EQ(suite::read_text_lines(file), (std::vector<std::string>{"1", "-7 0"}));
    EXPECT_EQ(memo(), QStringList{"listing kept"});
    EXPECT_FALSE(program->sweep.pz_valid);

    seam.answers.append(suite::Answer::yes);
    click(form->Button6);
    EXPECT_EQ(suite::read_text_lines(file).size(), 3u);
    EXPECT_TRUE(program->sweep.pz_valid);
}

TEST_F(PoleZeroWindow, CalcularPolosEZerosTakesAnObserverThatSeesEveryPole) {
    // The last element, RX, does not see the pole: without it node 3 floats.
    open("3\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\nRX 2 3 1\n", 2);
    EXPECT_EQ(form->Eobs->text(), "RX");
    click(form->Button6);
    EXPECT_TRUE(fatal.empty());
    EXPECT_TRUE(memo().contains("Elemento observador: R1"));
    EXPECT_TRUE(form->CBauto->isChecked());
    EXPECT_EQ(form->Eobs->text(), "auto");
    ASSERT_EQ(form->pole_zero_set().entry_count, 1);
    EXPECT_TRUE(form->pole_zero_set().entries[1].valid);
    EXPECT_EQ(memo().filter("S'(s,R1)").filter("(observador)").size(), 1);
}

// Two buffered first-order sections: no one element sees both poles.
const char* const buffered = "4\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\nO1 3 2 3\nR2 3 4 1\nC2 4 0 0.5\n";

TEST_F(PoleZeroWindow, TheAutomaticObserverComputesEveryPoleOfACascade) {
    open(buffered, 4);
    EXPECT_FALSE(form->CBauto->isChecked());
    EXPECT_EQ(form->CBauto->text(), "Observador automático");
    click(form->CBauto);
    EXPECT_EQ(form->Eobs->text(), "auto");
    seam.answer_file(write("two.r", "2\n-1 0\n-2 0\n"));
    click(form->Button1);
    EXPECT_TRUE(fatal.empty());
    EXPECT_TRUE(memo().contains("Elemento observador: R1"));
    EXPECT_TRUE(memo().contains("Elemento observador: C2"));
    EXPECT_TRUE(form->pole_zero_set().entries[1].valid);
    EXPECT_TRUE(form->pole_zero_set().entries[2].valid);
    EXPECT_FALSE(memo().contains("Não calculáveis."));
    // The set is complete: a second run recomputes without asking.
    click(form->Button1);
    EXPECT_EQ(seam.requests.size(), 1);
    // An observer chosen by hand leaves the automatic one, and asks again.
    click(form->Button2);
    EXPECT_FALSE(form->CBauto->isChecked());
    EXPECT_EQ(form->Eobs->text(), "R2");
    seam.answer_file(write("two.r", "2\n-1 0\n-2 0\n"));
    click(form->Button1);
    EXPECT_EQ(seam.requests.size(), 2);
    EXPECT_TRUE(memo().contains("* O elemento observador R2 não vê este polo: sistema singular."));
    EXPECT_FALSE(form->pole_zero_set().entries[1].valid);  // the first section's pole: reported
    EXPECT_TRUE(form->pole_zero_set().entries[2].valid);   // its own section's: computed
    EXPECT_TRUE(fatal.empty());
}

TEST_F(PoleZeroWindow, CalcularPolosEZerosGivesEveryPoleOfACascadeItsDeviations) {
    open(buffered, 4);
    click(form->Button6);
    EXPECT_TRUE(fatal.empty());
    EXPECT_FALSE(memo().contains("* Nenhum elemento observador vê todos os pólos."));
    ASSERT_EQ(form->pole_zero_set().entry_count, 2);
    EXPECT_TRUE(form->pole_zero_set().entries[1].valid);
    EXPECT_TRUE(form->pole_zero_set().entries[2].valid);
    EXPECT_EQ(memo().filter("Desvio Real:").size(), 2);
}

TEST(PoleZeroWindowInstall, TheMenuCommandShowsTheWindow) {
    Moratw program;
    TForm10* form = install_pole_zero_window(program);
    EXPECT_EQ(install_pole_zero_window(program), form);
    EXPECT_EQ(program.Form10, form);
    EXPECT_EQ(program.Form1->Form10, form);
    EXPECT_EQ(program.Form1->Sensibilidadesdeplosezeros1->text(), "Sensibilidades de polos e zeros");
    EXPECT_FALSE(form->isVisible());
    program.Form1->Sensibilidadesdeplosezeros1Click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->Eobs->text(), "0");  // no analysis yet
}

}  // namespace
}  // namespace moratw
