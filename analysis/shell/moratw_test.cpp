#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "analysis/display/noise_window.h"
#include "analysis/display/program.h"
#include "analysis/display/response_window.h"
#include "analysis/display/scales_dialog.h"
#include "analysis/display/sensitivity_window.h"
#include "analysis/display/tolerance_window.h"
#include "analysis/shell/error_window.h"
#include "analysis/shell/main_window.h"
#include "analysis/shell/output_node_dialog.h"
#include "analysis/shell/settings_dialogs.h"
#include "analysis/shell/startup.h"
#include "common/dialogseam.h"
#include "common/scratch_dir.h"
#include "common/textfile.h"

namespace moratw {
namespace {

namespace fs = std::filesystem;

// The whole program with its windows, dialogs answered through the seam,
// and netlists written into a fresh folder.
class Moratw_ : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("moratw-test-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
               "-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        app.show();
    }
    void TearDown() override { fs::remove_all(dir); }

    QString write(const std::string& stem, const std::string& text) {
        std::ofstream(dir / (stem + ".net")) << text;
        return QString::fromStdString((dir / stem).string());
    }
    QStringList log() const { return app.Form1->Memo1->toPlainText().split('\n'); }
    QString last_line() const { return log().last(); }
    void open(const QString& name) {
        seam.answer_file(name);
        app.Form1->Open1Click();
    }
    void analyse(int output, int listed = 1) {
        app.Form3->NEnsaida->set_panel_int(output);
        app.Form3->NEasaida->set_panel_int(listed);
        app.Form3->Button1Click();
    }
    Program& program() { return app.program(); }

    suite::RecordingDialogSeam seam;
    suite::ScopedDialogSeam scoped{seam};
    Moratw app;
    fs::path dir;
};

const char* const divider = "2\nV1 1 0 1\nR1 1 2 1000\nR2 2 0 1000\n";
const char* const rc = "2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n";

// Answers the next real message box, once it is up, and records its text.
void answer_box_soon(QString* text) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        *text = box->text();
        box->accept();
        timer->deleteLater();
    });
    timer->start(20);
}

bool make_active(QWidget* w) {
    w->show();
    w->raise();
    QApplication::setActiveWindow(w);
    return QTest::qWaitForWindowActive(w);
}
const char* const three_nodes = "3\nV1 1 0 1\nR1 1 2 1\nR2 2 3 1\nR3 3 0 1\n";

TEST_F(Moratw_, StartsWithOnlyTheMainWindowAndTheAnalysisMenuDisabled) {
    TForm1& f = *app.Form1;
    EXPECT_EQ(QApplication::applicationName(), "Moratw");
    EXPECT_EQ(f.windowTitle(), "Morat");
    EXPECT_EQ(f.size(), QSize(696, 480));
    EXPECT_TRUE(f.isVisible());
    const QWidget* others[] = {app.Form2, app.Form3, app.Form4, app.Form5,  app.Form6,
                               app.Form7, app.Form8, app.Form9, app.Form10, app.Form11};
    const char* titles[] = {"Erro",
                            "Nó de saída",
                            "Resposta em frequência",
                            "Escalas",
                            "Normalização das sensibilidades",
                            "Sensibilidades",
                            "Variabilidades",
                            "Parâmetros",
                            "Sensibilidades de pólos e zeros",
                            "Desvios dos pólos ou zeros"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(others[i]->windowTitle(), QString::fromUtf8(titles[i]));
        EXPECT_FALSE(others[i]->isVisible()) << titles[i];
    }
    EXPECT_EQ(f.Arquivo1->title(), "Arquivo");
    EXPECT_EQ(f.Analise1->title(), "Análise");
    EXPECT_FALSE(f.Analise1->menuAction()->isEnabled());
    QStringList captions;
    for (QAction* a : f.Analise1->actions()) captions << a->objectName() + "=" + a->text();
    EXPECT_EQ(captions,
              QStringList({"Grficosderespostaemfreqncia1=Gráficos de resposta em frequência",
                           "Escalasdosgrficos1=Escalas dos gráficos",
                           "Normalizaopelainclinao1=Normalização pela inclinação",
                           "Listarsensibilidades1=Listar sensibilidades", "Faixadinmica1=Faixa dinâmica",
                           "Salvarrespostaemfreqncianorelatrio1=Salvar resposta em frequência ",
                           "Sensibilidadesdeplosezeros1=Sensibilidades de polos e zeros",
                           "Mudarndesada1=Mudar nó de saída",
                           "Variabilidadedosparmetros1=Variabilidade dos parâmetros",
                           "Tolernciaseparmetros1=Tolerâncias e parâmetros",
                           "Projetodetolerncias1=Projeto de tolerâncias", "Rudo1=Ruído"}));
    EXPECT_EQ(f.Open1->text(), "Abrir");
    EXPECT_EQ(f.Exit1->text(), "Terminar");
    // Gated commands say nothing before a sweep.
    f.Faixadinmica1Click();
    f.Salvarrespostaemfreqncianorelatrio1Click();
    f.Listarsensibilidades1Click();
    EXPECT_EQ(f.Memo1->toPlainText(), "");
    EXPECT_TRUE(seam.requests.isEmpty());
    // The log takes no typing.
    f.Memo1->setFocus();
    QTest::keyClicks(f.Memo1, "a");
    EXPECT_EQ(f.Memo1->toPlainText(), "");
}

