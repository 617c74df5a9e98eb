// The window "Desvios dos pólos ou zeros" after "Plotar desvios calculados":
// what it shows, its keys and its mouse zoom.
#include "analysis/polezero/form11.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/display/program.h"
#include "analysis/polezero/polezero_install.h"
#include "analysis/polezero/polezero_window.h"
#include "analysis/shell/main_window.h"
#include "analysis/shell/startup.h"
#include "common/textfile.h"

namespace moratw {
namespace {

namespace fs = std::filesystem;

// Series loop V1-R1-L1-C1 (poles of s² + s + 4) and, at node 2, the zeros
// of the shunt L1-C1: s = ±3j.
const char* const loop = "3\nV1 1 0 1\nR1 1 2 1\nL1 2 3 1\nC1 3 0 0.25\n";
const char* const loop_poles = "2\n-0.5 1.9364916731037084426\n-0.5 -1.9364916731037084426\n";
const char* const notch = "3\nV1 1 0 1\nR1 1 2 1\nL1 2 3 1\nC1 3 0 0.111111111111111111111\n";
const char* const notch_zeros = "2\n0 3\n0 -3\n";

class DeviationPlotWindow : public ::testing::Test {
protected:
    std::unique_ptr<Program> program = std::make_unique<Program>();
    suite::RecordingDialogSeam seam;
    suite::ScopedDialogSeam scoped{seam};
    std::unique_ptr<TForm10> form10;
    std::unique_ptr<TForm11> form;
    fs::path dir = fs::temp_directory_path() / ("form11_test_" + std::to_string(::getpid()));

    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override {
        form.reset();
        form10.reset();
        fs::remove_all(dir);
    }
    void open(const std::string& netlist, int output) {
        program->log = [](const std::string&) {};
        program->fatal_error = [](const std::string&) {};
        suite::TextScanner in(netlist);
        analysis::read_netlist(program->circuit, in, program->log);
        ASSERT_TRUE(analysis::start_analysis(program->circuit, program->engine, program->sweep,
                                             program->settings, output, output, program->log));
        program->netlist_base_name = (dir / "net").string();
        form10 = std::make_unique<TForm10>(*program);
        form = std::make_unique<TForm11>(*program, form10->pole_zero_set());
        form10->Form11 = form.get();
    }
    // "Plotar desvios calculados" with the file answered; the window drawn.
    void plot(bool poles, const std::string& file_text) {
        form10->setRGspzItemIndex(poles ? 0 : 1);
        const std::string path = (dir / (poles ? "net.r" : "net.z")).string();
        suite::write_text_file(path, suite::split_lines(file_text));
        seam.answer_file(QString::fromStdString(path));
        QTest::mouseClick(form10->Button5, Qt::LeftButton);
        ASSERT_TRUE(program->sweep.pz_valid);
        ASSERT_TRUE(form->isVisible());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
    }
    analysis::PoleZeroSet& set() { return form10->pole_zero_set(); }
    const QImage& image() { return form->PaintBox1->image(); }
    analysis::DeviationScene scene() {
        return {set(), program->netlist_base_name, form->rectangles, form->ellipses};
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(form.get(), k, m); }
    void expect_scales(double re, double im, double width) {
        EXPECT_NEAR(static_cast<double>(set().scales.min_re), re, 1e-12);
        EXPECT_NEAR(static_cast<double>(set().scales.min_im), im, 1e-12);
        EXPECT_NEAR(static_cast<double>(set().scales.width), width, 1e-12);
    }
};

TEST_F(DeviationPlotWindow, AZeroSetUpToThreeOpensOnTheSquareFromMinusFourToFour) {
    open(notch, 2);
    EXPECT_FALSE(form->isVisible());
    plot(false, notch_zeros);
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Desvios dos pólos ou zeros"));
    EXPECT_EQ(form->PaintBox1->size(), form->size());  // the paint box fills the window
    expect_scales(-4, -4, 8);
    EXPECT_EQ(set().current_entry, 1);
    const QStringList column = analysis::deviation_column_texts(scene());
    EXPECT_EQ(column.mid(0, 4),
              QStringList({"Re:-4.000E+0000", "    4.000E+0000", "Im:-4.000E+0000", "    4.000E+0000"}));
    EXPECT_EQ(column.value(4), "Rede: net");
    EXPECT_EQ(column.value(5), QString::fromUtf8("Nó 2"));
    // The selection square around entry 1, at the pixel of 3j.
    const auto m = analysis::deviation_mapping(form->PaintBox1->height(), set().scales);
    const QPoint at = m.pixel(0, 3);
    ASSERT_TRUE(form->marker.drawn);
    EXPECT_EQ(form->marker.at, at);
    EXPECT_EQ(image().pixelColor(at + QPoint(-6, 2)), QColor(Qt::red));
    EXPECT_EQ(image().pixelColor(at + QPoint(6, -2)), QColor(Qt::red));
}

TEST_F(DeviationPlotWindow, PlottingWithoutASetRunsTheComputationFirst) {
    open(loop, 3);
    QTest::mouseClick(form10->Button5, Qt::LeftButton);  // the file dialog cancelled
    EXPECT_EQ(seam.requests.size(), 1u);
    EXPECT_FALSE(form->isVisible());
    plot(true, loop_poles);
    EXPECT_EQ(seam.requests.size(), 2u);
    EXPECT_TRUE(form10->Memo1->toPlainText().startsWith("Polos no arquivo: "));
    expect_scales(-2, -2, 4);                                        // largest coordinate 1.94
    EXPECT_EQ(analysis::deviation_column_texts(scene()).size(), 5);  // no "Nó " line for poles
    // With the set complete the window is shown at once.
    form->hide();
    QTest::mouseClick(form10->Button5, Qt::LeftButton);
    EXPECT_EQ(seam.requests.size(), 2u);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form10->Button5->text(), "Plotar desvios calculados");
}

TEST_F(DeviationPlotWindow, KeysStepTheSelectionAndMoveTheSquare) {
    open(loop, 3);
    plot(true, loop_poles);
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers shift;
        int entry;
    };
    const Step steps[] = {{Qt::Key_Period, {}, 2}, {Qt::Key_Period, {}, 1},
                          {Qt::Key_Q, {}, 2},      {Qt::Key_Q, Qt::ShiftModifier, 1},
                          {Qt::Key_Clear, {}, 2},  {Qt::Key_Comma, {}, 1},
                          {Qt::Key_Comma, {}, 2},  {Qt::Key_A, {}, 2}};
    for (const Step& s : steps) {
        key(s.key, s.shift);
        EXPECT_EQ(set().current_entry, s.entry) << s.key;
    }
    expect_scales(-2, -2, 4);
    key(Qt::Key_Plus);
    expect_scales(-1, -1, 2);
    key(Qt::Key_Minus);
    expect_scales(-2, -2, 4);
    key(Qt::Key_Equal);
    expect_scales(-1, -1, 2);
    key(Qt::Key_Minus, Qt::KeypadModifier);
    key(Qt::Key_Left);
    expect_scales(-3, -2, 4);
    key(Qt::Key_Up);
    expect_scales(-3, -1, 4);
    key(Qt::Key_Right);
    key(Qt::Key_Down);
    expect_scales(-2, -2, 4);
    key(Qt::Key_Space);  // centred on entry 2
    expect_scales(-2.5, -1.9364916731037084426 - 2, 4);

