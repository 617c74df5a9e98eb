// The main window: files, options, reports, closing and netlist generation.
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTimer>
#include <QWindow>

#include "editor/files/circuitfile.h"
#include "editor/files/testdir.h"
#include "editor/formula/formula_dialogs.h"
#include "editor/main/form2.h"
#include "editor/main/form6.h"
#include "editor/main/main_text.h"
#include "editor/main/plaxew_fixture.h"
#include "editor/netlist/netlist.h"

namespace plaxew::testing {
namespace {

using editor::testing::TestDir;

class MainWindow : public Plaxew {};

TEST_F(MainWindow, StartsWithItsTitleAndThreeLines) {
    EXPECT_EQ(main->windowTitle(), "Plaxe");
    EXPECT_EQ(layout().windowTitle(), "Layout screen");
    EXPECT_EQ(main->message_lines().mid(0, 3),
              (QStringList{"Plaxe for Windows", "Schematic circuit editor and netlist generator", ""}));
    const QPalette pal = main->Memo1->palette();
    EXPECT_EQ(pal.color(QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(pal.color(QPalette::Text), QColor(Qt::white));
    EXPECT_TRUE(QFontInfo(main->Memo1->font()).fixedPitch());
    EXPECT_EQ(main->Memo1->font().pixelSize(), 13);
    EXPECT_TRUE(main->Memo1->isReadOnly());
}

TEST_F(MainWindow, ClosingWithUnsavedChangesAsks) {
    main->show();
    circuit().changed = true;
    QCloseEvent refused;
    QApplication::sendEvent(main.get(), &refused);  // answered No
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_EQ(seam.ended, 0);
    EXPECT_EQ(seam.questions, QStringList{"Circuit changed. Exit anyway?"});
    seam.answers = {suite::Answer::yes};
    QCloseEvent again;
    QApplication::sendEvent(main.get(), &again);
    EXPECT_EQ(seam.ended, 1);

    circuit().changed = false;  // unchanged: closes without a question
    QCloseEvent normal;
    QApplication::sendEvent(main.get(), &normal);
    EXPECT_TRUE(normal.isAccepted());
    EXPECT_EQ(seam.ended, 2);
    EXPECT_EQ(seam.questions.size(), 2);
}

TEST_F(MainWindow, ExitAsksOnlyWhenChanged) {
    main->Exit1Click();
    EXPECT_EQ(seam.ended, 1);
    EXPECT_TRUE(seam.questions.isEmpty());
    circuit().changed = true;
    main->Exit1Click();
    EXPECT_EQ(seam.ended, 1);
    // An applied Parameters edit is a change: Exit asks before it is lost.
    circuit().changed = false;
    open_layout();
    type_at(segment(65, 64, true), "r");
    circuit().changed = false;
    answer_parameters("R1", "2e3");
    QTest::keyClick(&layout(), Qt::Key_Return);
    main->Exit1Click();
    EXPECT_EQ(seam.questions.back(), "Circuit changed. Exit anyway?");
    EXPECT_EQ(seam.ended, 1);
}

TEST_F(MainWindow, MissingFileOnTheCommandLine) {
    TestDir dir;
    main->set_start_file(QString::fromStdString(dir.path("absent")));
    main->FormActivate();
    main->FormActivate();  // once only
    EXPECT_EQ(new_lines(), QStringList{"New file"});
    EXPECT_EQ(circuit().count, 0);
    EXPECT_TRUE(layout().isVisible());
    EXPECT_EQ(layout().windowTitle().toStdString(), dir.path("absent"));
    EXPECT_EQ(rec().view.x0, 64);
    EXPECT_EQ(rec().view.y0, 64);
}

TEST_F(MainWindow, FilesThroughTheDialogs) {
    TestDir dir;
    const std::string path = dir.write("rc.cir", "R1 16705 16449 1k\r\nC 16706 16450 1\r\n");
    circuit().changed = true;
    seam.answer_file(QString::fromStdString(path));
    main->Readcircuit1Click();  // answered No: nothing read
    EXPECT_EQ(circuit().count, 0);
    seam.answers = {suite::Answer::yes};
    main->Readcircuit1Click();
    ASSERT_EQ(seam.requests.size(), 1);
    const suite::FileRequest open = seam.requests[0];
    EXPECT_EQ(open.filter, "Plaxe circuit files|*.cir|Value lists|*.val");
    EXPECT_EQ(open.filter_index, 1);
    EXPECT_EQ(open.default_ext, "cir");
    EXPECT_TRUE(open.must_exist);
    EXPECT_EQ(circuit().count, 2);
    EXPECT_FALSE(circuit().changed);
    EXPECT_EQ(layout().windowTitle().toStdString(), dir.path("rc"));
    EXPECT_EQ(new_lines(), (QStringList{"Reading file " + QString::fromStdString(path), "2 elements read"}));
    EXPECT_EQ(rec().view.x0, 64);  // the drawing at (65, 64) is in view
    EXPECT_EQ(rec().view.y0, 64);

    seam.answer_file(QString::fromStdString(dir.path("copy.cir")));
    main->Savecircuit1Click();
    const suite::FileRequest save = seam.requests[1];
    EXPECT_EQ(save.filter, "Plaxe circuit files|*.cir|Plaxe netlist files|*.net");
    EXPECT_EQ(save.filter_index, 1);
    EXPECT_EQ(save.default_ext, "cir");
    EXPECT_EQ(save.file_name.toStdString(), dir.path("rc"));
    EXPECT_EQ(dir.read("copy.cir"), "R1 16705 16449 1k\r\nC 16706 16450 1\r\n");
    EXPECT_EQ(layout().windowTitle().toStdString(), dir.path("copy"));

    dir.write("copy.val", "RA 1e3\n");
    seam.answer_file(QString::fromStdString(dir.path("copy.val")));
    main->Readvaluelist1Click();
    const suite::FileRequest val = seam.requests[2];
    EXPECT_EQ(val.filter_index, 2);
    EXPECT_EQ(val.default_ext, "val");
    EXPECT_EQ(val.file_name.toStdString(), dir.path("copy") + ".val");
    EXPECT_EQ(rec().values.count, 1);

    // A drawing far from (64, 64) is centred so that it shows.
    const std::string far = dir.write("far.cir", "R1 770 514 1\r\n");  // (2,3) to (2,2)
    seam.answer_file(QString::fromStdString(far));
    main->Readcircuit1Click();
    EXPECT_TRUE(editor::any_element_visible(circuit(), rec().view));
    EXPECT_EQ(rec().view.x0, 0);

    // A malformed number: the platform's error box; what was read stays.
    const std::string bad = dir.write("bad.cir", "R1 16705 16449 1\r\nC1 x 2\r\n");
    seam.answer_file(QString::fromStdString(bad));
    main->Readcircuit1Click();
    EXPECT_EQ(seam.errors.size(), 1);
    EXPECT_EQ(circuit().count, 1);
}

// A window manager puts a window that is shown again without a place of
// its own wherever it likes; here, at the top left corner. The layout
// screen, moved and resized by the user, comes back where it was after
// every Read circuit (which closes and reopens it).
TEST_F(MainWindow, ReadingKeepsTheLayoutScreenWhereItWas) {
    struct PlacingWindowManager : QObject {
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() == QEvent::Hide)
                if (QWindow* w = static_cast<QWidget*>(o)->windowHandle()) w->setFramePosition(QPoint(0, 0));
            return false;
        }
    } manager;
    TestDir dir;
    const std::string path = dir.write("rc.cir", "R1 16705 16449 1k\r\n");
    open_layout();
    // The user drags and resizes the window: the window system tells the
    // program, which asked for neither.
    QWindow* w = layout().windowHandle();
    ASSERT_NE(w, nullptr);
    w->setFramePosition(QPoint(300, 200));
    w->resize(700, 520);
    QTRY_COMPARE(layout().frameGeometry().topLeft(), QPoint(300, 200));
    QTRY_COMPARE(layout().size(), QSize(700, 520));
    layout().installEventFilter(&manager);
    for (int i = 0; i < 2; ++i) {
        seam.answer_file(QString::fromStdString(path));
        main->Readcircuit1Click();
        QCoreApplication::processEvents();
        EXPECT_TRUE(layout().isVisible());
        EXPECT_EQ(layout().frameGeometry().topLeft(), QPoint(300, 200));
        EXPECT_EQ(layout().size(), QSize(700, 520));
        EXPECT_EQ(w->framePosition(), QPoint(300, 200));
    }
    // Closed by the user and opened again from the menu: the same.
    layout().close();
    main->Openeditorwindow1Click();
    QCoreApplication::processEvents();
    EXPECT_EQ(layout().frameGeometry().topLeft(), QPoint(300, 200));
    EXPECT_EQ(layout().size(), QSize(700, 520));
}

// A circuit read anew has no edits to undo and no marked block; nor has
// a new circuit.
TEST_F(MainWindow, ReadingForgetsTheEditsAndTheMarkedBlock) {
    TestDir dir;
    const std::string path = dir.write("rc.cir", "R1 16705 16449 1E3\r\n");
    open_layout();
    type_at(segment(62, 62, true), "c");
    point_at(segment(61, 60, true));
    ctrl(Qt::Key_B);
    point_at(segment(63, 63, true));
    ctrl(Qt::Key_B);
    ASSERT_EQ(rec().view.block.state, 2);
    seam.answers = {suite::Answer::yes};
    seam.answer_file(QString::fromStdString(path));
    main->Readcircuit1Click();
    ASSERT_EQ(circuit().count, 1);
    EXPECT_EQ(rec().view.block.state, 0);
    new_lines();
    ctrl(Qt::Key_E);
    ctrl(Qt::Key_R);
    EXPECT_EQ(new_lines(), (QStringList{"Nothing to undo.", "Nothing to redo."}));
    ASSERT_EQ(circuit().count, 1);
    EXPECT_EQ(editor::circuit_line(circuit().element[1]), "R1 16705 16449 1E3");

    point_at(segment(70, 70, true));
    QTest::keyClick(&layout(), Qt::Key_Delete);  // nothing there
    type_at(segment(62, 62, true), "c");
    ctrl(Qt::Key_B);
    point_at(segment(63, 63, true));
    ctrl(Qt::Key_B);
    seam.answers = {suite::Answer::yes};
    main->Newcircuit1Click();
    EXPECT_EQ(rec().view.block.state, 0);
    new_lines();
    ctrl(Qt::Key_E);
    EXPECT_EQ(new_lines(), (QStringList{"Nothing to undo."}));
    EXPECT_EQ(circuit().count, 0);
}

TEST_F(MainWindow, NewCircuit) {
    circuit().count = 3;
    circuit().changed = true;
    main->Newcircuit1Click();  // No
    EXPECT_EQ(circuit().count, 3);
    seam.answers = {suite::Answer::yes};
    main->Newcircuit1Click();
    EXPECT_EQ(seam.questions,
              (QStringList{"Circuit changed. Edit another?", "Circuit changed. Edit another?"}));
    EXPECT_EQ(circuit().count, 0);
    EXPECT_EQ(circuit().name, "new");
    EXPECT_FALSE(circuit().changed);
    EXPECT_EQ(layout().windowTitle(), "new");
    EXPECT_EQ(new_lines(), QStringList{"New file"});
}

TEST_F(MainWindow, OptionsPrintTheirMessagesEveryTime) {
    struct Row {
        void (TForm1::*handler)();
        const char* on;
        const char* off;
        bool initially;
    };
    const Row rows[] = {
        {&TForm1::Savecommentsinnetlist1Click, "Comments will be saved in the netlist.",
         "Comments will not be saved in the netlist.", false},
        {&TForm1::Vectordrawings1Click, "Vector drawings will be used.", "Bitmap drawings will be used.",
         true},
        {&TForm1::Grid1Click, "The grid will allways be drawn.",
         "No grid will be drawn with vector drawings and zoom>1.", true},
        {&TForm1::hinlines1Click, "Thin lines will be used.",
         "Lines proportional to the zoom level will be used.", false},
    };
    EXPECT_FALSE(layout().isVisible());
    for (const Row& r : rows) {
        (main.get()->*r.handler)();
        (main.get()->*r.handler)();
        (main.get()->*r.handler)();
        const QString first = r.initially ? r.off : r.on, second = r.initially ? r.on : r.off;
        EXPECT_EQ(new_lines(), (QStringList{first, second, first}));
    }
    EXPECT_TRUE(main->Savecommentsinnetlist1->isChecked());
    EXPECT_FALSE(main->Vectordrawings1->isChecked());
    EXPECT_TRUE(rec().view.options.thin_lines);
    EXPECT_FALSE(rec().view.options.grid_always);
}

TEST_F(MainWindow, InformationsHelpAndAbout) {
    open_layout();
    circuit().name = "filter";
    rec().values.count = 2;
    type_at(segment(65, 64, true), "r");
    main->Informations1Click();
    EXPECT_EQ(
        new_lines(),
        (QStringList{"Program status:", "Circuit name: filter", "Number of elements: 1 (max=4000)",
                     "Elements in the value list: 2 (max=200)", "Screen limits: X: 60 to 100 Y: 60 to 90"}));
    main->Functions1Click();
    const QStringList help = new_lines();
    ASSERT_EQ(help.size(), 44);
    EXPECT_EQ(help[3], "RrLlCcNKXGg#&/!%@>)(}{][QqMmWwJjAaEFHBYSs$PpOoTUDdZIV=-\\+0..9.*");
    EXPECT_EQ(help[12], "Left mouse/Enter: Edit parameters of element under cursor.");
    EXPECT_EQ(help[32], "Ctrl-Z: List components.");
    EXPECT_EQ(help[33], "Ctrl-E: Undo the last edit (up to 100 edits back).");
    EXPECT_EQ(help[34], "Ctrl-R: Redo the edit undone last.");
    EXPECT_EQ(help.last(), "Formulas assigned with \"=\" must be between parenthesis.");
    main->About1Click();
    EXPECT_TRUE(main->Form6->isVisible());
    EXPECT_EQ(main->Form6->Label1->text(), "Plaxe for Windows");
    EXPECT_EQ(main->Form6->Lversion->text(), "Version 2.0a of 22/9/2018");
}

TEST_F(MainWindow, ChangeFontReachesTheLayoutText) {
    const std::string before = rec().font_family;
    EXPECT_FALSE(before.empty());
    main->choose_font = [](const QFont&) { return std::optional<QFont>(QFont("DejaVu Serif")); };
    main->Font1Click();
    EXPECT_EQ(rec().font_family, "DejaVu Serif");
    main->choose_font = [](const QFont&) { return std::optional<QFont>(); };  // cancelled
    main->Font1Click();
    EXPECT_EQ(rec().font_family, "DejaVu Serif");
}

TEST_F(MainWindow, MessageWindowAnswersYesAndNo) {
    TForm2& f = *main->Form2;
    EXPECT_EQ(f.windowTitle(), "Message");
    bool yes = true;
    QObject::connect(&f, &TForm2::shown, [&] {
        EXPECT_EQ(f.Label1->text(), "Delete block?");
        QTest::mouseClick(yes ? f.Button1 : f.Bno, Qt::LeftButton);
    });
    EXPECT_TRUE(f.ask("Delete block?"));
    yes = false;
    EXPECT_FALSE(f.ask("Delete block?"));
    MessageSeam real(f);
    yes = true;
    EXPECT_EQ(real.ask(nullptr, "Message", "Delete block?", false), suite::Answer::yes);
}

// The keys on the "Message" window, sent where the keyboard sends them (to
// the focused button, from which unhandled keys go on to the window).
// Every question opens alike, with "No" marked and focused, whatever the
// previous answer was.
TEST_F(MainWindow, MessageWindowKeys) {
    TForm2& f = *main->Form2;
    QList<Qt::Key> keys;
    int opened = 0;
    QObject::connect(&f, &TForm2::shown, [&] {
        QTimer::singleShot(0, &f, [&] {
            ++opened;
            EXPECT_TRUE(f.isVisible());
            EXPECT_EQ(f.focusWidget(), f.Bno);
            EXPECT_TRUE(f.Bno->isDefault());
            EXPECT_FALSE(f.Button1->isDefault());
            for (const Qt::Key k : keys) QTest::keyClick(f.focusWidget() ? f.focusWidget() : &f, k);
            if (f.isVisible()) {  // left unanswered: the test must not hang
                ADD_FAILURE() << "no answer";
                f.BnoClick();
            }
        });
    });
    struct Row {
        QList<Qt::Key> keys;
        bool yes;
    };
    const Row rows[] = {
        {{Qt::Key_Return}, false},
        {{Qt::Key_Tab, Qt::Key_Return}, true},  // Tab moves the mark to "Yes"
        {{Qt::Key_Space}, false},               // after a Yes: "No" focused again
        {{Qt::Key_Tab, Qt::Key_Space}, true},
        {{Qt::Key_Enter}, false},
        {{Qt::Key_Escape}, false},
        {{Qt::Key_Tab, Qt::Key_Escape}, false},
        {{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return}, false},
    };
    for (const Row& r : rows) {
        keys = r.keys;
        EXPECT_EQ(f.ask("Circuit changed. Exit anyway?"), r.yes) << "question " << opened + 1;
        EXPECT_FALSE(f.isVisible());
    }
    EXPECT_EQ(opened, static_cast<int>(std::size(rows)));
}

// Ctrl-L on the layout screen asks in the Message window over the layout
// screen; Return keeps the circuit, and the keys go to the layout screen
// again afterwards.
TEST_F(MainWindow, EraseAllIsRefusedByReturn) {
    MessageSeam real(*main->Form2);
    suite::ScopedDialogSeam scoped_real(real);
    main->show();
    main->move(700, 500);  // away from the layout screen
    open_layout();
    layout().move(0, 0);
    type_at(segment(65, 64, true), "r");
    layout().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&layout()));
    QPoint asked_at;
    QList<Qt::Key> keys{Qt::Key_Return};
    QObject::connect(main->Form2, &TForm2::shown, [&] {
        QTimer::singleShot(0, main->Form2, [&] {
            asked_at = main->Form2->frameGeometry().center();
            for (const Qt::Key k : keys) {
                QWidget* focused = main->Form2->focusWidget();
                QTest::keyClick(focused ? focused : main->Form2, k);
            }
        });
    });
    ctrl(Qt::Key_L);
    EXPECT_EQ(circuit().count, 1);
    EXPECT_TRUE(layout().frameGeometry().contains(asked_at));
    EXPECT_TRUE(QTest::qWaitForWindowActive(&layout()));
    keys = {Qt::Key_Tab, Qt::Key_Return};
    ctrl(Qt::Key_L);
    EXPECT_EQ(circuit().count, 0);
}

