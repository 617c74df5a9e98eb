// "Projeto de tolerâncias": the mask read through the dialog seam, the
// same lines as morat in the memo, the mask and the worst-case band on the
// response plot, and the refusals of its fields.
#include "analysis/display/tolerance_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

#include "analysis/display/program_testing.h"
#include "analysis/display/response_window.h"
#include "analysis/tolerance/tolerance_report.h"
#include "common/dialogseam.h"
#include "common/scratch_dir.h"

namespace moratw {
namespace {

using analysis::Real;

class ToleranceWindow : public ::testing::Test {
protected:
    void SetUp() override {
        t.analyse(testing::rc_lowpass, 2, 40);
        t->plot_changed = [this] { plot.repaint_plot(); };
        plot.show();
        form.show();
    }
    QStringList memo() const { return form.Memo1->toPlainText().split('\n'); }
    void read(const std::string& file) {
        seam.answer_file(QString::fromStdString(file));
        form.Button1Click();
    }
    // Pixels of the plot in a colour.
    int pixels(const QColor& colour) const {
        const QImage& image = plot.PaintBox1->image();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour ? 1 : 0;
        return n;
    }
    // What morat logs for the same mask and numbers.
    QStringList twin(const std::string& file, bool tighten) {
        QStringList lines;
        const analysis::Log log = [&](const std::string& l) { lines << QString::fromStdString(l); };
        analysis::ResponseMask m;
        EXPECT_TRUE(analysis::read_mask_report(file, m, log));
        analysis::LinearModel model;
        EXPECT_TRUE(analysis::report_mask(file, m, t->circuit, t->engine, t->sweep, model, log));
        if (tighten)
            analysis::report_tightening(t->circuit, t->engine, t->sweep, t->settings, model, 0.9L, 5000, 200,
                                        4, log);
        else
            analysis::report_yield(t->circuit, t->engine, t->sweep, t->settings, model, 5000, 200, 4, log);
        return lines;
    }