TEST_F(Moratw_, OpenAnalyseReportAndSave) {
    const QString name = write("divider", divider);
    open(name);  // no extension: ".net" is added
    ASSERT_EQ(seam.requests.size(), 1);
    EXPECT_EQ(seam.requests[0].filter, "Netlists|*.net|Todos|*.*");
    EXPECT_TRUE(seam.requests[0].must_exist);
    EXPECT_EQ(log().first(), "Número de nós: 2");
    EXPECT_EQ(last_line(), "Circuito lido.");
    EXPECT_EQ(program().netlist_file_name, name.toStdString() + ".net");
    EXPECT_EQ(program().netlist_base_name, name.toStdString());
    EXPECT_TRUE(app.Form3->isVisible());
    EXPECT_EQ(app.Form3->NEnsaida->text(), "1");

    analyse(2);
    EXPECT_EQ(last_line(), "Nó de saída: 2");
    EXPECT_FALSE(app.Form3->isVisible());
    EXPECT_TRUE(app.Form4->isVisible());
    EXPECT_TRUE(app.Form1->Analise1->menuAction()->isEnabled());
    EXPECT_TRUE(program().sweep.response_valid);

    app.Form1->Faixadinmica1Click();
    const QStringList l = log();
    ASSERT_GE(l.size(), 4);
    EXPECT_EQ(l[l.size() - 4], "");
    EXPECT_EQ(l[l.size() - 3],
              "Extremos de nível de sinal nos nós, entre    0.200000000 e    5.000000000 rad/s");
    EXPECT_EQ(l[l.size() - 1], "Min(2):    0.500000000 Max(2):    0.500000000");

    const std::string table = (dir / "saved.tab").string();
    seam.answer_file(QString::fromStdString(table));
    app.Form1->Salvarrespostaemfreqncianorelatrio1Click();
    ASSERT_EQ(seam.requests.size(), 2);
    EXPECT_EQ(seam.requests[1].file_name, name + ".tab");
    EXPECT_EQ(seam.requests[1].filter, "Resposta em frequência|*.tab");
    EXPECT_EQ(last_line().toStdString(), "Tabela de resposta em frequência salva no arquivo " + table);
    EXPECT_EQ(suite::read_text_lines(table).size(), 403u);

    app.Form1->Listarsensibilidades1Click();
    EXPECT_TRUE(app.Form7->isVisible());
    EXPECT_TRUE(app.Form7->Memo1->toPlainText().startsWith("Nó 2; Sensibilidades de T(s) em"));
}

// "Projeto de tolerâncias" opens its window, once, over the main window;
// the mask it reads is drawn on the response.
TEST_F(Moratw_, ToleranceDesignOpensItsWindowAndDrawsTheMask) {
    open(write("rc", rc));
    analyse(2);
    ASSERT_TRUE(program().sweep.response_valid);
    EXPECT_EQ(app.Form1->Form12, nullptr);
    app.Form1->Projetodetolerncias1Click();
    TForm12* form = app.Form1->Form12;
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "Projeto de tolerâncias");
    app.Form1->Projetodetolerncias1Click();
    EXPECT_EQ(app.Form1->Form12, form);
    std::ofstream(dir / "rc.msk") << "unidade rad/s\r\nmodulo 0.2 0.5 -1 0.2\r\n";
    seam.answer_file(QString::fromStdString((dir / "rc.msk").string()));
    form->Button1Click();
    EXPECT_EQ(program().view.mask, &*form->mask());
    EXPECT_TRUE(form->Memo1->toPlainText().contains("Resposta nominal: atende à máscara."));
}