TEST_F(MainWindow, TestFormulasDialog) {
    main->Testparameters1Click();
    TForm5& f = *main->Form5;
    EXPECT_EQ(f.windowTitle(), "Test for parameters or formulas");
    EXPECT_EQ(f.Eformula->text(), "(1+(1+1)*(2+2)) (x=1) (SIN(x)^2+COS(x)^2) text");
    EXPECT_EQ(f.Eformula->maxLength(), 100);
    QTest::mouseClick(f.Bapply, Qt::LeftButton);
    EXPECT_EQ(new_lines(), (QStringList{"Original expression: (1+(1+1)*(2+2)) (x=1) (SIN(x)^2+COS(x)^2) text",
                                        "X=1 created", "Reduced expression:  9 1 1 text"}));
    QTest::mouseClick(f.Bapply, Qt::LeftButton);
    EXPECT_EQ(new_lines()[1], "X=1");
}

// Draws the documented RC example with keys and the mouse, names and
// values through the Parameters dialog, and generates its netlist.
class Generation : public Plaxew {
protected:
    void draw_rc() {
        open_layout();
        type_at(segment(62, 62, true), "v");
        type_at(segment(62, 63, false), "r");
        type_at(segment(63, 62, true), "c");
        type_at(segment(62, 61, true), "=");
        type_at(segment(63, 61, true), "=");
        type_at(segment(70, 70, false), ".");
        answer_parameters("R", "1e3");
        QTest::mouseClick(layout().PaintBox1, Qt::LeftButton, {}, segment(62, 63, false));
        answer_parameters("C", "1e-6");
        QTest::mouseClick(layout().PaintBox1, Qt::LeftButton, {}, segment(63, 62, true));
        answer_parameters(".", "ac");
        QTest::mouseClick(layout().PaintBox1, Qt::LeftButton, {}, segment(70, 70, false));
        ASSERT_EQ(circuit().count, 6);
        new_lines();
    }
};

