// "Projetar filtro" in the main window: the design's choices in a dialog,
// the files written, the netlist opened and analysed over the mask's span
// with its parts' tolerances, and the mask checked in "Projeto de
// tolerâncias".
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cmath>
#include <filesystem>
#include <set>

#include "analysis/display/program.h"
#include "analysis/display/tolerance_window.h"
#include "analysis/shell/design_dialog.h"
#include "analysis/shell/main_window.h"
#include "analysis/shell/output_node_dialog.h"
#include "analysis/shell/startup.h"
#include "common/dialogseam.h"
#include "common/scratch_dir.h"
#include "common/textfile.h"

namespace moratw {
namespace {

const char* const lowpass_mask = "unidade Hz\r\nmodulo 10 1000 -1 0\r\nmodulo 2500 20000 - -40\r\n";

class Projetarfiltro : public ::testing::Test {
protected:
    void SetUp() override {
        app.show();
        app.Form1->Projetarfiltro1Click();
        form = app.Form1->Form13;
    }
    QStringList log() const { return app.Form1->Memo1->toPlainText().split('\n'); }
    bool logged(const std::string& line) const { return log().contains(QString::fromStdString(line)); }
    Program& program() { return app.program(); }
    // The mask chosen through its dialog, then "Projetar".
    void design_from(const std::string& mask) {
        seam.answer_file(QString::fromStdString(mask));
        form->Button2Click();
        QTest::mouseClick(form->Button1, Qt::LeftButton);
    }
    // The output node that the written netlist names in its comments.
    static int netlist_output(const std::string& netlist) {
        const std::string mark = "saída: nó ";
        for (const std::string& line : suite::read_text_lines(netlist))
            if (const std::size_t at = line.find(mark); at != std::string::npos)
                return std::stoi(line.substr(at + mark.size()));
        return -1;
    }
    // The names in the scratch folder.
    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.root()))
            names.insert(e.path().filename().string());
        return names;
    }

    suite::testing::ScratchDir dir;
    suite::RecordingDialogSeam seam;
    suite::ScopedDialogSeam scoped{seam};
    Moratw app;
    TForm13* form = nullptr;
};

TEST_F(Projetarfiltro, ComesAfterImportarSPICEAndItsDialogsProposeTheMasksStem) {
    QStringList captions;
    for (QAction* a : app.Form1->Arquivo1->actions()) captions << a->objectName() + "=" + a->text();
    EXPECT_EQ(captions, QStringList({"Open1=Abrir", "ImportarSPICE1=Importar SPICE",
                                     "Projetarfiltro1=Projetar filtro", "Exit1=Terminar"}));
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "Projetar filtro");
    const std::string mask = dir.path("lp.msk");
    seam.answer_file(QString::fromStdString(mask));
    form->Button2Click();
    ASSERT_EQ(seam.requests.size(), 1);
    EXPECT_EQ(seam.requests[0].filter, "Máscaras|*.msk|Todos|*.*");
    EXPECT_TRUE(seam.requests[0].must_exist);
    EXPECT_EQ(form->Emascara->text().toStdString(), mask);
    EXPECT_EQ(form->Earquivos->text().toStdString(), dir.path("lp"));
    // A mask typed: the stem follows it until one is typed or chosen.
    form->Emascara->clear();
    QTest::keyClicks(form->Emascara, "a/hp.msk");
    EXPECT_EQ(form->Earquivos->text(), "a/hp");
    seam.answer_file(QString::fromStdString(dir.path("other.net")));
    form->Button3Click();
    ASSERT_EQ(seam.requests.size(), 2);
    EXPECT_EQ(seam.requests[1].file_name, "a/hp.net");
    EXPECT_FALSE(seam.requests[1].must_exist);
    EXPECT_EQ(form->Earquivos->text().toStdString(), dir.path("other"));
    QTest::keyClicks(form->Emascara, "k");
    EXPECT_EQ(form->Earquivos->text().toStdString(), dir.path("other"));
    // The series' own tolerance is shown until another is typed.
    form->CBresistores->setCurrentIndex(0);
    EXPECT_EQ(form->NEtolr->text(), "10");
    EXPECT_FALSE(form->NEtolr->isEnabled());
    form->CBresistores->setCurrentIndex(3);
    EXPECT_EQ(form->NEtolr->text(), "1");
}

