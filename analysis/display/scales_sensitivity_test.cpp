#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "analysis/display/program_testing.h"
#include "analysis/display/response_window.h"
#include "analysis/display/scales_dialog.h"
#include "analysis/display/sensitivity_window.h"

namespace moratw {
namespace {

using analysis::Real;

class Scales : public ::testing::Test {
protected:
    void SetUp() override {
        t.analyse(testing::rc_lowpass);
        plot.show();
        plot.repaint_plot();
        ASSERT_TRUE(t->sweep.response_valid);
        dialog.Fill();
        solved = t.solves();
    }
    long long new_solves() const { return t.solves() - solved; }

    testing::TestProgram t;
    TForm4 plot{*t};
    TForm5 dialog{*t, plot};
    long long solved = 0;
};

TEST_F(Scales, FillShowsTheStateAndTheKeySummary) {
    EXPECT_EQ(dialog.windowTitle(), "Escalas");
    EXPECT_EQ(dialog.size(), QSize(529, 350));
    EXPECT_EQ(dialog.NEsegmentos->text(), "400");
    EXPECT_EQ(dialog.NEfmin->text(), "0.2");
    EXPECT_EQ(dialog.NEfmax->text(), "5");
    EXPECT_EQ(dialog.NEmmin->text(), "-60");
    EXPECT_EQ(dialog.NEdfamax->text(), "15");
    EXPECT_EQ(dialog.RGescala->item_index(), 1);
    EXPECT_EQ(dialog.RGunidade->item_index(), 1);
    EXPECT_TRUE(dialog.CBmdl->isChecked());
    EXPECT_TRUE(dialog.CBfas->isChecked());
    EXPECT_FALSE(dialog.CBtg->isChecked());
    EXPECT_TRUE(dialog.CBsuper->isChecked());
    EXPECT_EQ(dialog.Lteclas->text(),
              "Escalas:+-, setas v; Cursor: setas  h, PgUp, PgDn; Curva: q,Ins,Del; Sensibilidades: s");
}

TEST_F(Scales, ApplyWithoutChangesOrWithCurveRangesSolvesNothing) {
    dialog.Button1Click();
    EXPECT_EQ(new_solves(), 0);
    dialog.NEmmin->set_panel_real(-20);
    dialog.NEmmax->set_panel_real(0);
    dialog.CBgrade->setChecked(true);
    dialog.CBtg->setChecked(true);
    dialog.Button1Click();
    EXPECT_EQ(new_solves(), 0);
    EXPECT_EQ(t->sweep.scale_min[1], -20);
    EXPECT_TRUE(t->view.show_grid);
    EXPECT_TRUE(t->view.plot_curve[3]);
    EXPECT_TRUE(t->sweep.response_valid);
}

TEST_F(Scales, FrequencyAxisChangesSweepAgain) {
    dialog.NEfmax->set_panel_real(50);
    dialog.Button1Click();
    EXPECT_EQ(new_solves(), 401);
    EXPECT_NEAR(static_cast<double>(t->sweep.points[400].frequency), 50.0, 1e-12);
}

TEST_F(Scales, AnOddSegmentCountIsAdjustedInTheFieldAndTheLog) {
    dialog.NEsegmentos->set_panel_int(399);
    t.lines.clear();
    dialog.Button1Click();
    EXPECT_EQ(t->circuit.segments, 398);
    EXPECT_EQ(dialog.NEsegmentos->text(), "398");
    EXPECT_EQ(t.lines, std::vector<std::string>{"Número de segmentos no gráfico ajustado para 398"});
    EXPECT_EQ(new_solves(), 399);
}

TEST_F(Scales, HertzMovesTheBandByTwoPi) {
    const Real radians_module = t->sweep.points[0].module;
    dialog.RGunidade->set_item_index(0);  // Hz, same numbers
    dialog.Button1Click();
    EXPECT_EQ(new_solves(), 401);
    EXPECT_EQ(t->sweep.points[0].frequency, 0.2L);
    // |T| of the RC low-pass at ω = 2π·0.2 rather than 0.2.
    const Real w = 6.283185307179586L * 0.2L;
    EXPECT_NEAR(static_cast<double>(t->sweep.points[0].module),
                static_cast<double>(-10 * std::log10(1 + w * w)), 1e-9);
    EXPECT_NE(t->sweep.points[0].module, radians_module);
}

// The noise row's limits move the noise curve (the divider's, near −170.8
// dBV/√Hz, a quarter of the height above the minimum); its box hides it.
TEST_F(Scales, TheNoiseRowMovesTheNoiseCurve) {
    EXPECT_EQ(dialog.NErmin->text(), "-180");
    EXPECT_EQ(dialog.NErmax->text(), "-100");
    t.analyse(testing::divider);
    analysis::NoiseSettings on;
    on.on = true;
    analysis::prepare_noise(t->circuit, t->sweep, on);
    auto row = [&] {
        for (int y = 0; y < plot.PaintBox1->image().height(); ++y)
            if (plot.PaintBox1->image().pixelColor(400, y) == analysis::curve_colour(analysis::q_noise))
                return y;
        return -1;
    };
    const Real db = 10 * std::log10(4 * 1.380649e-23L * 300.15L * 500);
    dialog.NErmin->set_panel_real(db - 2.5L);
    dialog.NErmax->set_panel_real(db + 7.5L);
    dialog.CBru->setChecked(true);
    dialog.Button1Click();
    const int bottom = plot.PaintBox1->image().height() - 1 - QFontMetrics(analysis::plot_font()).height();
    EXPECT_NEAR(row(), bottom * 0.75, 1);
    dialog.CBru->setChecked(false);
    dialog.Button1Click();
    EXPECT_EQ(row(), -1);
}

TEST_F(Scales, TypedFieldsAreReadWhenTheButtonIsClicked) {
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.NEfmin->setFocus();
    dialog.NEfmin->selectAll();
    QTest::keyClicks(dialog.NEfmin, "0.5");
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    EXPECT_EQ(t->sweep.scale_min[0], 0.5L);
    EXPECT_EQ(new_solves(), 401);
}

// The sensitivity list.
class SensitivityList : public ::testing::Test {
protected:
    void analyse(const char* netlist) {
        t.analyse(netlist);
        plot.repaint_plot();
        ASSERT_TRUE(t->sweep.response_valid);
    }
    QStringList lines() const { return list.Memo1->toPlainText().split('\n'); }