TEST_F(Generation, KeysAndMouseToTheNetlistFile) {
    TestDir dir;
    draw_rc();
    circuit().name = dir.path("rc");
    seam.answer_file(QString::fromStdString(dir.path("rc.net")), 2);
    ctrl(Qt::Key_Q);
    ASSERT_EQ(seam.requests.size(), 1);
    EXPECT_EQ(seam.requests[0].filter, "Plaxe circuit files|*.cir|Plaxe netlist files|*.net");
    EXPECT_EQ(seam.requests[0].filter_index, 2);
    EXPECT_EQ(seam.requests[0].default_ext, "net");
    EXPECT_EQ(seam.requests[0].file_name.toStdString(), dir.path("rc"));
    const std::string netlist = dir.read("rc.net");
    EXPECT_EQ(netlist, "2\r\nR0102 1 2 1E3\r\nC0100 1 0 1E-6\r\nV0200 2 0 1\r\n.AC\r\n");
    EXPECT_EQ(
        new_lines(),
        (QStringList{"Sorting...", "Eliminating short-circuits...", "Renumbering nodes...",
                     "Component list:", "R0102 1 2 1E3", "C0100 1 0 1E-6", "V0200 2 0 1", ".AC", "--//--",
                     "Number of nodes: 2", "Saving netlist " + QString::fromStdString(dir.path("rc.net")),
                     "Saving circuit file " + QString::fromStdString(dir.path("rc.cir"))}));
    EXPECT_FALSE(circuit().changed);

    // The twin, given the circuit file that was saved with it, writes the
    // same netlist.
    QProcess plaxe;
    plaxe.start(PLAXE, {QString::fromStdString(dir.path("rc.cir")), "--netlist",
                        QString::fromStdString(dir.path("twin.net"))});
    ASSERT_TRUE(plaxe.waitForFinished(30000));
    EXPECT_EQ(plaxe.exitCode(), 0);
    EXPECT_EQ(dir.read("twin.net"), netlist);
}