TEST_F(Projetarfiltro, DesignsFromAMaskOpensAnalysesAndChecksIt) {
    const std::string mask = dir.write("lp.msk", lowpass_mask);
    design_from(mask);
    for (const char* ext : {".net", ".cir", ".val", ".pec"})
        EXPECT_TRUE(suite::file_exists(dir.path(std::string("lp") + ext))) << ext;
    EXPECT_EQ(suite::read_file_bytes(mask), lowpass_mask);
    EXPECT_TRUE(logged("Projeto de filtro: máscara lp.msk"));
    EXPECT_TRUE(logged("Resposta nominal: atende à máscara."));
    EXPECT_FALSE(form->isVisible());
    // Opened as "Abrir" opens it, analysed at the design's output.
    const std::string netlist = dir.path("lp.net");
    const int output = netlist_output(netlist);
    ASSERT_GT(output, 1);
    EXPECT_TRUE(program().circuit.present);
    EXPECT_EQ(program().netlist_file_name, netlist);
    EXPECT_TRUE(logged("Nó de saída: " + std::to_string(output)));
    EXPECT_FALSE(app.Form3->isVisible());
    // Swept over the mask's span in Hz, logarithmically.
    const analysis::Sweep& sw = program().sweep;
    ASSERT_TRUE(sw.response_valid);
    const int n = program().circuit.segments;
    EXPECT_TRUE(sw.hertz_units);
    EXPECT_TRUE(sw.log_scale);
    EXPECT_NEAR(static_cast<double>(sw.points[0].frequency), 10, 1e-9);
    EXPECT_NEAR(static_cast<double>(sw.points[n].frequency), 20000, 1e-6);
    EXPECT_NEAR(static_cast<double>(sw.points[n / 2].frequency), std::sqrt(10.0 * 20000), 1e-6);
    // The response keeps the mask: within -1..0 dB up to 1 kHz, below -40 dB from 2.5 kHz.
    for (int p = 0; p <= n; ++p) {
        const double f = static_cast<double>(sw.points[p].frequency);
        const double db = static_cast<double>(sw.points[p].module);
        if (f <= 1000) {
            EXPECT_TRUE(db >= -1 && db <= 0) << f << " Hz: " << db;
        }
        if (f >= 2500) {
            EXPECT_LT(db, -40) << f << " Hz";
        }
    }
    // Variabilities: resistors E96 1 %, capacitors 5 %, the source none.
    const analysis::Circuit& c = program().circuit;
    int resistors = 0, capacitors = 0;
    for (int i = 1; i <= c.element_count; ++i) {
        const char kind = analysis::element_kind(c, i);
        const double v = static_cast<double>(c.variability[i]);
        const double expected = kind == 'R' ? 0.01 : kind == 'C' ? 0.05 : 0;
        EXPECT_DOUBLE_EQ(v, expected) << c.elements[i].name;
        resistors += kind == 'R', capacitors += kind == 'C';
    }
    EXPECT_GT(resistors, 0);
    EXPECT_GT(capacitors, 0);
    // The mask in "Projeto de tolerâncias", its memo as "Ler máscara" shows it.
    TForm12* f12 = app.Form1->Form12;
    ASSERT_NE(f12, nullptr);
    EXPECT_TRUE(f12->isVisible());
    ASSERT_TRUE(f12->mask().has_value());
    EXPECT_EQ(f12->mask()->file_name, mask);
    EXPECT_EQ(program().view.mask, &*f12->mask());
    const QString shown = f12->Memo1->toPlainText();
    EXPECT_TRUE(shown.contains("Resposta nominal: atende à máscara.")) << shown.toStdString();
    seam.answer_file(QString::fromStdString(mask));
    f12->Button1Click();
    EXPECT_EQ(f12->Memo1->toPlainText(), shown);
    // Its own netlist is replaced without a question.
    design_from(mask);
    EXPECT_TRUE(seam.questions.isEmpty());
    EXPECT_EQ(log().filter("Projeto de filtro: máscara lp.msk").size(), 2);
}

