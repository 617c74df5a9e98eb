#include "analysis/display/response_window.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>
#include <cmath>

#include "analysis/display/program_testing.h"

namespace moratw {
namespace {

using analysis::Real;

// The response window over an RC low-pass, swept once.
class ResponseWindow : public ::testing::Test {
protected:
    void SetUp() override {
        t.analyse(testing::rc_lowpass);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.repaint_plot();
        ASSERT_TRUE(t->sweep.response_valid);
    }
    void key(int k) { form.FormKeyDown(k, Qt::NoModifier); }
    Real module(int p) const { return t.program->sweep.points[p].module; }
    Real& fmin() { return t->sweep.scale_min[0]; }
    Real& fmax() { return t->sweep.scale_max[0]; }
    analysis::PlotGeometry geometry() {
        QPainter p(&form.PaintBox1->image());
        p.setFont(analysis::plot_font());
        return analysis::plot_geometry(p.fontMetrics(), form.PaintBox1->image().size(), t->circuit, t->sweep,
                                       t->view);
    }

    testing::TestProgram t;
    TForm4 form{*t};
};

TEST_F(ResponseWindow, PanAndZoomSolveOnlyTheVacatedPoints) {
    struct Row {
        int key;
        long long solves;
        int moved_from, moved_to;  // a kept point and its new place
        Real fmin, fmax;
    };
    const Real root = std::sqrt(25.0L);
    const Row rows[] = {
        {Qt::Key_Left, 200, 0, 200, 0.2L / root, 5 / root},
        {Qt::Key_Right, 200, 300, 100, 0.2L * root, 5 * root},
        {Qt::Key_A, 200, 100, 200, 0.2L, 1},
        {Qt::Key_R, 200, 200, 100, 0.2L, 125},
    };
    for (const Row& r : rows) {
        fmin() = 0.2L;
        fmax() = 5;
        analysis::reset_sweep(t->circuit, t->engine, t->sweep, t->log);
        form.repaint_plot();
        const Real kept = module(r.moved_from);
        const long long before = t.solves();
        key(r.key);
        EXPECT_EQ(t.solves() - before, r.solves) << r.key;
        EXPECT_EQ(module(r.moved_to), kept) << r.key;
        EXPECT_NEAR(static_cast<double>(fmin() / r.fmin), 1.0, 1e-15) << r.key;
        EXPECT_NEAR(static_cast<double>(fmax() / r.fmax), 1.0, 1e-15) << r.key;
        EXPECT_TRUE(t->sweep.response_valid);
    }
}

TEST_F(ResponseWindow, FrequencyLimitsStopPanAndZoomOut) {
    fmin() = 1e-12L;
    fmax() = 1e-10L;
    const long long before = t.solves();
    key(Qt::Key_Left);
    EXPECT_EQ(fmin(), 1e-12L);
    fmin() = 1e10L;
    fmax() = 1e12L;
    key(Qt::Key_Right);
    key(Qt::Key_R);
    EXPECT_EQ(fmax(), 1e12L);
    EXPECT_EQ(t.solves(), before);
}

TEST_F(ResponseWindow, VerticalKeysChangeTheCurrentCurveOnlyWhenPlotted) {
    auto& sw = t->sweep;
    const long long before = t.solves();
    key(Qt::Key_Up);
    EXPECT_EQ(sw.scale_min[1], -25);
    EXPECT_EQ(sw.scale_max[1], 45);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(sw.scale_min[1], -95);
    EXPECT_EQ(sw.scale_max[1], -25);
    key(Qt::Key_Plus);
    EXPECT_EQ(sw.scale_max[1], -60);
    key(Qt::Key_Minus);
    key(Qt::Key_Underscore);
    EXPECT_EQ(sw.scale_max[1], -95 + 140);
    EXPECT_EQ(t.solves(), before);  // scales only: nothing solved again
    t->circuit.current_curve = 3;   // the delay is not plotted
    key(Qt::Key_Up);
    key(Qt::Key_Plus);
    EXPECT_EQ(sw.scale_min[3], 0);
    EXPECT_EQ(sw.scale_max[3], 15);
}

TEST_F(ResponseWindow, CursorKeysStayWithinTheComputedPoints) {
    auto& sw = t->sweep;
    key(Qt::Key_PageUp);
    EXPECT_EQ(sw.cursor, 10);
    key(Qt::Key_Period);
    key(Qt::Key_Greater);
    EXPECT_EQ(sw.cursor, 12);
    key(Qt::Key_Comma);
    key(Qt::Key_PageDown);
    EXPECT_EQ(sw.cursor, 1);
    key(Qt::Key_PageDown);  // would pass 0: nothing
    key(Qt::Key_Less);
    key(Qt::Key_Less);
    EXPECT_EQ(sw.cursor, 0);
    sw.cursor = 395;
    key(Qt::Key_PageUp);  // near the last point: nothing, no clamping
    EXPECT_EQ(sw.cursor, 395);
    EXPECT_NE(t->view.marker, QPoint(-100, -100));
}

TEST_F(ResponseWindow, CurveKeys) {
    auto& c = t->circuit;
    auto& view = t->view;
    for (int expected : {2, 3, 4, 5, 1}) {
        key(Qt::Key_Q);
        EXPECT_EQ(c.current_curve, expected);
    }
    key(Qt::Key_Clear);
    EXPECT_EQ(c.current_curve, 2);
    key(Qt::Key_Delete);  // phase off, module current
    EXPECT_FALSE(view.plot_curve[2]);
    EXPECT_EQ(c.current_curve, 1);
    key(Qt::Key_Delete);  // module off, module stays current though not plotted
    EXPECT_FALSE(view.plot_curve[1]);
    EXPECT_EQ(c.current_curve, 1);
    key(Qt::Key_Insert);
    EXPECT_TRUE(view.plot_curve[1]);
    key(Qt::Key_F);
    key(Qt::Key_T);
    EXPECT_TRUE(view.plot_curve[2]);
    EXPECT_TRUE(view.plot_curve[3]);
    key(Qt::Key_G);
    key(Qt::Key_E);
    key(Qt::Key_B);
    EXPECT_TRUE(view.show_grid);
    EXPECT_FALSE(view.superpose_deviations);
    EXPECT_TRUE(view.readout_on_top);
    int shown = 0;
    form.show_sensitivities = [&] { ++shown; };
    key(Qt::Key_S);
    EXPECT_EQ(shown, 1);
}

// Q reaches the noise curve only while the sweep has noise sources.
TEST_F(ResponseWindow, QReachesTheNoiseWhileTheSweepHasIt) {
    for (bool noise : {false, true}) {
        analysis::NoiseSettings n;
        n.on = noise;
        analysis::prepare_noise(t->circuit, t->sweep, n);
        t->circuit.current_curve = 5;
        key(Qt::Key_Q);
        EXPECT_EQ(t->circuit.current_curve, noise ? analysis::q_noise : 1);
    }
    key(Qt::Key_Insert);
    key(Qt::Key_Up);
    EXPECT_TRUE(t->view.plot_curve[analysis::q_noise]);
    EXPECT_EQ(t->sweep.scale_min[analysis::q_noise], -140);
    key(Qt::Key_Q);
    EXPECT_EQ(t->circuit.current_curve, 1);
}

TEST_F(ResponseWindow, KeysReachTheFormThroughTheKeyboard) {
    QTest::keyClick(&form, Qt::Key_Q);
    EXPECT_EQ(t->circuit.current_curve, 2);
    QTest::keyClick(&form, Qt::Key_Period);
    EXPECT_EQ(t->sweep.cursor, 1);
}

TEST_F(ResponseWindow, DragRightAndDownZoomsAndResets) {
    const analysis::PlotGeometry g = geometry();
    const QImage before = form.PaintBox1->image().copy();
    const QPoint a(g.left + 100, 50), b(g.left + 300, 200);
    QTest::mousePress(form.PaintBox1, Qt::LeftButton, {}, a);
    QTest::mouseMove(form.PaintBox1, b);
    // The dotted red exclusive-or rectangle is on the picture while dragging.
    EXPECT_NE(form.PaintBox1->image(), before);
    const Real f0 = g.frequency_at(a.x()), f1 = g.frequency_at(b.x());
    const Real top = g.value_at(1, a.y()), bottom = g.value_at(1, b.y());
    const long long solved = t.solves();
    QTest::mouseRelease(form.PaintBox1, Qt::LeftButton, {}, b);
    EXPECT_NEAR(static_cast<double>(fmin() / f0), 1.0, 1e-12);
    EXPECT_NEAR(static_cast<double>(fmax() / f1), 1.0, 1e-12);
    EXPECT_NEAR(static_cast<double>(t->sweep.scale_max[1] - top), 0.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(t->sweep.scale_min[1] - bottom), 0.0, 1e-9);
    EXPECT_EQ(t.solves() - solved, 401);  // reset and swept again
}

// Narrow zooms: the limits printed under the axis and beside the module
// still differ, where three digits would show the same number.
TEST_F(ResponseWindow, LabelsStillDifferAfterANarrowZoom) {
    for (int zoom = 0; zoom < 3; ++zoom) {
        const analysis::PlotGeometry g = geometry();
        const QPoint a(g.left + 200, 100), b(g.left + 203, 103);
        QTest::mousePress(form.PaintBox1, Qt::LeftButton, {}, a);
        QTest::mouseMove(form.PaintBox1, b);
        QTest::mouseRelease(form.PaintBox1, Qt::LeftButton, {}, b);
    }
    const auto& sw = t->sweep;
    for (int k : {0, 1}) {
        const Real min = sw.scale_min[k], max = sw.scale_max[k];
        ASSERT_LT(min, max);
        auto three_digits = [](Real x) {
            return std::round(x / std::pow(Real(10), std::floor(std::log10(std::fabs(x))) - 2));
        };
        EXPECT_EQ(three_digits(min), three_digits(max)) << k;  // too narrow for three digits
        EXPECT_NE(analysis::scale_label(min, min, max), analysis::scale_label(max, min, max)) << k;
    }
}

TEST_F(ResponseWindow, DragUpOrLeftChangesNothingAndLeavesNoTrace) {
    const analysis::PlotGeometry g = geometry();
    const QImage before = form.PaintBox1->image().copy();
    const QPoint from(g.left + 300, 200);
    for (QPoint to : {QPoint(g.left + 100, 300), QPoint(g.left + 400, 100), QPoint(g.left + 300, 300)}) {
        QTest::mousePress(form.PaintBox1, Qt::LeftButton, {}, from);
        QTest::mouseMove(form.PaintBox1, QPoint(g.left + 350, 250));
        QTest::mouseMove(form.PaintBox1, to);
        QTest::mouseRelease(form.PaintBox1, Qt::LeftButton, {}, to);
        EXPECT_EQ(fmin(), 0.2L);
        EXPECT_EQ(fmax(), 5);
        EXPECT_EQ(form.PaintBox1->image(), before);
    }
}

TEST_F(ResponseWindow, RightClickPutsTheCursorUnderTheMouse) {
    const analysis::PlotGeometry g = geometry();
    int refreshed = 0;
    form.refresh_sensitivities = [&] { ++refreshed; };
    QTest::mouseClick(form.PaintBox1, Qt::RightButton, {}, QPoint(g.point_x(123), 100));
    EXPECT_EQ(t->sweep.cursor, 123);
    EXPECT_EQ(t->view.marker.x(), g.point_x(123));
    QTest::mouseClick(form.PaintBox1, Qt::RightButton, {}, QPoint(2, 100));
    EXPECT_EQ(t->sweep.cursor, 0);
    EXPECT_EQ(refreshed, 2);
    key(Qt::Key_Left);  // the cursor moves with the points
    EXPECT_EQ(t->sweep.cursor, 200);
    EXPECT_EQ(refreshed, 3);
}

TEST_F(ResponseWindow, AFatalErrorWhilePaintingGoesToTheFatalRoutineOnce) {
    t->settings.pivot_tolerance = 1e30L;  // every pivot is too small now
    analysis::reset_sweep(t->circuit, t->engine, t->sweep, t->log);
    form.repaint_plot();
    ASSERT_EQ(t.fatal.size(), 1u);
    EXPECT_TRUE(t->failed);
    form.repaint_plot();
    key(Qt::Key_Left);
    EXPECT_EQ(t.fatal.size(), 1u);
}

}  // namespace
}  // namespace moratw