TEST_F(Generation, NodeNumbersAreDrawnAfterGeneration) {
    draw_rc();
    const QImage before = layout().PaintBox1->image().copy();
    main->Generatenetlist1Click();  // save dialog cancelled: no file
    EXPECT_NE(layout().PaintBox1->image(), before);
    EXPECT_FALSE(rec().view.show_nodes);  // drawn once, then cleared
    ctrl(Qt::Key_K);
    EXPECT_EQ(layout().PaintBox1->image(), before);
    ctrl(Qt::Key_P);
    EXPECT_NE(layout().PaintBox1->image(), before);
}

TEST_F(Generation, FormulaErrorsShowTheDialogWhileListingOnly) {
    TestDir dir;
    draw_rc();
    circuit().element[1].parameters = "(1/0)";
    circuit().element[2].parameters = "(2/0)";
    QStringList shown;
    bool tick = false;
    QObject::connect(main->Form7, &TForm7::shown, [&] {
        shown << main->Form7->Label1->text();
        main->Form7->CBignorar->setChecked(tick);
        QTest::mouseClick(main->Form7->Button1, Qt::LeftButton);
    });
    main->Generatenetlist1Click();
    EXPECT_EQ(main->Form7->windowTitle(), "Error in formula");
    EXPECT_EQ(shown, (QStringList{"(2/0)?", "(1/0)?"}));  // in sorted order
    // Ticking "Ignore other errors" stops the dialogs; writing shows none.
    tick = true;
    seam.answer_file(QString::fromStdString(dir.path("e.net")));
    main->Generatenetlist1Click();
    EXPECT_EQ(shown.size(), 3);
    EXPECT_NE(dir.read("e.net").find("(1/0)?"), std::string::npos);
}