TEST_F(Projetarfiltro, WithoutAMaskItWritesTheMaskOfTheRequirement) {
    // The stem proposed beside a mask is not kept: it would replace that mask.
    seam.answer_file(QString::fromStdString(dir.path("lp.msk")));
    form->Button2Click();
    EXPECT_FALSE(form->Earquivos->text().isEmpty());
    form->RBrequisito->setChecked(true);
    EXPECT_TRUE(form->Earquivos->text().isEmpty());
    EXPECT_FALSE(form->Emascara->isEnabled());
    form->CBtipo->setCurrentIndex(2);  // passa-faixa
    ASSERT_TRUE(form->NEpassagem2->isEnabled());
    form->NEpassagem1->set_panel_real(1000);
    form->NEpassagem2->set_panel_real(2000);
    form->NErejeicao1->set_panel_real(300);
    form->NErejeicao2->set_panel_real(6000);
    form->NEatenuacao->set_panel_real(30);
    form->CBordem->setChecked(false);
    form->NEordem->set_panel_int(5);
    form->CBideal->setChecked(false);
    form->NEgb->set_panel_real(6.2832e6);
    form->NEro->set_panel_real(75);
    form->CBtolr->setChecked(false);
    form->NEtolr->set_panel_real(2);
    // Typed and Return, as a user does.
    form->show();
    form->raise();
    QApplication::setActiveWindow(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    form->Earquivos->setFocus();
    QTest::keyClicks(form->Earquivos, QString::fromStdString(dir.path("bp")));
    QTest::keyClick(form->Earquivos, Qt::Key_Return);
    EXPECT_EQ(log().last(), "* A ordem de um passa-faixa é par: 5 não serve.");
    EXPECT_FALSE(suite::file_exists(dir.path("bp.net")));
    form->NEordem->set_panel_int(4);
    QTest::keyClick(form->Earquivos, Qt::Key_Return);
    ASSERT_TRUE(suite::file_exists(dir.path("bp.msk")));
    EXPECT_FALSE(form->isVisible());
    const std::string written = suite::read_file_bytes(dir.path("bp.msk"));
    EXPECT_NE(written.find("modulo 1000 2000 -1 0"), std::string::npos) << written;
    EXPECT_NE(written.find("- -30"), std::string::npos) << written;
    EXPECT_TRUE(logged("Projeto de filtro: máscara bp.msk"));
    // The filter's order 4, its prototype's 2.
    const std::vector<std::string> netlist = suite::read_text_lines(dir.path("bp.net"));
    ASSERT_GT(netlist.size(), 2);
    EXPECT_TRUE(netlist[1].ends_with("passa-faixa de ordem 4 (protótipo de ordem 2)")) << netlist[1];
    EXPECT_TRUE(program().circuit.present);
    ASSERT_NE(app.Form1->Form12, nullptr);
    EXPECT_EQ(app.Form1->Form12->mask()->file_name, dir.path("bp.msk"));
    // Gain-bandwidth op-amps do not vary; the resistors have the typed tolerance.
    const analysis::Circuit& c = program().circuit;
    int opamps = 0;
    for (int i = 1; i <= c.element_count; ++i) {
        const char kind = analysis::element_kind(c, i);
        const double expected = kind == 'A' ? 0 : kind == 'R' ? 0.02 : kind == 'C' ? 0.05 : 0;
        EXPECT_DOUBLE_EQ(static_cast<double>(c.variability[i]), expected) << c.elements[i].name;
        opamps += kind == 'A';
    }
    EXPECT_GT(opamps, 0);
}

TEST_F(Projetarfiltro, RefusalsAreLoggedAndOpenNothing) {
    const QStringList refusals[] = {{"passa-baixas", "1000", "500",
                                     "* Um passa-baixas precisa da borda de "
                                     "rejeição acima da de passagem."},
                                    {"passa-altas", "1000", "2000",
                                     "* Um passa-altas precisa da borda de "
                                     "rejeição abaixo da de passagem."}};
    form->RBrequisito->setChecked(true);
    form->Earquivos->setText(QString::fromStdString(dir.path("r")));
    for (const QStringList& r : refusals) {
        form->CBtipo->setCurrentText(r[0]);
        form->NEpassagem1->set_panel_real(r[1].toDouble());
        form->NErejeicao1->set_panel_real(r[2].toDouble());
        form->Button1Click();
        EXPECT_EQ(log().last(), r[3]);
    }
    form->CBtipo->setCurrentIndex(3);  // rejeita-faixa: passagem 1 < rejeição 1 < rejeição 2 < passagem 2
    form->NEpassagem1->set_panel_real(100);
    form->NErejeicao1->set_panel_real(200);
    form->NErejeicao2->set_panel_real(400);
    form->NEpassagem2->set_panel_real(300);
    form->Button1Click();
    EXPECT_EQ(log().last(),
              "* Um rejeita-faixa precisa de passagem 1 < rejeição 1 < rejeição 2 < passagem 2.");
    // A mask whose stop band lies inside its pass band.
    const std::string mask = dir.write("bad.msk", "unidade Hz\nmodulo 10 1000 -1 0\nmodulo 500 600 - -40\n");
    form->RBrequisito->setChecked(false);
    form->RBmascara->setChecked(true);
    design_from(mask);
    const QStringList lines = log();
    const qsizetype at = lines.indexOf("Projeto de filtro: máscara bad.msk");
    ASSERT_GE(at, 0);
    ASSERT_EQ(lines.size(), at + 2);
    EXPECT_TRUE(lines[at + 1].startsWith("* Máscara bad.msk")) << lines[at + 1].toStdString();
    EXPECT_EQ(files(), std::set<std::string>{"bad.msk"});
    EXPECT_FALSE(program().circuit.present);
    EXPECT_EQ(app.Form1->Form12, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(seam.errors.isEmpty());
}

TEST_F(Projetarfiltro, FilesADesignDidNotWriteAreReplacedOnlyOnSim) {
    const std::string mask = dir.write("lp.msk", lowpass_mask);
    const std::string own = "2\r\n* by hand\r\nV1 1 0 1\r\nR1 1 2 1\r\nR2 2 0 1\r\n";
    const std::string netlist = dir.write("lp.net", own);
    seam.answers.append(suite::Answer::no);
    design_from(mask);
    ASSERT_EQ(seam.questions.size(), 1);
    EXPECT_TRUE(seam.questions[0].contains("lp.net"));
    EXPECT_EQ(suite::read_file_bytes(netlist), own);
    EXPECT_FALSE(suite::file_exists(dir.path("lp.cir")));
    EXPECT_EQ(log().last().toStdString(),
              "* O arquivo " + netlist + " já existe e não foi escrito por um projeto: escolha outro nome.");
    EXPECT_FALSE(program().circuit.present);
    seam.answers.append(suite::Answer::yes);
    design_from(mask);
    EXPECT_EQ(seam.questions.size(), 2);
    EXPECT_NE(suite::read_file_bytes(netlist), own);
    EXPECT_TRUE(suite::file_exists(dir.path("lp.cir")));
    EXPECT_TRUE(program().sweep.response_valid);
}

}  // namespace
}  // namespace moratw