// "Ruído" opens its window once; the response window draws its noise; a
// new analysis and a new netlist clear what it shows.
TEST_F(Moratw_, NoiseOpensItsWindowAndANewAnalysisOrNetlistClearsIt) {
    open(write("divider", divider));
    analyse(2);
    app.Form1->Rudo1Click();
    TForm14* form = app.Form1->Form14;
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Ruído");
    EXPECT_EQ(form->Button1->text() + "|" + form->Button2->text(), "Calcular ruído|Salvar tabela de ruído");
    app.Form1->Rudo1Click();
    EXPECT_EQ(app.Form1->Form14, form);
    form->Button1Click();
    EXPECT_TRUE(form->Memo1->toPlainText().contains("Ruído na saída de 0.2 a 5 rad/s: "));
    int violet = 0;  // in one column of the response
    for (int y = 0; y < app.Form4->PaintBox1->image().height(); ++y)
        violet +=
            app.Form4->PaintBox1->image().pixelColor(400, y) == analysis::curve_colour(analysis::q_noise);
    EXPECT_EQ(violet, 1);
    analyse(2);
    EXPECT_EQ(form->Memo1->toPlainText(), "");
    form->Button1Click();
    EXPECT_TRUE(form->computed());
    open(write("rc", rc));
    EXPECT_FALSE(form->computed());
    EXPECT_EQ(form->Memo1->toPlainText(), "");
}

TEST_F(Moratw_, ATableThatCannotBeWrittenShowsThePortugueseErrorBox) {
    open(write("divider", divider));
    analyse(2);
    const std::string table = (dir / "no" / "such" / "t.tab").string();
    seam.answer_file(QString::fromStdString(table));
    const QString before = app.Form1->Memo1->toPlainText();
    app.Form1->Salvarrespostaemfreqncianorelatrio1Click();
    EXPECT_EQ(seam.errors, QStringList{QString::fromStdString("Não foi possível gravar o arquivo \"" + table +
                                                              "\": arquivo ou diretório inexistente")});
    EXPECT_EQ(app.Form1->Memo1->toPlainText(), before);  // no confirmation
    EXPECT_FALSE(program().failed);
}

TEST_F(Moratw_, AMissingFileIsLoggedAndChangesNothing) {
    open(write("divider", divider));
    analyse(2);
    const std::string before = program().netlist_file_name;
    const QString missing = QString::fromStdString((dir / "none").string());
    open(missing);
    EXPECT_EQ(last_line(), "* Arquivo " + missing + ".net inexistente.");
    EXPECT_EQ(program().netlist_file_name, before);
    EXPECT_TRUE(program().sweep.response_valid);
    seam.answer_file(QString::fromStdString((dir / "t.tab").string()));
    app.Form1->Salvarrespostaemfreqncianorelatrio1Click();
    EXPECT_EQ(seam.requests.last().file_name.toStdString(), program().netlist_base_name + ".tab");
}

TEST_F(Moratw_, OutputNodeChecksNameTheVariableBound) {
    open(write("three", three_nodes));
    struct Row {
        int output, listed;
        const char* line;
    };
    const Row rows[] = {{5, 1, "Nó inválido, fora da faixa 0-4."},
                        {1, 5, "Nó inválido, fora da faixa 0-4."},
                        {-1, 1, "Nó inválido, fora da faixa 0-4."},
                        {4, 1, "Nó de saída com tensão calculada sempre nula."},
                        {0, 1, "Nó de saída com tensão calculada sempre nula."}};
    for (const Row& r : rows) {
        analyse(r.output, r.listed);
        EXPECT_EQ(last_line(), QString::fromUtf8(r.line)) << r.output;
        EXPECT_TRUE(app.Form3->isVisible());
        // Before the first analysis only "Mudar nó de saída" works.
        EXPECT_FALSE(app.Form1->Grficosderespostaemfreqncia1->isEnabled());
        EXPECT_TRUE(app.Form1->Mudarndesada1->isEnabled());
    }
    analyse(3, 4);
    EXPECT_EQ(last_line(), "Nó de saída: 3");
    EXPECT_TRUE(program().sweep.response_valid);
}