// Without the value list its formulas cannot be evaluated: after the error
// dialogs, the generation ends with one line saying that the netlist holds
// unevaluated text. A generation without such formulas ends as before.
TEST_F(Generation, UnevaluatedFormulasAreReportedAtTheEnd) {
    TestDir dir;
    draw_rc();
    for (int i = 1; i <= circuit().count; ++i) {
        editor::Element& e = circuit().element[i];
        if (e.name == "R") e.parameters = "(R)";
        if (e.name == "C") e.parameters = "(C*2) (3)";
    }
    int dialogs = 0;
    QObject::connect(main->Form7, &TForm7::shown, [&] {
        ++dialogs;
        QTest::mouseClick(main->Form7->Button1, Qt::LeftButton);
    });
    seam.answer_file(QString::fromStdString(dir.path("rc.net")), 2);
    main->Generatenetlist1Click();
    EXPECT_EQ(dialogs, 2);
    const QStringList lines = new_lines();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[lines.size() - 2], "Saving circuit file " + QString::fromStdString(dir.path("rc.cir")));
    EXPECT_EQ(lines.last(), "* 2 formulas could not be evaluated: the netlist holds unevaluated text.");
    EXPECT_EQ(dir.read("rc.net"), "2\r\nR0102 1 2 (R)?\r\nC0100 1 0 (C*2)? 3\r\nV0200 2 0 1\r\n.AC\r\n");

    // With the value list read, the same generation is clean.
    dir.write("rc.val", "R 1e3\r\nC 1e-6\r\n");
    seam.answer_file(QString::fromStdString(dir.path("rc.val")), 2);
    main->Readvaluelist1Click();
    new_lines();
    seam.answer_file(QString::fromStdString(dir.path("rc.net")), 2);
    main->Generatenetlist1Click();
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(new_lines().last(), "Saving circuit file " + QString::fromStdString(dir.path("rc.cir")));
    EXPECT_EQ(dir.read("rc.net"), "2\r\nR0102 1 2 1E+3\r\nC0100 1 0 2E-6 3\r\nV0200 2 0 1\r\n.AC\r\n");
}