    EXPECT_TRUE(form->rectangles && form->ellipses);
    key(Qt::Key_R);
    key(Qt::Key_E, Qt::ShiftModifier);
    EXPECT_FALSE(form->rectangles || form->ellipses);
    // The picture now holds the markers only: no yellow anywhere.
    int yellow = 0;
    for (int y = 0; y < form->PaintBox1->height(); ++y)
        for (int x = 0; x < form->PaintBox1->height() - 1; ++x)
            yellow += image().pixelColor(x, y) == QColor(Qt::yellow);
    EXPECT_EQ(yellow, 0);
}

TEST_F(DeviationPlotWindow, TheMouseZoomsIntoADraggedRectangle) {
    open(loop, 3);
    plot(true, loop_poles);
    form->resize(600, 401);  // a square of 400 pixels
    QCoreApplication::processEvents();
    ASSERT_EQ(form->PaintBox1->height(), 401);
    set().scales = {-2, -2, 4};
    form->PaintBox1->paint_now();
    const QImage before = image().copy();

    // A backward drag draws its rubber band, leaves no trace and changes nothing.
    form->PaintBox1MouseDown(50, 40);
    form->PaintBox1MouseMove(30, 30);
    EXPECT_NE(image(), before);
    form->PaintBox1MouseMove(10, 20);
    form->PaintBox1MouseUp(10, 20);
    EXPECT_EQ(image(), before);
    expect_scales(-2, -2, 4);

    form->PaintBox1MouseDown(10, 20);
    form->PaintBox1MouseMove(50, 40);
    form->PaintBox1MouseUp(50, 40);
    expect_scales(-1.9, 1.6, 0.4);
}

TEST_F(DeviationPlotWindow, AStaleSetHidesTheWindowAndIgnoresTheKeys) {
    open(loop, 3);
    plot(true, loop_poles);
    program->sweep.pz_valid = false;  // as after a new sweep
    key(Qt::Key_Period);
    key(Qt::Key_Plus);
    EXPECT_EQ(set().current_entry, 1);
    expect_scales(-2, -2, 4);
    form->PaintBox1->update();  // an expose of the window
    QTRY_VERIFY(!form->isVisible());
}

TEST(DeviationPlotWindowInstall, TheProgramGetsTheWindowOnThePoleZeroSet) {
    Moratw program;
    TForm10* form10 = install_pole_zero_window(program);
    auto* form11 = qobject_cast<TForm11*>(program.Form11);
    ASSERT_NE(form11, nullptr);
    EXPECT_EQ(program.Form1->Form11, form11);
    EXPECT_EQ(form10->Form11, form11);
    install_pole_zero_window(program);
    EXPECT_EQ(program.Form11, form11);
    EXPECT_FALSE(form11->isVisible());
}

}  // namespace
}  // namespace moratw