    testing::TestProgram t;
    TForm4 plot{*t};
    TForm7 list{*t};
};

TEST_F(SensitivityList, DividerSensitivitiesAreEqualAndOpposite) {
    analyse(testing::divider);
    list.FormPaint();
    const QStringList l = lines();
    ASSERT_EQ(l.size(), 12);
    EXPECT_TRUE(l[0].startsWith("Nó 2; Sensibilidades de T(s) em    0.200000000 rad/s "));
    EXPECT_TRUE(l[0].endsWith("rad/s "));
    EXPECT_EQ(l[1], "S(T,s):    0.000000000    0.000000000j");
    EXPECT_EQ(l[3], "S(T,R1):   -0.500000000    0.000000000j");
    EXPECT_EQ(l[4], "S(T,R2):    0.500000000    0.000000000j");
    EXPECT_EQ(l[5], "Modl  -6.020599913 dB");
    EXPECT_TRUE(l[10].startsWith("E(2) normal :    0.500000000"));
    EXPECT_TRUE(l[11].startsWith("E(1) adjunta: "));
}

TEST_F(SensitivityList, ButtonsStopAtTheEnds) {
    analyse(testing::rc_lowpass);
    list.Button1Click();
    EXPECT_EQ(t->sweep.cursor, 0);
    EXPECT_TRUE(lines()[0].contains("0.200000000"));
    t->sweep.cursor = 400;
    list.Button2Click();
    EXPECT_EQ(t->sweep.cursor, 400);
    EXPECT_TRUE(lines()[0].contains("5.000000000"));
    list.Button1Click();
    EXPECT_EQ(t->sweep.cursor, 399);
}

TEST_F(SensitivityList, FollowsThePlotCursorWhileOpen) {
    analyse(testing::rc_lowpass);
    plot.refresh_sensitivities = [&] {
        if (list.isVisible()) list.FormPaint();
    };
    list.show();
    plot.FormKeyDown(Qt::Key_PageUp, Qt::NoModifier);
    const Real f = t->sweep.points[10].frequency;
    EXPECT_TRUE(lines()[0].contains(QString::fromStdString(analysis::listing_number(t->settings, f))));
}

TEST_F(SensitivityList, NothingIsListedBeforeAnAnalysis) {
    list.FormPaint();
    EXPECT_EQ(list.Memo1->toPlainText(), "");
}

}  // namespace
}  // namespace moratw