// A value that is not a number is named after the writing, after the
// line of the unevaluated formulas; the twin names them alike.
TEST_F(Generation, ValuesThatAreNotNumbersAreNamedAtTheEnd) {
    TestDir dir;
    draw_rc();
    for (int i = 1; i <= circuit().count; ++i) {
        editor::Element& e = circuit().element[i];
        if (e.name == "R") e.parameters = "47k";  // as a circuit file may hold it
        if (e.name == "C") e.parameters = "(C)";
    }
    QObject::connect(main->Form7, &TForm7::shown,
                     [&] { QTest::mouseClick(main->Form7->Button1, Qt::LeftButton); });
    circuit().name = dir.path("rc");
    seam.answer_file(QString::fromStdString(dir.path("rc.net")), 2);
    main->Generatenetlist1Click();
    const QStringList lines = new_lines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.mid(lines.size() - 3),
              (QStringList{"Saving circuit file " + QString::fromStdString(dir.path("rc.cir")),
                           "* 1 formula could not be evaluated: the netlist holds unevaluated text.",
                           "* 1 value is not a number: R0102 \"47k\"."}));
    EXPECT_EQ(dir.read("rc.net"), "2\r\nR0102 1 2 47k\r\nC0100 1 0 (C)?\r\nV0200 2 0 1\r\n.AC\r\n");

    QProcess plaxe;
    plaxe.start(PLAXE, {QString::fromStdString(dir.path("rc.cir")), "--netlist",
                        QString::fromStdString(dir.path("twin.net"))});
    ASSERT_TRUE(plaxe.waitForFinished(30000));
    EXPECT_EQ(plaxe.exitCode(), 1);
    const QStringList out = QString::fromUtf8(plaxe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(out.mid(out.size() - 2), lines.mid(lines.size() - 2));
    EXPECT_EQ(dir.read("twin.net"), dir.read("rc.net"));
}

