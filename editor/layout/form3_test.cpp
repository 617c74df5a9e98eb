// The layout screen driven with keys and the mouse.
#include <QCheckBox>
#include <QLabel>

#include "editor/files/circuitfile.h"
#include "editor/layout/layout_paint.h"
#include "editor/main/plaxew_fixture.h"

namespace plaxew::testing {
namespace {

using editor::pack_point;

class LayoutScreen : public Plaxew {};

TEST_F(LayoutScreen, KeysPlaceElementsAtTheMouse) {
    open_layout();
    type_at(segment(65, 64, true), "r");
    ASSERT_EQ(circuit().count, 1);
    EXPECT_EQ(circuit().element[1].name, "R");
    EXPECT_EQ(circuit().element[1].P[1], 16705);
    EXPECT_EQ(circuit().element[1].P[2], 16449);
    EXPECT_TRUE(circuit().changed);
    type_at(segment(65, 64, true), "r");  // the same key twice: one element
    EXPECT_EQ(circuit().count, 1);
    type_at(segment(65, 64, true), "R");  // Shift: the other kind
    ASSERT_EQ(circuit().count, 2);
    EXPECT_EQ(circuit().element[2].name, "r");
    type_at(segment(66, 64, false), "q");  // horizontal: side step down
    ASSERT_EQ(circuit().count, 3);
    EXPECT_EQ(circuit().element[3].P[3], pack_point(67, 63));
    // A key with Ctrl never places; a three-terminal element is refused
    // on the rightmost column and the bottom row.
    QTest::keyClick(&layout(), Qt::Key_G, Qt::ControlModifier);
    type_at(segment(100, 70, true), "q");
    type_at(segment(70, 60, false), "a");
    EXPECT_EQ(circuit().count, 3);
    EXPECT_TRUE(new_lines().isEmpty());
}

TEST_F(LayoutScreen, LimitOfElementsIsReported) {
    open_layout();
    editor::Element wire;
    wire.kind = 55;
    wire.name = "-";
    for (int i = 0; i < editor::max_elements; ++i) editor::append_element(circuit(), wire);
    type_at(segment(65, 64, true), "c");
    EXPECT_EQ(circuit().count, editor::max_elements);
    EXPECT_EQ(new_lines(), QStringList{"Circuit size limit (4000 elements) reached."});
}

TEST_F(LayoutScreen, SpaceBackspaceAndDelete) {
    open_layout();
    type_at(segment(65, 64, true), "r");
    circuit().changed = false;
    QTest::keyClick(&layout(), Qt::Key_Space);  // two terminals: nothing
    EXPECT_EQ(circuit().element[1].P[1], 16705);
    EXPECT_FALSE(circuit().changed);
    QTest::keyClick(&layout(), Qt::Key_Backspace);
    EXPECT_EQ(circuit().element[1].P[1], 16449);
    EXPECT_EQ(circuit().element[1].P[2], 16705);
    EXPECT_TRUE(circuit().changed);
    type_at(segment(65, 64, true), "a");
    QTest::keyClick(&layout(), Qt::Key_Space);
    EXPECT_EQ(circuit().element[2].P[3], pack_point(64, 65));
    rec().view.x0 = 65;  // P1 on the window's left edge: not inverted
    point_at(segment(65, 64, true));
    QTest::keyClick(&layout(), Qt::Key_Space);
    EXPECT_EQ(circuit().element[2].P[3], pack_point(64, 65));
    rec().view.x0 = 60;
    point_at(segment(65, 64, true));
    QTest::keyClick(&layout(), Qt::Key_Space);
    EXPECT_EQ(circuit().element[2].P[3], pack_point(66, 65));
    QTest::keyClick(&layout(), Qt::Key_Delete);  // the topmost one goes
    ASSERT_EQ(circuit().count, 1);
    EXPECT_EQ(circuit().element[1].name, "R");
}

TEST_F(LayoutScreen, ParametersDialogValidatesAndUpperCases) {
    open_layout();
    type_at(segment(65, 64, true), "r");
    circuit().changed = false;
    // X1, R12345 and "R 1" refused (the dialog stays, each refusal naming
    // its reason), then R1234 accepted.
    form4_answers.push_back([](TForm4& f) {
        EXPECT_EQ(f.Lpar->text(), "Resistance");
        EXPECT_TRUE(f.isVisible());
        for (const char* name : {"X1", "R12345", "R 1"}) {
            f.Enome->setText(name);
            QTest::mouseClick(f.Button1, Qt::LeftButton);
        }
        f.Enome->setText("R1234");
        f.Eparametros->clear();
        QTest::keyClicks(f.Eparametros, "(rload*2)");
        QTest::keyClick(f.Eparametros, Qt::Key_Return);  // Enter applies too
    });
    QTest::keyClick(&layout(), Qt::Key_Return);
    EXPECT_EQ(form4_shown, 1);
    EXPECT_EQ(circuit().element[1].name, "R1234");
    EXPECT_EQ(circuit().element[1].parameters, "(RLOAD*2)");
    EXPECT_TRUE(circuit().changed);  // an applied edit is a change to save
    const QString refusal = "Invalid name. Wrong first letter or more than 5 letters";
    EXPECT_EQ(new_lines(), (QStringList{refusal, refusal, "Invalid name. Blanks are not allowed in a name"}));
    EXPECT_FALSE(main->Form4->isVisible());

    // Cancel changes nothing; the left button edits like Enter.
    circuit().changed = false;
    form4_answers.push_back([](TForm4& f) {
        f.Enome->setText("R9");
        f.Eparametros->setText("5");
        QTest::mouseClick(f.Button2, Qt::LeftButton);
    });
    QTest::mouseClick(layout().PaintBox1, Qt::LeftButton, {}, segment(65, 64, true));
    EXPECT_EQ(form4_shown, 2);
    EXPECT_EQ(circuit().element[1].name, "R1234");
    EXPECT_FALSE(circuit().changed);

    // Comments keep their case.
    type_at(segment(70, 70, false), "*");
    answer_parameters("*", "Filter (f=1e3)");
    QTest::keyClick(&layout(), Qt::Key_Return);
    EXPECT_EQ(circuit().element[2].parameters, "Filter (f=1e3)");
}

TEST_F(LayoutScreen, KindsWithoutParametersOpenNoDialog) {
    open_layout();
    type_at(segment(65, 64, true), "-");
    QTest::keyClick(&layout(), Qt::Key_Return);
    EXPECT_EQ(form4_shown, 0);
}

TEST_F(LayoutScreen, CtrlXEditsInTurnUntilTheFirstCancel) {
    open_layout();
    type_at(segment(61, 61, true), "r");
    type_at(segment(62, 61, true), "-");  // skipped: no parameters
    type_at(segment(63, 61, true), "c");
    type_at(segment(64, 61, true), "l");
    answer_parameters("R1", "10");
    form4_answers.push_back([](TForm4& f) { QTest::mouseClick(f.Button2, Qt::LeftButton); });
    answer_parameters("L1", "3");
    ctrl(Qt::Key_X);
    EXPECT_EQ(form4_shown, 2);
    EXPECT_EQ(circuit().element[1].name, "R1");
    EXPECT_EQ(circuit().element[3].name, "C");
    EXPECT_EQ(circuit().element[4].name, "L");
}

// What the circuit file would hold.
std::string circuit_file(const editor::Circuit& c) {
    std::string text;
    for (int i = 1; i <= c.count; ++i) text += editor::circuit_line(c.element[i]) + "\n";
    return text;
}

// Ctrl-E undoes and Ctrl-R redoes, and so do "Edit" -> "Undo" and "Redo"
// of the main window: placing, deleting, Parameters edits and block moves.
TEST_F(LayoutScreen, UndoAndRedoWithKeysAndTheEditMenu) {
    open_layout();
    const auto file = [this] { return circuit_file(circuit()); };
    const std::string empty = file();
    type_at(segment(62, 62, true), "r");
    const std::string one = file();
    type_at(segment(64, 62, true), "c");
    const std::string two = file();
    point_at(segment(62, 62, true));
    QTest::keyClick(&layout(), Qt::Key_Delete);
    const std::string three = file();
    ASSERT_EQ(circuit().count, 1);
    new_lines();
    ctrl(Qt::Key_E);
    EXPECT_EQ(file(), two);
    ctrl(Qt::Key_E);
    EXPECT_EQ(file(), one);
    ctrl(Qt::Key_R);
    EXPECT_EQ(file(), two);
    EXPECT_EQ(new_lines(), (QStringList{"Undo: Delete R", "Undo: Place C", "Redo: Place C"}));

    EXPECT_EQ(main->Undo1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    EXPECT_EQ(main->Redo1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    main->Undo1->trigger();
    main->Undo1->trigger();
    EXPECT_EQ(file(), empty);
    main->Undo1->trigger();
    for (int k = 0; k < 3; ++k) main->Redo1->trigger();
    EXPECT_EQ(file(), three);
    main->Redo1->trigger();
    EXPECT_EQ(new_lines(), (QStringList{"Undo: Place C", "Undo: Place R", "Nothing to undo.", "Redo: Place R",
                                        "Redo: Place C", "Redo: Delete R", "Nothing to redo."}));

    // A Parameters edit, then a block move, each undone alone.
    answer_parameters("C1", "2.2e-9");
    point_at(segment(64, 62, true));
    QTest::keyClick(&layout(), Qt::Key_Return);
    ASSERT_EQ(circuit().element[1].parameters, "2.2E-9");
    const std::string edited = file();
    point_at(segment(63, 60, true));
    ctrl(Qt::Key_B);
    point_at(segment(65, 63, true));
    ctrl(Qt::Key_B);
    const editor::Block marked = rec().view.block;
    point_at(segment(70, 70, true));
    ctrl(Qt::Key_V);
    ASSERT_NE(file(), edited);
    const editor::Block moved = rec().view.block;
    ASSERT_NE(moved.start, marked.start);
    new_lines();
    ctrl(Qt::Key_E);
    EXPECT_EQ(file(), edited);
    EXPECT_EQ(rec().view.block.start, marked.start);
    EXPECT_EQ(rec().view.block.end, marked.end);
    ctrl(Qt::Key_E);
    EXPECT_EQ(file(), three);
    ctrl(Qt::Key_R);
    ctrl(Qt::Key_R);
    EXPECT_EQ(rec().view.block.start, moved.start);
    EXPECT_EQ(new_lines(), (QStringList{"Undo: Move block", "Undo: Parameters of C1",
                                        "Redo: Parameters of C1", "Redo: Move block"}));
}

// Space, Backspace, block copies and deletions and Ctrl-L are undone one
// by one back to the circuit they began with.
TEST_F(LayoutScreen, EveryKeyEditIsUndoneInTurn) {
    open_layout();
    type_at(segment(64, 62, true), "e");
    const std::string start = circuit_file(circuit());
    QTest::keyClick(&layout(), Qt::Key_Space);
    QTest::keyClick(&layout(), Qt::Key_Backspace);
    point_at(segment(62, 60, true));
    ctrl(Qt::Key_B);
    point_at(segment(66, 63, true));
    ctrl(Qt::Key_B);
    point_at(segment(70, 70, true));
    ctrl(Qt::Key_C);
    seam.answers = {suite::Answer::yes, suite::Answer::yes};
    ctrl(Qt::Key_Y);
    ctrl(Qt::Key_L);
    ASSERT_EQ(circuit().count, 0);
    new_lines();
    for (int k = 0; k < 6; ++k) ctrl(Qt::Key_E);
    EXPECT_EQ(new_lines(), (QStringList{"Undo: Erase all", "Undo: Delete block", "Undo: Copy block",
                                        "Undo: Reflect E", "Undo: Invert E", "Undo: Place E"}));
    EXPECT_EQ(circuit_file(circuit()), "");
    ctrl(Qt::Key_R);
    EXPECT_EQ(circuit_file(circuit()), start);
}

// The Parameters field opens with its text selected, so typing replaces
// it; a word that is not a number where the analysis program reads one is
// refused there, and the dialog stays for another try. A transistor's
// model name is its own business.
TEST_F(LayoutScreen, ParametersFieldIsSelectedAndRefusesWordsThatAreNotNumbers) {
    open_layout();
    type_at(segment(65, 64, true), "r");
    circuit().changed = false;
    form4_answers.push_back([](TForm4& f) {
        EXPECT_EQ(f.Eparametros->selectedText(), "1");
        QTest::keyClicks(f.Eparametros, "47k");
        EXPECT_EQ(f.Eparametros->text(), "47k");
        QTest::keyClick(f.Eparametros, Qt::Key_Return);
        EXPECT_FALSE(f.answered());
        EXPECT_EQ(f.Lmessage->text(), "Invalid parameters. Not a number: 47K (no unit letters: 1E3, 2.2E-9)");
        EXPECT_EQ(f.Eparametros->selectedText(), "47k");  // ready to be typed anew
        f.Enome->setText("X");
        QTest::mouseClick(f.Button1, Qt::LeftButton);
        EXPECT_EQ(f.Lmessage->text(), "Invalid name. Wrong first letter or more than 5 letters");
        EXPECT_EQ(f.Enome->selectedText(), "X");
        f.Enome->setText("R");
        f.Eparametros->setText("47e3 ");
        QTest::keyClicks(f.Eparametros, "x");  // the left-over word is named
        QTest::mouseClick(f.Button1, Qt::LeftButton);
        EXPECT_FALSE(f.answered());
        f.Eparametros->setText("47e3");
        QTest::mouseClick(f.Button1, Qt::LeftButton);
    });
    QTest::keyClick(&layout(), Qt::Key_Return);
    EXPECT_EQ(form4_shown, 1);
    EXPECT_EQ(circuit().element[1].parameters, "47E3");
    EXPECT_EQ(new_lines(),
              (QStringList{"Invalid parameters. Not a number: 47K (no unit letters: 1E3, 2.2E-9)",
                           "Invalid name. Wrong first letter or more than 5 letters",
                           "Invalid parameters. Not a number: X (no unit letters: 1E3, 2.2E-9)"}));
    // The next dialog opens without the old refusal.
    form4_answers.push_back([](TForm4& f) {
        EXPECT_EQ(f.Lmessage->text(), "");
        QTest::mouseClick(f.Button2, Qt::LeftButton);
    });
    QTest::keyClick(&layout(), Qt::Key_Return);
    EXPECT_TRUE(circuit().changed);

    type_at(segment(70, 64, true), "q");
    answer_parameters("Q1", "bc547");
    QTest::keyClick(&layout(), Qt::Key_Return);
    EXPECT_EQ(circuit().element[2].parameters, "BC547");
    EXPECT_TRUE(new_lines().isEmpty());
}

TEST_F(LayoutScreen, BlocksWithKeys) {
    open_layout();
    type_at(segment(65, 65, true), "r");
    // Mark from (64,64) to (66,67): Ctrl-B, move, Ctrl-B.
    point_at(segment(64, 63, true));
    ctrl(Qt::Key_B);
    point_at(segment(66, 66, true));
    ctrl(Qt::Key_B);
    EXPECT_EQ(rec().view.block.state, 2);
    EXPECT_EQ(rec().view.block.start, pack_point(64, 64));
    EXPECT_EQ(rec().view.block.end, pack_point(66, 67));

    point_at(segment(70, 69, true));  // cursor's second point (70,70)
    ctrl(Qt::Key_C);
    ASSERT_EQ(circuit().count, 2);
    EXPECT_EQ(circuit().element[2].P[2], pack_point(71, 71));
    EXPECT_EQ(circuit().element[2].P[1], pack_point(71, 72));
    point_at(segment(80, 69, true));
    ctrl(Qt::Key_V);
    EXPECT_EQ(circuit().element[2].P[2], pack_point(81, 71));
    EXPECT_EQ(circuit().element[1].P[2], pack_point(65, 65));
    point_at(segment(80, 70, true));  // onto itself, one step up
    ctrl(Qt::Key_C);
    EXPECT_EQ(new_lines(), QStringList{"Block overlaps elements."});
    ctrl(Qt::Key_V);
    EXPECT_TRUE(new_lines().isEmpty());
    EXPECT_EQ(circuit().element[2].P[2], pack_point(81, 72));

    seam.answers = {suite::Answer::no, suite::Answer::yes};
    ctrl(Qt::Key_Y);
    EXPECT_EQ(circuit().count, 2);
    ctrl(Qt::Key_Y);
    EXPECT_EQ(circuit().count, 1);
    EXPECT_EQ(seam.questions, (QStringList{"Delete block?", "Delete block?"}));
    ctrl(Qt::Key_B);  // removed
    ctrl(Qt::Key_C);
    ctrl(Qt::Key_Y);
    EXPECT_EQ(new_lines(), (QStringList{"No block marked.", "No block marked"}));
}

TEST_F(LayoutScreen, BlockRectangleIsExclusiveOr) {
    open_layout();
    const QImage before = layout().PaintBox1->image().copy();
    point_at(segment(64, 63, true));
    ctrl(Qt::Key_B);
    point_at(segment(68, 66, true));
    EXPECT_NE(layout().PaintBox1->image(), before);
    ctrl(Qt::Key_B);
    ctrl(Qt::Key_B);
    EXPECT_EQ(layout().PaintBox1->image(), before);
}

TEST_F(LayoutScreen, EraseAllAsksAndLeavesTheChangedFlag) {
    open_layout();
    type_at(segment(65, 64, true), "r");
    circuit().changed = false;
    seam.answers = {suite::Answer::no, suite::Answer::yes};
    ctrl(Qt::Key_L);
    EXPECT_EQ(circuit().count, 1);
    ctrl(Qt::Key_L);
    EXPECT_EQ(circuit().count, 0);
    EXPECT_FALSE(circuit().changed);
    EXPECT_EQ(seam.questions.back(), "Erase all the circuit?");
}

TEST_F(LayoutScreen, ZoomKeysWheelAndColours) {
    open_layout();
    for (const int z : {2, 3, 4, 5, 1}) {
        ctrl(Qt::Key_S);
        EXPECT_EQ(rec().view.zoom, z);
    }
    // The wheel at (200, 380): one step in, then out again.
    rec().view.x0 = 40;
    rec().view.y0 = 50;
    layout().repaint_layout();
    point_at({200, 380});
    QWheelEvent up(QPointF(200, 380), layout().PaintBox1->mapToGlobal(QPointF(200, 380)), {}, {0, 120},
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(layout().PaintBox1, &up);
    EXPECT_EQ(rec().view.zoom, 2);
    EXPECT_EQ(rec().view.x0, 40 + (200 / 16 + 1) / 2);
    EXPECT_EQ(rec().view.y0, 50 + ((480 - 380) / 16 + 1) / 2);
    // A touchpad's notch in four parts is one step.
    for (int part = 0; part < 4; ++part) {
        QWheelEvent down(QPointF(200, 380), layout().PaintBox1->mapToGlobal(QPointF(200, 380)), {}, {0, -30},
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(layout().PaintBox1, &down);
        EXPECT_EQ(rec().view.zoom, part < 3 ? 2 : 1);
    }

    const QColor black(0, 0, 0), white(255, 255, 255);
    EXPECT_EQ(layout().PaintBox1->image().pixelColor(5, 5), black);
    ctrl(Qt::Key_I);
    EXPECT_EQ(layout().PaintBox1->image().pixelColor(5, 5), white);
    ctrl(Qt::Key_I);
    EXPECT_EQ(layout().PaintBox1->image().pixelColor(5, 5), black);
}

TEST_F(LayoutScreen, GridOfSilverSquares) {
    open_layout(2);  // 20 by 15 cells of 32 pixels
    const QImage& img = layout().PaintBox1->image();
    const QColor silver(192, 192, 192);
    EXPECT_EQ(img.pixelColor(32, 64), silver);
    EXPECT_EQ(img.pixelColor(33, 65), silver);
    EXPECT_EQ(img.pixelColor(34, 64), QColor(0, 0, 0));
    main->Grid1Click();  // with vectors above zoom 1 the grid goes
    EXPECT_EQ(layout().PaintBox1->image().pixelColor(32, 64), QColor(0, 0, 0));
}

TEST_F(LayoutScreen, RightButtonCentresAndCtrlACentresTheCircuit) {
    open_layout();
    QTest::mouseClick(layout().PaintBox1, Qt::RightButton, {}, segment(70, 75, false));
    EXPECT_EQ(rec().view.x0, 70 - 20);
    EXPECT_EQ(rec().view.y0, 75 - 15);
    type_at(segment(60, 70, true), "r");
    type_at(segment(70, 70, true), "r");
    ctrl(Qt::Key_A);
    // X from 160 to 320, Y from 304 to 320, 40 by 30 cells.
    EXPECT_EQ(rec().view.x0, (240 + 16 * 50 - 8 * 40) / 16);
    EXPECT_EQ(rec().view.y0, (480 - 312 + 16 * 60 - 8 * 30) / 16);
}

TEST_F(LayoutScreen, EscFramesTheParameterText) {
    open_layout(2);
    type_at(segment(65, 64, true), "r");
    const QImage before = layout().PaintBox1->image().copy();
    QTest::keyClick(&layout(), Qt::Key_Escape);
    const QImage& after = layout().PaintBox1->image();
    EXPECT_NE(after, before);
    // The symbol turns green.
    bool green = false;
    for (int y = 0; y < after.height() && !green; ++y)
        for (int x = 0; x < after.width() && !green; ++x) green = after.pixelColor(x, y) == QColor(0, 255, 0);
    EXPECT_TRUE(green);
    ctrl(Qt::Key_K);  // redraw: gone
    EXPECT_EQ(layout().PaintBox1->image(), before);
}

TEST_F(LayoutScreen, ConnectionsAreDrawnUntilTheNextRedraw) {
    open_layout();
    type_at(segment(62, 62, true), "1");
    type_at(segment(70, 66, true), "1");
    const QImage before = layout().PaintBox1->image().copy();
    ctrl(Qt::Key_W);
    EXPECT_NE(layout().PaintBox1->image(), before);
    ctrl(Qt::Key_K);
    EXPECT_EQ(layout().PaintBox1->image(), before);
}

TEST_F(LayoutScreen, ValueListKeys) {
    open_layout();
    ctrl(Qt::Key_T);
    EXPECT_EQ(new_lines(), QStringList{"* No active value list."});
    rec().values.count = 1;
    rec().values.entry[1] = {"RA", 1000};
    ctrl(Qt::Key_T);
    EXPECT_EQ(new_lines(), (QStringList{"Value list:", "RA: 1E+3", "--//--"}));
    ctrl(Qt::Key_U);
    ASSERT_EQ(seam.requests.size(), 1);
    EXPECT_EQ(seam.requests[0].filter_index, 2);
    EXPECT_EQ(seam.requests[0].default_ext, "val");
}

}  // namespace
}  // namespace plaxew::testing
