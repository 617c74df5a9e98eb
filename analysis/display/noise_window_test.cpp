// "Ruído": morat's lines in the memo, the sweep run with the response
// window open or closed, the table through the dialog seam, the refusals.
#include "analysis/display/noise_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "analysis/display/program_testing.h"
#include "analysis/display/response_window.h"
#include "common/scratch_dir.h"
#include "common/textfile.h"

namespace moratw {
namespace {

using analysis::Real;

// As `morat examples/sallen-key-lowpass --hz --fmin 10 --fmax 100000 --output 4`.
void sallen_key(testing::TestProgram& t) {
    t.analyse(suite::read_text(std::string(SUITE_SOURCE_DIR) + "/examples/sallen-key-lowpass.net"), 4);
    t->netlist_base_name = "sk";
    t->sweep.hertz_units = true;
    t->sweep.scale_min[0] = 10;
    t->sweep.scale_max[0] = 100000;
}

class NoiseWindow : public ::testing::Test {
protected:
    void SetUp() override {
        sallen_key(t);
        t->plot_changed = [this] { plot.repaint_plot(); };
        plot.show();
        form.show();
    }
    QStringList memo() const { return form.Memo1->toPlainText().split('\n'); }
    int violet() const {
        const QImage& image = plot.PaintBox1->image();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == analysis::curve_colour(analysis::q_noise) ? 1 : 0;
        return n;
    }
    // The core calls of morat with --opamp-noise 10e-9,1e-12 --swing 10
    // (--noise-band), on a program of their own.
    static QStringList twin(std::optional<analysis::NoiseBand> band) {
        testing::TestProgram m;
        sallen_key(m);
        analysis::NoiseSettings n;
        n.on = true;
        n.opamps = {10e-9L, 1e-12L};
        analysis::prepare_noise(m->circuit, m->sweep, n);
        EXPECT_TRUE(analysis::sweep(m->circuit, m->engine, m->sweep, m->settings, m->log));
        const auto s = analysis::noise_summary(m->sweep, analysis::noise_band(m->sweep, band));
        QStringList lines;
        for (const auto& l : analysis::noise_report_lines(m->circuit, m->sweep, n, s)) lines << l.c_str();
        for (const auto& l : analysis::noise_dynamic_range_lines(m->circuit, m->sweep, s, 10))
            lines << l.c_str();
        return lines;
    }

    suite::testing::ScratchDir dir;
    suite::RecordingDialogSeam seam;
    suite::ScopedDialogSeam scoped{seam};
    testing::TestProgram t;
    TForm4 plot{*t};
    TForm14 form{*t};
};

TEST_F(NoiseWindow, ShowsTheLinesMoratLogsAndTheResponseWindowDrawsTheNoise) {
    plot.repaint_plot();
    EXPECT_EQ(violet(), 0);
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    for (auto [field, text] : {std::pair{form.NEen, "10e-9"}, std::pair{form.NEin, "1e-12"}}) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(memo(), twin({}));
    // As the run of morat itself printed them.
    EXPECT_TRUE(memo()[2].startsWith("Ruído na saída de 10 a 100000 Hz: 3.462 µV rms;"))
        << memo()[2].toStdString();
    EXPECT_TRUE(memo().last().endsWith("na saída 7.071 V rms sobre 3.462 µV rms de ruído: 126.2 dB"));
    EXPECT_GT(violet(), 300);
    // The response window closed: the window sweeps by itself; a band of its own.
    t->plot_changed = nullptr;
    form.CBbanda->setChecked(false);
    form.NEf1->set_panel_real(100);
    form.NEf2->set_panel_real(1000);
    form.Button1Click();
    EXPECT_EQ(memo(), twin(analysis::NoiseBand{100, 1000}));
}

TEST_F(NoiseWindow, TheTableIsSavedThroughTheSeamOnceComputed) {
    form.Button2Click();
    EXPECT_EQ(memo(), QStringList{"* Calcule o ruído primeiro."});
    form.Button1Click();
    const std::string file = dir.path("sk.rui");
    seam.answer_file(QString::fromStdString(file));
    form.Button2Click();
    ASSERT_EQ(seam.requests.size(), 1);
    EXPECT_EQ(seam.requests[0].file_name, "sk.rui");
    EXPECT_EQ(seam.requests[0].filter, "Tabelas de ruído|*.rui|Todos|*.*");
    EXPECT_EQ(memo().last().toStdString(), "Tabela de ruído salva no arquivo " + file);
    EXPECT_EQ(suite::read_text_lines(file), analysis::noise_table_lines(t->circuit, t->sweep, t->settings));
    form.clear();  // a new netlist or analysis
    form.Button2Click();
    EXPECT_EQ(memo(), QStringList{"* Calcule o ruído primeiro."});
    EXPECT_EQ(seam.requests.size(), 1);
}

TEST_F(NoiseWindow, FieldsOutOfRangeAreTold) {
    struct Row {
        Real celsius, en, swing, f1, f2;  // f2 = 0: the sweep's band
        const char* line;
    };
    const Row rows[] = {
        {-273.15L, 0, 10, 0, 0, "* A temperatura deve estar acima de -273.15 °C e abaixo de 10000 °C."},
        {27, -1e-9L, 10, 0, 0, "* en e in devem ser zero ou positivos."},
        {27, 0, 0, 0, 0, "* A excursão máxima deve ser positiva."},
        {27, 0, 10, 100, 100, "* A banda deve ir de uma frequência positiva a uma maior."},
        {27, 0, 10, 2e5L, 3e5L, "* A banda está fora da varredura, de 10 a 100000 Hz."},
        {-273, 0, 1, 0, 0, ""},  // just above absolute zero
    };
    for (const Row& r : rows) {
        form.NEtemperatura->set_panel_real(r.celsius);
        form.NEen->set_panel_real(r.en);
        form.NEexcursao->set_panel_real(r.swing);
        form.CBbanda->setChecked(r.f2 == 0);
        form.NEf1->set_panel_real(r.f1);
        form.NEf2->set_panel_real(r.f2);
        form.Button1Click();
        EXPECT_EQ(memo()[0], r.line);
        EXPECT_EQ(form.computed(), *r.line == 0) << r.line;
    }
    testing::TestProgram none;  // nothing analysed
    TForm14 other{*none};
    other.Button1Click();
    EXPECT_EQ(other.Memo1->toPlainText(), "* Analise um circuito primeiro.");
}

}  // namespace
}  // namespace moratw