TEST_F(Moratw_, ASecondNetlistSilencesTheGatedCommandsUntilItsSweepEnds) {
    open(write("divider", divider));
    analyse(2);
    open(write("three", three_nodes));
    const int lines = static_cast<int>(log().size());
    const int requests = static_cast<int>(seam.requests.size());
    app.Form1->Faixadinmica1Click();
    app.Form1->Salvarrespostaemfreqncianorelatrio1Click();
    app.Form1->Listarsensibilidades1Click();
    app.Form4->repaint_plot();  // the old response is not swept for the new circuit
    EXPECT_EQ(log().size(), lines);
    EXPECT_EQ(seam.requests.size(), requests);
    EXPECT_FALSE(app.Form7->isVisible());
    EXPECT_TRUE(app.Form1->Analise1->menuAction()->isEnabled());
    analyse(3);
    app.Form1->Faixadinmica1Click();
    EXPECT_EQ(last_line(), "Min(3):    0.333333333 Max(3):    0.333333333");
}

TEST_F(Moratw_, AFatalErrorInReadingEndsAfterTheErroWindow) {
    open(write("bad", "2\nX1 1 0 1\n"));
    EXPECT_EQ(last_line(), "Erro: X1:  Elemento desconhecido");
    EXPECT_TRUE(app.Form2->isVisible());
    EXPECT_EQ(app.Form2->Label1->text(), "X1:  Elemento desconhecido");
    EXPECT_FALSE(app.Form3->isVisible());
    EXPECT_EQ(seam.ended, 0);
    app.Form1->Open1Click();  // nothing works any more
    EXPECT_EQ(seam.requests.size(), 1);
    QTest::mouseClick(app.Form2->Button1, Qt::LeftButton);
    EXPECT_EQ(seam.ended, 1);
    EXPECT_EQ(seam.end_code, 1);
}

TEST_F(Moratw_, AFatalErrorInSolvingEndsWhenTheUserLeavesTheErroWindow) {
    open(write("floating", "2\nV1 1 0 1\nR1 1 0 1\n"));  // node 2 is connected to nothing
    analyse(1);
    EXPECT_TRUE(last_line().startsWith("Erro: "));
    ASSERT_TRUE(app.Form2->isVisible());
    EXPECT_EQ("Erro: " + app.Form2->Label1->text(), last_line());
    EXPECT_FALSE(program().sweep.response_valid);
    QApplication::setActiveWindow(app.Form2);
    ASSERT_TRUE(QTest::qWaitForWindowActive(app.Form2));
    EXPECT_EQ(seam.ended, 0);
    QApplication::setActiveWindow(app.Form1);
    ASSERT_TRUE(QTest::qWaitForWindowActive(app.Form1));
    EXPECT_EQ(seam.ended, 1);
}

TEST_F(Moratw_, ClosingTheErroWindowOrTheMainWindowEnds) {
    open(write("bad", "2\nR1 1 0 1k\n"));
    app.Form2->close();
    EXPECT_EQ(seam.ended, 1);
    app.Form1->close();
    EXPECT_EQ(seam.ended, 2);
    EXPECT_EQ(seam.end_code, 0);
    app.Form1->Exit1Click();
    EXPECT_EQ(seam.ended, 3);
}