// An assignment in a comment is evaluated by the listing that precedes
// the writing, comments in the netlist or not: the resistor's formula
// finds X in the window program and in the twin alike.
TEST_F(Generation, CommentAssignmentsReachTheTwinsNetlistToo) {
    TestDir dir;
    draw_rc();
    type_at(segment(70, 75, false), "*");
    answer_parameters("*", "Gain (X=2)");
    QTest::mouseClick(layout().PaintBox1, Qt::LeftButton, {}, segment(70, 75, false));
    for (int i = 1; i <= circuit().count; ++i)
        if (circuit().element[i].name == "R") circuit().element[i].parameters = "(X*R)";
    dir.write("rc.val", "R 1.5e3\r\n");
    seam.answer_file(QString::fromStdString(dir.path("rc.val")), 2);
    main->Readvaluelist1Click();
    circuit().name = dir.path("rc");
    seam.answer_file(QString::fromStdString(dir.path("rc.net")), 2);
    main->Generatenetlist1Click();
    const std::string netlist = dir.read("rc.net");
    EXPECT_EQ(netlist, "2\r\nR0102 1 2 3E+3\r\nC0100 1 0 1E-6\r\nV0200 2 0 1\r\n.AC\r\n");

    QProcess plaxe;
    plaxe.start(PLAXE, {QString::fromStdString(dir.path("rc.cir")), "--values",
                        QString::fromStdString(dir.path("rc.val")), "--netlist",
                        QString::fromStdString(dir.path("twin.net"))});
    ASSERT_TRUE(plaxe.waitForFinished(30000));
    EXPECT_EQ(plaxe.exitCode(), 0);
    EXPECT_EQ(dir.read("twin.net"), netlist);
}

TEST_F(Generation, EmptyCircuit) {
    main->Generatenetlist1Click();
    EXPECT_EQ(new_lines(), QStringList{"No circuit"});
    EXPECT_TRUE(seam.requests.isEmpty());
}

}  // namespace
}  // namespace plaxew::testing