    suite::testing::ScratchDir dir;
    suite::RecordingDialogSeam seam;
    suite::ScopedDialogSeam scoped{seam};
    testing::TestProgram t;
    TForm4 plot{*t};
    TForm12 form{*t};
    std::string mask = dir.write("rc.msk", "unidade rad/s\r\nmodulo 0.2 0.5 -1 0.2\r\nmodulo 3 5 - -8\r\n");
};

TEST_F(ToleranceWindow, TheMemoShowsWhatMoratLogs) {
    EXPECT_EQ(form.windowTitle(), "Projeto de tolerâncias");
    t->netlist_base_name = dir.path("rc");
    seam.file_answers.clear();
    form.Button1Click();  // cancelled
    ASSERT_EQ(seam.requests.size(), 1);
    EXPECT_EQ(seam.requests[0].file_name.toStdString(), dir.path("rc.msk"));  // named after the netlist
    seam.requests.clear();
    form.Button2Click();
    EXPECT_EQ(memo(), QStringList{"* Leia uma máscara primeiro."});
    t->plot_changed = nullptr;  // no response window to sweep
    read(mask);
    ASSERT_EQ(seam.requests.size(), 1);
    EXPECT_EQ(seam.requests[0].filter, "Máscaras|*.msk|Todos|*.*");
    EXPECT_EQ(form.Lmascara->text().toStdString(), mask);
    EXPECT_EQ(memo(), QStringList{""});  // no sweep yet: nothing to check it against
    form.Button2Click();
    EXPECT_EQ(memo(), QStringList{"* A resposta em frequência ainda não foi calculada."});

    t->plot_changed = [this] { plot.repaint_plot(); };
    plot.repaint_plot();
    ASSERT_TRUE(t->sweep.response_valid);
    form.NEamostras->set_panel_int(5000);
    form.NEcircuitos->set_panel_int(200);
    form.NEsemente->set_panel_int(4);
    form.Button2Click();
    EXPECT_EQ(memo(), twin(mask, false));
    EXPECT_TRUE(memo()[1].startsWith("Resposta nominal: atende à máscara.")) << memo()[1].toStdString();
    form.NEalvo->set_panel_real(90);
    form.Button3Click();
    EXPECT_EQ(memo(), twin(mask, true));
    EXPECT_TRUE(memo().join('\n').contains("Tolerâncias padrão para rendimento de 90 %: custo "));
    // Read again once the response is there: the checks against it follow.
    read(mask);
    EXPECT_EQ(seam.requests.back().file_name.toStdString(), mask);  // the dialog proposes the mask read
    EXPECT_EQ(memo().size(), 5);
    EXPECT_TRUE(memo()[0].startsWith("Máscara "));
}

TEST_F(ToleranceWindow, TheMaskAndTheWorstCaseBandOnThePlot) {
    plot.repaint_plot();
    EXPECT_EQ(pixels(analysis::plot_colour::mask), 0);
    read(mask);
    EXPECT_EQ(t->view.mask, &*form.mask());
    EXPECT_GT(pixels(analysis::plot_colour::mask), 200);
    EXPECT_EQ(pixels(analysis::plot_colour::worst_case), 0);
    form.CBpiorcaso->setChecked(true);
    form.CBpiorcasoClick();
    EXPECT_TRUE(t->view.worst_case);
    EXPECT_GT(pixels(analysis::plot_colour::worst_case), 300);
    form.CBmascara->setChecked(false);
    form.CBmascaraClick();
    EXPECT_EQ(t->view.mask, nullptr);
    EXPECT_EQ(pixels(analysis::plot_colour::mask), 0);
    form.CBmascara->setChecked(true);
    form.CBmascaraClick();
    {
        // A window that goes takes its mask and band off the plot.
        TForm12 other{*t};
        seam.answer_file(QString::fromStdString(mask));
        other.Button1Click();
        EXPECT_EQ(t->view.mask, &*other.mask());
    }
    EXPECT_EQ(t->view.mask, nullptr);
    EXPECT_FALSE(t->view.worst_case);
}

TEST_F(ToleranceWindow, RefusedMasksAndFieldsAreTold) {
    plot.repaint_plot();
    read(mask);
    const std::string bad = dir.write("bad.msk", "unidade Hz\r\nmodulo 1 2 x 1\r\n");
    read(bad);
    EXPECT_EQ(memo(),
              QStringList{QString::fromStdString("* Máscara " + bad + ", linha 2: número inválido \"x\".")});
    EXPECT_EQ(form.mask()->file_name, mask);  // the mask read before stays in use
    EXPECT_EQ(form.Lmascara->text().toStdString(), "Máscara recusada: " + bad + "  (em uso: " + mask + ")");
    ASSERT_GE(t.lines.size(), 2u);
    EXPECT_EQ(t.lines[t.lines.size() - 2], "* Projeto de tolerâncias: máscara " + bad + " recusada.");
    EXPECT_EQ(t.lines.back(), "* Máscara " + bad + ", linha 2: número inválido \"x\".");
    read(dir.path("none.msk"));
    EXPECT_EQ(memo(),
              QStringList{QString::fromStdString("* Arquivo " + dir.path("none.msk") + " inexistente.")});
    EXPECT_EQ(form.Lmascara->text().toStdString(),
              "Máscara recusada: " + dir.path("none.msk") + "  (em uso: " + mask + ")");
    seam.file_answers.clear();
    form.Button1Click();  // cancelled: nothing changes
    EXPECT_EQ(form.mask()->file_name, mask);
    read(mask);
    EXPECT_EQ(form.Lmascara->text().toStdString(), mask);

    struct Row {
        int samples, circuits, seed;
        Real target;
        const char* line;
    };
    const Row rows[] = {{999, 1000, 1, 99, "* Amostras do modelo linear: de 1000 a 10000000."},
                        {1000, 1, 1, 99, "* Circuitos de Monte Carlo: de 2 a 1000000."},
                        {1000, 1000001, 1, 99, "* Circuitos de Monte Carlo: de 2 a 1000000."},
                        {1000, 10, -1, 99, "* A semente deve ser zero ou positiva."},
                        {1000, 10, 1, 0, "* O rendimento desejado deve estar entre 0 e 100 %."},
                        {1000, 10, 1, 100, "* O rendimento desejado deve estar entre 0 e 100 %."}};
    for (const Row& r : rows) {
        form.NEamostras->set_panel_int(r.samples);
        form.NEcircuitos->set_panel_int(r.circuits);
        form.NEsemente->set_panel_int(r.seed);
        form.NEalvo->set_panel_real(r.target);
        form.Button3Click();
        EXPECT_EQ(memo(), QStringList{r.line});
    }
}

// "Cancelar" in the progress dialog stops a run: the memo says so and
// shows the results of the run before, marked as such; the main log tells
// it; a second cancel keeps the same earlier results; a finished run is
// current again.
TEST_F(ToleranceWindow, ACancelledRunLeavesThePreviousResultsMarked) {
    plot.repaint_plot();
    read(mask);
    form.NEamostras->set_panel_int(5000);
    form.NEcircuitos->set_panel_int(200);
    form.NEsemente->set_panel_int(4);
    form.Button2Click();
    const QStringList finished = memo();
    ASSERT_EQ(finished, twin(mask, false));
    EXPECT_TRUE(form.results_current());
    EXPECT_EQ(form.progress_dialog(), nullptr);
    // Cancel at the first moment the run serves the window.
    auto cancel_soon = [this] {
        QTimer::singleShot(0, &form, [this] {
            ASSERT_NE(form.progress_dialog(), nullptr);
            EXPECT_EQ(form.progress_dialog()->windowModality(), Qt::ApplicationModal);
            form.progress_dialog()->cancel();
        });
    };
    for (int twice = 0; twice < 2; ++twice) {
        form.NEsemente->set_panel_int(5 + twice);
        cancel_soon();
        form.Button2Click();
        QStringList expected{"* Cálculo cancelado (Rendimento de 1ª ordem, 0 de 5000).",
                             "* Os resultados abaixo são do cálculo anterior, não deste:"};
        expected += finished;
        EXPECT_EQ(memo(), expected) << twice;
        EXPECT_FALSE(form.results_current());
        EXPECT_EQ(t.lines.back(),
                  "* Projeto de tolerâncias: cálculo cancelado (Rendimento de 1ª ordem, 0 de 5000).");
        EXPECT_EQ(form.progress_dialog(), nullptr);
    }
    // The search of tolerances, cancelled too.
    form.NEalvo->set_panel_real(90);
    cancel_soon();
    form.Button3Click();
    EXPECT_EQ(memo()[0], "* Cálculo cancelado (Busca das tolerâncias (rendimento 1), 0 de 5000).");
    EXPECT_EQ(memo().mid(2), finished);
    form.NEsemente->set_panel_int(4);
    form.Button2Click();
    EXPECT_EQ(memo(), finished);
    EXPECT_TRUE(form.results_current());
}

}  // namespace
}  // namespace moratw