TEST_F(Moratw_, SettingsDialogsWriteTheSettings) {
    open(write("divider", divider));
    analyse(2);
    // Parameters: loaded on showing, stored by "Aplicar".
    app.Form1->Tolernciaseparmetros1Click();
    EXPECT_EQ(app.Form9->NEtolz->text(), "0.00001");
    EXPECT_EQ(app.Form9->NEtoly->text(), "1E-7");
    EXPECT_EQ(app.Form9->NEcm->text(), "14");
    EXPECT_EQ(app.Form9->NEdc->text(), "9");
    app.Form9->NEcm->set_panel_int(8);
    app.Form9->NEdc->set_panel_int(3);
    app.Form9->Button1Click();
    EXPECT_FALSE(app.Form9->isVisible());
    app.Form1->Faixadinmica1Click();
    EXPECT_EQ(last_line(), "Min(2):    0.500 Max(2):    0.500");
    // Variabilities: element 1 first; ">" stores the typed value and moves.
    app.Form1->Variabilidadedosparmetros1Click();
    EXPECT_EQ(app.Form8->Lnome->text(), "V1");
    EXPECT_EQ(app.Form8->Memo1->toPlainText().split('\n').value(0), "Elementos e variabilidades:");
    app.Form8->NEvar->set_panel_real(0.2L);
    app.Form8->Button2Click();
    EXPECT_EQ(app.Form8->Lnome->text(), "R1");
    EXPECT_EQ(program().circuit.variability[1], 0.2L);
    app.Form8->NEvar->set_panel_real(0.01L);
    app.Form8->Button3Click();
    EXPECT_EQ(app.Form8->Memo1->toPlainText().split('\n').value(3), "R2    0.010");
    EXPECT_EQ(program().circuit.variability[1], 0);
    // Normalisation.
    app.Form1->Normalizaopelainclinao1Click();
    EXPECT_FALSE(app.Form6->CBnorm->isChecked());
    app.Form6->CBnorm->setChecked(true);
    app.Form6->Button1Click();
    EXPECT_TRUE(program().settings.normalise_by_slope);
    // Marked stale, and swept again at once by the plot's redrawing.
    EXPECT_FALSE(program().sweep.deviations_stale);
    EXPECT_FALSE(app.Form6->isVisible());
}

// The readout box sits at the bottom left of the plot: its first row's
// colour tells whether a readout is drawn.
QColor readout_pixel(TForm4* f) {
    const QImage& im = f->PaintBox1->image();
    return im.pixelColor(80, im.height() - 60);
}

TEST_F(Moratw_, ASecondNetlistLeavesNothingOfTheFirstOnTheScreen) {
    open(write("rc", rc));
    analyse(2);
    ASSERT_TRUE(app.Form4->isVisible());
    app.Form4->FormKeyDown(Qt::Key_PageUp, {});
    app.Form1->Listarsensibilidades1Click();
    ASSERT_NE(program().view.marker, QPoint(-100, -100));
    ASSERT_NE(readout_pixel(app.Form4), QColor(Qt::black));
    ASSERT_FALSE(app.Form7->Memo1->toPlainText().isEmpty());
    open(write("three", three_nodes));
    // The window shows the new circuit's frame and labels only.
    EXPECT_EQ(program().view.marker, QPoint(-100, -100));
    EXPECT_EQ(readout_pixel(app.Form4), QColor(Qt::black));
    EXPECT_TRUE(app.Form7->Memo1->toPlainText().isEmpty());
    // Shown again before "Analisar", it still holds no old numbers.
    app.Form1->Grficosderespostaemfreqncia1Click();
    app.Form4->FormKeyDown(Qt::Key_Space, {});
    EXPECT_EQ(program().view.marker, QPoint(-100, -100));
    EXPECT_EQ(readout_pixel(app.Form4), QColor(Qt::black));
    analyse(3);
    EXPECT_NE(readout_pixel(app.Form4), QColor(Qt::black));
}

TEST_F(Moratw_, AClosedOutputNodeDialogComesBackBeforeTheFirstAnalysis) {
    TForm1& f = *app.Form1;
    open(write("divider", divider));
    app.Form3->close();
    EXPECT_TRUE(f.Analise1->menuAction()->isEnabled());
    for (QAction* a : f.Analise1->actions())
        EXPECT_EQ(a->isEnabled(), a == f.Mudarndesada1) << a->text().toStdString();
    f.Mudarndesada1->trigger();
    EXPECT_TRUE(app.Form3->isVisible());
    analyse(2);
    for (QAction* a : f.Analise1->actions()) EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    open(write("three", three_nodes));  // the menu stays whole
    for (QAction* a : f.Analise1->actions()) EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
}

TEST_F(Moratw_, ReturnPressesAnalisarAndAplicar) {
    open(write("divider", divider));
    ASSERT_TRUE(make_active(app.Form3));
    app.Form3->NEnsaida->setFocus();
    app.Form3->NEnsaida->selectAll();
    QTest::keyClicks(app.Form3->NEnsaida, "2");
    QTest::keyClick(app.Form3->NEnsaida, Qt::Key_Return);
    EXPECT_EQ(last_line(), "Nó de saída: 2");
    EXPECT_FALSE(app.Form3->isVisible());

    app.Form1->Tolernciaseparmetros1Click();
    ASSERT_TRUE(make_active(app.Form9));
    app.Form9->NEdc->setFocus();
    app.Form9->NEdc->selectAll();
    QTest::keyClicks(app.Form9->NEdc, "3");
    QTest::keyClick(app.Form9->NEdc, Qt::Key_Enter);
    EXPECT_EQ(program().settings.number_decimals, 3);
    EXPECT_FALSE(app.Form9->isVisible());

    app.Form1->Normalizaopelainclinao1Click();
    ASSERT_TRUE(make_active(app.Form6));
    app.Form6->CBnorm->setFocus();
    QTest::keyClick(app.Form6->CBnorm, Qt::Key_Space);
    QTest::keyClick(app.Form6->CBnorm, Qt::Key_Return);
    EXPECT_TRUE(program().settings.normalise_by_slope);
    EXPECT_FALSE(app.Form6->isVisible());

    app.Form1->Escalasdosgrficos1Click();
    ASSERT_TRUE(make_active(app.Form5));
    app.Form5->NEsegmentos->setFocus();
    app.Form5->NEsegmentos->selectAll();
    QTest::keyClicks(app.Form5->NEsegmentos, "100");
    QTest::keyClick(app.Form5->NEsegmentos, Qt::Key_Return);
    EXPECT_EQ(program().circuit.segments, 100);
    // A bad number refuses the key: error box, nothing applied.
    ASSERT_TRUE(make_active(app.Form5));
    app.Form5->NEsegmentos->setFocus();
    app.Form5->NEsegmentos->selectAll();
    QTest::keyClicks(app.Form5->NEsegmentos, "1oo");
    QTest::keyClick(app.Form5->NEsegmentos, Qt::Key_Return);
    EXPECT_EQ(seam.errors, QStringList{"1oo is not a valid number"});
    EXPECT_EQ(program().circuit.segments, 100);
}

// With the real error box: the click after it acts at once.
TEST_F(Moratw_, AnalisarActsOnTheFirstClickAfterTheErrorBox) {
    open(write("divider", divider));
    suite::set_dialog_seam(nullptr);  // from here on the real error box
    ASSERT_TRUE(make_active(app.Form3));
    app.Form3->NEnsaida->setFocus();
    app.Form3->NEnsaida->selectAll();
    QTest::keyClicks(app.Form3->NEnsaida, "2,");
    QString shown;
    answer_box_soon(&shown);
    QTest::mousePress(app.Form3->Button1, Qt::LeftButton);  // its release is lost in the box
    ASSERT_TRUE(make_active(app.Form3));                    // the window manager's part, offscreen
    EXPECT_TRUE(app.Form3->NEnsaida->hasFocus());
    EXPECT_EQ(shown, "2, is not a valid number");
    EXPECT_TRUE(app.Form3->isVisible());
    EXPECT_FALSE(app.Form3->Button1->isDown());
    app.Form3->NEnsaida->selectAll();
    QTest::keyClicks(app.Form3->NEnsaida, "2");
    QTest::mouseClick(app.Form3->Button1, Qt::LeftButton);
    EXPECT_EQ(last_line(), "Nó de saída: 2");
    EXPECT_FALSE(app.Form3->isVisible());
    suite::set_dialog_seam(&seam);
}

TEST_F(Moratw_, EscalasAplicarBringsThePlotForward) {
    open(write("divider", divider));
    analyse(2);
    app.Form1->Escalasdosgrficos1Click();
    ASSERT_TRUE(make_active(app.Form5));
    app.Form5->CBgrade->setChecked(true);
    QTest::mouseClick(app.Form5->Button1, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitForWindowActive(app.Form4));
    EXPECT_TRUE(program().view.show_grid);
    // The keys reach the plot.
    ASSERT_TRUE(QApplication::focusWidget());
    EXPECT_EQ(QApplication::focusWidget()->window(), app.Form4);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q);
    EXPECT_EQ(program().circuit.current_curve, 2);
}

// Normalisation, variabilities and the number format change the plot: it
// is drawn again at once, not when a key is pressed next.
TEST_F(Moratw_, SettingsThatChangeThePlotRedrawIt) {
    open(write("rc", rc));
    analyse(2);
    app.Form4->FormKeyDown(Qt::Key_PageUp, {});
    auto picture = [&] { return app.Form4->PaintBox1->image().copy(); };
    QImage before = picture();

    app.Form1->Normalizaopelainclinao1Click();
    app.Form6->CBnorm->setChecked(true);
    app.Form6->Button1Click();
    EXPECT_FALSE(program().sweep.deviations_stale);  // swept again: deviations recomputed
    EXPECT_NE(picture(), before);

    before = picture();
    app.Form1->Variabilidadedosparmetros1Click();
    app.Form8->Button2Click();  // V1 -> R1
    app.Form8->NEvar->set_panel_real(0.3L);
    app.Form8->Button2Click();  // R1 gets 0.3
    EXPECT_FALSE(program().sweep.deviations_stale);
    EXPECT_NE(picture(), before);

    before = picture();
    app.Form1->Tolernciaseparmetros1Click();
    app.Form9->NEdc->set_panel_int(2);
    app.Form9->Button1Click();
    EXPECT_NE(picture(), before);  // the readout in two decimals

    // A hidden plot draws itself when shown next.
    app.Form4->hide();
    app.Form1->Normalizaopelainclinao1Click();
    app.Form6->CBnorm->setChecked(false);
    app.Form6->Button1Click();
    EXPECT_TRUE(program().sweep.deviations_stale);
    app.Form1->Grficosderespostaemfreqncia1Click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app.Form4));
    QTest::qWait(1);
    EXPECT_FALSE(program().sweep.deviations_stale);
}

// After a zoom of the plot, "Aplicar" of the open "Escalas" sweeps the band
// the axis shows: the last point sits at the axis's right end, with the RC
// low-pass's module −10·log10(1 + ω²) there. The dialog shows what the plot
// moved and keeps what was typed in the other fields.
TEST_F(Moratw_, EscalasFollowsTheZoomsOfThePlot) {
    open(write("rc", rc));
    analyse(2);
    TForm5& d = *app.Form5;
    analysis::Sweep& sw = program().sweep;
    const int n = program().circuit.segments;
    const auto band_matches_axis = [&] {
        ASSERT_TRUE(sw.response_valid);
        const analysis::Real fmax = sw.scale_max[0];
        EXPECT_NEAR(static_cast<double>(sw.points[0].frequency / sw.scale_min[0]), 1, 1e-12);
        EXPECT_NEAR(static_cast<double>(sw.points[n].frequency / fmax), 1, 1e-12);
        EXPECT_NEAR(static_cast<double>(sw.points[n].module), -10 * std::log10(1 + double(fmax * fmax)),
                    1e-9);
    };
    app.Form1->Escalasdosgrficos1Click();
    d.NEfmin->set_panel_real(0.01L);
    d.NEfmax->set_panel_real(100);
    d.Button1Click();
    ASSERT_EQ(sw.scale_max[0], 100);
    d.NEmmin->set_panel_real(-45);  // typed, not applied

    QTest::keyClick(app.Form4, Qt::Key_A);
    const analysis::Real fmin = sw.scale_min[0], fmax = sw.scale_max[0];
    ASSERT_EQ(fmin, 0.01L);  // "a" halves the decades from the left end
    ASSERT_NEAR(static_cast<double>(fmax), 1, 1e-15);
    EXPECT_EQ(d.NEfmin->panel_real(), fmin);
    EXPECT_EQ(d.NEfmax->panel_real(), fmax);
    EXPECT_EQ(d.NEmmin->panel_real(), -45);
    d.Button1Click();
    EXPECT_EQ(sw.scale_min[0], fmin);
    EXPECT_EQ(sw.scale_max[0], fmax);
    EXPECT_EQ(sw.scale_min[1], -45);
    band_matches_axis();

    // "+" halves the current curve's (the module's) scale.
    const analysis::Real mmax = sw.scale_max[1];
    QTest::keyClick(app.Form4, Qt::Key_Plus);
    EXPECT_EQ(sw.scale_max[1], -45 + (mmax + 45) / 2);
    EXPECT_EQ(d.NEmmax->panel_real(), sw.scale_max[1]);

    // "G" turns the grid on; a box ticked and not applied stays ticked.
    ASSERT_FALSE(program().view.show_grid);
    d.CBtg->setChecked(true);
    QTest::keyClick(app.Form4, Qt::Key_G);
    EXPECT_TRUE(d.CBgrade->isChecked());
    EXPECT_TRUE(d.CBtg->isChecked());
    d.Button1Click();
    EXPECT_TRUE(program().view.show_grid);
    EXPECT_TRUE(program().view.plot_curve[analysis::q_delay]);

    // The mouse: the rectangle's frequencies and module values.
    QTest::mousePress(app.Form4->PaintBox1, Qt::LeftButton, {}, QPoint(200, 60));
    QTest::mouseMove(app.Form4->PaintBox1, QPoint(300, 200));
    QTest::mouseRelease(app.Form4->PaintBox1, Qt::LeftButton, {}, QPoint(300, 200));
    ASSERT_GT(sw.scale_min[0], fmin);
    ASSERT_LT(sw.scale_max[0], fmax);
    EXPECT_EQ(d.NEfmin->panel_real(), sw.scale_min[0]);
    EXPECT_EQ(d.NEfmax->panel_real(), sw.scale_max[0]);
    EXPECT_EQ(d.NEmmin->panel_real(), sw.scale_min[1]);
    EXPECT_EQ(d.NEmmax->panel_real(), sw.scale_max[1]);
    d.Button1Click();
    band_matches_axis();
}

// The log shows its newest line even when it was scrolled back, and wraps
// long lines at the window's edge.
TEST_F(Moratw_, TheLogShowsItsNewestLineWrapped) {
    TForm1& f = *app.Form1;
    for (int i = 0; i < 100; ++i) f.log("linha " + std::to_string(i));
    QScrollBar* v = f.Memo1->verticalScrollBar();
    QCoreApplication::processEvents();
    ASSERT_GT(v->maximum(), 0);
    EXPECT_EQ(v->value(), v->maximum());
    v->setValue(0);
    f.log("* " + std::string(300, 'x'));
    QCoreApplication::processEvents();
    EXPECT_EQ(v->value(), v->maximum());
    EXPECT_EQ(f.Memo1->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(log().last().size(), 302);  // wrapped on the screen, one line in the text
}

// A mask read for one netlist is not kept silently for another: "Não" (no
// answer given) drops it with the tolerance window, "Sim" keeps it; the
// same netlist opened again keeps it without a question.
TEST_F(Moratw_, AMaskIsKeptForAnotherNetlistOnlyWhenAsked) {
    suite::testing::ScratchDir scratch;
    const std::string first = scratch.write("rc.net", rc);
    const std::string second = scratch.write("divider.net", divider);
    const std::string mask = scratch.write("rc.msk", "unidade rad/s\r\nmodulo 0.2 0.5 -1 0.2\r\n");
    const auto load = [&] {
        app.Form1->Projetodetolerncias1Click();
        ASSERT_TRUE(app.Form1->Form12->load_mask(mask));
        ASSERT_NE(program().view.mask, nullptr);
    };
    open(QString::fromStdString(first));
    analyse(2);
    load();
    // The window leaves the main window's menu in sight.
    const QMenuBar* bar = app.Form1->menuBar();
    EXPECT_FALSE(app.Form1->Form12->frameGeometry().intersects(
        QRect(app.Form1->mapToGlobal(bar->geometry().topLeft()), bar->size())));
    open(QString::fromStdString(first));
    EXPECT_TRUE(seam.questions.isEmpty());
    EXPECT_NE(app.Form1->Form12, nullptr);

    open(QString::fromStdString(second));
    ASSERT_EQ(seam.questions.size(), 1);
    EXPECT_EQ(seam.questions[0].toStdString(),
              "A máscara " + mask + " foi lida para " + first + ". Mantê-la para " + second + "?");
    EXPECT_EQ(app.Form1->Form12, nullptr);
    EXPECT_EQ(program().view.mask, nullptr);
    EXPECT_EQ(log().last().toStdString(), "Máscara " + mask + " descartada.");
    EXPECT_EQ(program().netlist_file_name, second);

    analyse(2);
    load();
    seam.answers.append(suite::Answer::yes);
    open(QString::fromStdString(first));
    EXPECT_EQ(seam.questions.size(), 2);
    ASSERT_NE(app.Form1->Form12, nullptr);
    EXPECT_EQ(program().view.mask, &*app.Form1->Form12->mask());
}

}  // namespace
}  // namespace moratw
