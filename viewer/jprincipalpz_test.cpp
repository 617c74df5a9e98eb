#include "viewer/jprincipalpz.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <filesystem>
#include <numbers>

#include "common/dialogseam.h"
#include "common/scratch_dir.h"
#include "common/textfile.h"
#include "viewer/helptext.h"

namespace kelmaw {
namespace {

namespace fs = std::filesystem;

class Kelmaw : public ::testing::Test {
protected:
    suite::RecordingDialogSeam seam;
    suite::ScopedDialogSeam scoped{seam};
    suite::testing::ScratchDir scratch;
    fs::path dir = scratch.root();
    Tjprincipalpz w;

    QString file(const std::string& name, const std::vector<std::string>& lines) {
        suite::write_text_file((dir / name).string(), lines);
        return QString::fromStdString((dir / name).string());
    }
    // Starts the program; the first open dialog reads `first` or is cancelled.
    // The window is shown with a plot square of side 400 (rows 0 to 400).
    void start(const QString& first = {}) {
        if (!first.isEmpty()) seam.answer_file(first);
        w.resize(700, 401 + w.menuBar()->sizeHint().height());
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.resize(700, w.height() + 401 - w.cgrafico->height());
        w.FormActivate();
        QTest::qWait(1);
        ASSERT_EQ(w.cgrafico->height(), 401);
        w.repaint_plot();
    }
    void read(const QString& name) {
        seam.answer_file(name);
        QTest::keyClick(&w, Qt::Key_Insert);
    }
    void key(char c) { QTest::keyClick(&w, c); }
    QStringList messages() const { return w.jmensagenspz->lines(); }
    QImage image() const { return w.cgrafico->image().copy(); }
};

TEST_F(Kelmaw, StartWritesTheHelpTextAndAsksForAFile) {
    start();
    QStringList expected;
    for (const std::string& l : viewer::start_help_lines()) expected << QString::fromStdString(l);
    expected << "Memória alocada para 1000 tabelas."
             << "* Cancelado";
    EXPECT_EQ(messages(), expected);
    EXPECT_TRUE(w.jmensagenspz->isVisible());
    EXPECT_EQ(w.jmensagenspz->windowTitle(), "Mensagens, pólos e zeros");
    EXPECT_EQ(w.windowTitle(), "Pólos e Zeros");
    ASSERT_EQ(seam.requests.size(), 1);
    EXPECT_EQ(seam.requests[0].filter,
              "Tabela de sens. de pólos|*.tsp|Tabela de sens. de zeros|*.tsz|Referências de pólos|*.rpo|"
              "Referências de zeros|*.rpz|Qualquer|*.*");
    EXPECT_EQ(seam.requests[0].file_name, "");
    EXPECT_EQ(w.store.slot_list.size(), 1000u);
    w.FormActivate();  // later activations do nothing
    EXPECT_EQ(seam.requests.size(), 1);
    // An empty plot: no selection panel, "v" and blank do nothing.
    w.repaint_plot();
    const QImage before = image();
    key('v');
    key(' ');
    key('V');
    EXPECT_EQ(image(), before);
    EXPECT_EQ(w.display.re_min, -2);
}

TEST_F(Kelmaw, ReadsTablesDeletesAndSelects) {
    const QString a = file("a.tsp", {"Polos", "-1 0", "-0.5 0.5", "-0.5 -0.5", ""});
    start(a);
    file("b.tab", {"Zeros", "0 1", "0 -1"});
    read(QString::fromStdString((dir / "b").string()));  // ".tab" appended
    read(a);
    EXPECT_EQ(
        messages().mid(static_cast<int>(viewer::start_help_lines().size()) + 1),
        QStringList({"* Lida tabela no. 1, de pólos", "* Fim do arquivo", "* Lida tabela no. 2, de zeros",
                     "* Fim do arquivo", "* Lida tabela no. 3, de pólos", "* Fim do arquivo"}));
    EXPECT_EQ(w.store.slot(2).name, "b.tab");
    EXPECT_EQ(seam.requests.last().file_name, QString::fromStdString((dir / "b.tab").string()));
    EXPECT_EQ(w.store.current_table, 3);

    w.store.current_table = 2;
    QTest::keyClick(&w, Qt::Key_Delete);
    EXPECT_EQ(w.store.current_table, 1);
    read(a);
    EXPECT_EQ(w.store.current_table, 2);  // the first free slot

    // Enter wraps over the slots in use and clamps the entry.
    w.store.current_table = 2;
    w.store.current_entry = 3;
    w.store.slot(2).count = 3;
    w.store.slot(3).count = 2;
    QTest::keyClick(&w, Qt::Key_Return);
    EXPECT_EQ(w.store.current_table, 3);
    EXPECT_EQ(w.store.current_entry, 2);
    QTest::keyClick(&w, Qt::Key_Enter);
    EXPECT_EQ(w.store.current_table, 1);
    // "." on the last entry wraps to the first, "," back.
    w.store.current_entry = 3;
    key('.');
    EXPECT_EQ(w.store.current_entry, 1);
    key(',');
    EXPECT_EQ(w.store.current_entry, 3);
    key('<');
    key('>');
    key('>');
    EXPECT_EQ(w.store.current_entry, 1);

    // Deleting every table leaves none current; Enter then does nothing.
    for (int k = 0; k < 3; ++k) QTest::keyClick(&w, Qt::Key_Delete);
    EXPECT_EQ(w.store.current_table, 0);
    QTest::keyClick(&w, Qt::Key_Return);
    EXPECT_EQ(w.store.current_table, 0);
}

TEST_F(Kelmaw, KeysMoveZoomAndSwitch) {
    start(file("a.tsp", {"Polos", "0.5 1 0.1 0.1 0.1 0.1 0"}));
    w.display = viewer::DisplayState{};  // the keys from the initial window, not the fitted one
    key('+');
    EXPECT_EQ(w.display.re_min, -1);
    EXPECT_EQ(w.display.im_min, -1);
    EXPECT_EQ(w.display.width, 2);
    key('-');
    EXPECT_EQ(w.display.re_min, -2);
    EXPECT_EQ(w.display.im_min, -2);
    EXPECT_EQ(w.display.width, 4);
    QTest::keyClick(&w, Qt::Key_Right);
    QTest::keyClick(&w, Qt::Key_Up);
    EXPECT_EQ(w.display.re_min, -1);
    EXPECT_EQ(w.display.im_min, -1);
    QTest::keyClick(&w, Qt::Key_Left);
    EXPECT_EQ(w.display.re_min, -2);
    EXPECT_EQ(w.display.im_min, -1);
    QTest::keyClick(&w, Qt::Key_Down);  // down: the window's bottom goes down a quarter
    EXPECT_EQ(w.display.re_min, -2);
    EXPECT_EQ(w.display.im_min, -2);
    QTest::keyClick(&w, Qt::Key_Down);
    EXPECT_EQ(w.display.im_min, -3);
    QTest::keyClick(&w, Qt::Key_Up);
    key(' ');  // centre on (0.5, 1)
    EXPECT_EQ(w.display.re_min, -1.5);
    EXPECT_EQ(w.display.im_min, -1);
    key('A');
    key('A');
    key('a');
    EXPECT_EQ(w.display.magnification, 2);
    key('e');
    key('r');
    EXPECT_FALSE(w.display.ellipses);
    EXPECT_FALSE(w.display.rectangles);
    key('c');
    EXPECT_FALSE(w.display.cursor);
    EXPECT_EQ(w.cursor_position, suite::kNoCursor);
    key('c');
    EXPECT_EQ(w.cursor_position, QPoint(200, 200));
    // The values box is drawn over the plot and stays until the next repaint.
    const QImage before = image();
    key('v');
    EXPECT_NE(image(), before);
    key('x');  // any other key: only the selection again
    w.repaint_plot();
    EXPECT_EQ(image(), before);
    // Zooming in without end stops at the resolution limit, with a report.
    for (int k = 0; k < 80; ++k) key('+');
    EXPECT_GT(w.display.width, 0);
    EXPECT_TRUE(messages().contains("* Escalas fora dos limites. Escalas mantidas."));
}

TEST_F(Kelmaw, MouseZoomOnTheFourHundredPixelSquare) {
    start();
    const QImage before = image();
    QTest::mousePress(w.cgrafico, Qt::LeftButton, {}, QPoint(10, 20));
    QTest::mouseMove(w.cgrafico, QPoint(30, 30));
    EXPECT_NE(image(), before);  // the rubber band
    QTest::mouseMove(w.cgrafico, QPoint(50, 40));
    QTest::mouseRelease(w.cgrafico, Qt::LeftButton, {}, QPoint(50, 40));
    EXPECT_NEAR(w.display.re_min, -1.9, 1e-11);
    EXPECT_NEAR(w.display.im_min, 1.6, 1e-11);
    EXPECT_NEAR(w.display.width, 0.4, 1e-11);

    // A drag up or left, or a click, changes nothing and leaves no trace.
    w.repaint_plot();
    const QImage zoomed = image();
    const viewer::DisplayState d = w.display;
    QTest::mousePress(w.cgrafico, Qt::LeftButton, {}, QPoint(50, 40));
    QTest::mouseMove(w.cgrafico, QPoint(10, 20));
    QTest::mouseRelease(w.cgrafico, Qt::LeftButton, {}, QPoint(10, 20));
    QTest::mouseClick(w.cgrafico, Qt::RightButton, {}, QPoint(70, 70));
    EXPECT_EQ(w.display.re_min, d.re_min);
    EXPECT_EQ(w.display.width, d.width);
    EXPECT_EQ(image(), zoomed);
}

TEST_F(Kelmaw, ScalesDialogAppliesOrChangesNothing) {
    start();
    auto run_dialog = [&](const QString& re, const QString& im, const QString& width, bool apply) {
        QTimer::singleShot(0, [&, re, im, width, apply] {
            Tjescalaspz* dlg = w.jescalaspz;
            EXPECT_EQ(dlg->NEremin->text(), "-2");
            dlg->NEremin->setText(re);
            dlg->NEimmin->setText(im);
            dlg->NEdelta->setText(width);
            if (apply) dlg->Button1Click();
            if (dlg->isVisible()) dlg->reject();
        });
        QTest::keyClick(&w, Qt::Key_Escape);
    };
    run_dialog("-1", "0.5", "0", true);  // refused: the dialog stays, nothing changes
    EXPECT_EQ(seam.errors, QStringList({kWidthMessage}));
    EXPECT_EQ(w.display.width, 4);
    run_dialog("-1", "0.5", "3", false);  // closed without "Aplicar"
    EXPECT_EQ(w.display.re_min, -2);
    run_dialog("-1", "0.5", "x", true);  // not a number
    EXPECT_EQ(seam.errors.last(), "x is not a valid number");
    EXPECT_EQ(w.display.width, 4);
    run_dialog("-1", "0.5", "3", true);
    EXPECT_EQ(w.display.re_min, -1);
    EXPECT_EQ(w.display.im_min, 0.5);
    EXPECT_EQ(w.display.width, 3);
    EXPECT_EQ(w.jescalaspz->windowTitle(), "Escalas");
}

// The real error box of a bad field, answered by a timer: the click on
// "Aplicar" after it acts at once; Return applies too.
TEST_F(Kelmaw, ScalesDialogAppliesOnTheFirstClickAfterTheErrorBox) {
    start();
    suite::set_dialog_seam(nullptr);
    QString shown;
    bool button_down_after_box = true;
    QTimer::singleShot(0, [&] {
        Tjescalaspz* dlg = w.jescalaspz;
        QApplication::setActiveWindow(dlg);
        EXPECT_TRUE(QTest::qWaitForWindowActive(dlg));  // a dialog never active would hide a wrong outcome
        dlg->NEdelta->setFocus();
        dlg->NEdelta->setText("3x");
        auto* timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, [timer, &shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            shown = box->text();
            box->accept();
            timer->deleteLater();
        });
        timer->start(20);
        QTest::mousePress(dlg->Button1, Qt::LeftButton);  // its release is lost in the box
        button_down_after_box = dlg->Button1->isDown();
        QApplication::setActiveWindow(dlg);             // the window manager's part, offscreen
        EXPECT_TRUE(QTest::qWaitForWindowActive(dlg));  // a dialog never active would hide a wrong outcome
        dlg->NEdelta->setText("3");
        QTest::mouseClick(dlg->Button1, Qt::LeftButton);
        if (dlg->isVisible()) dlg->reject();
    });
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_EQ(shown, "3x is not a valid number");
    EXPECT_FALSE(button_down_after_box);
    EXPECT_EQ(w.display.width, 3);
    QTimer::singleShot(0, [&] {
        Tjescalaspz* dlg = w.jescalaspz;
        dlg->NEdelta->setFocus();
        dlg->NEdelta->selectAll();
        QTest::keyClicks(dlg->NEdelta, "2");
        QTest::keyClick(dlg->NEdelta, Qt::Key_Return);
        if (dlg->isVisible()) dlg->reject();
    });
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_EQ(w.display.width, 2);
    suite::set_dialog_seam(&seam);
}

const std::string kExamples = std::string(SUITE_SOURCE_DIR) + "/examples/";

// Every entry in use lies in the window with its rectangle's corners and
// 72 points of its ellipse (x = Re + a cos u cos t - b sin u sin t, ...),
// at the magnification; returns how many entries were looked at.
int entries_inside(const viewer::TableStore& s, const viewer::DisplayState& d) {
    const double k = d.magnification;
    auto inside = [&](double re, double im) {
        return re >= d.re_min && re <= d.re_min + d.width && im >= d.im_min && im <= d.im_min + d.width;
    };
    int n = 0;
    for (const viewer::TableSlot& t : s.slot_list) {
        if (!t.in_use()) continue;
        for (int j = 1; j <= t.count; ++j) {
            const viewer::Entry& e = t.entry(j);
            ++n;
            EXPECT_TRUE(inside(e.Re - k * e.VRe, e.Im - k * e.VIm)) << t.name << " " << j;
            EXPECT_TRUE(inside(e.Re + k * e.VRe, e.Im + k * e.VIm)) << t.name << " " << j;
            const double th = e.Ang * std::numbers::pi / 180;
            for (int i = 0; i < 72; ++i) {
                const double u = i * std::numbers::pi / 36;
                const double x = k * (e.Ra * std::cos(u) * std::cos(th) - e.Rb * std::sin(u) * std::sin(th));
                const double y = k * (e.Ra * std::cos(u) * std::sin(th) + e.Rb * std::sin(u) * std::cos(th));
                EXPECT_TRUE(inside(e.Re + x, e.Im + y)) << t.name << " " << j << " " << i;
            }
        }
    }
    return n;
}

// The first tables read into an empty viewer are shown whole; later reads
// keep the scales; "t" shows everything again.
TEST_F(Kelmaw, TheFirstReadFitsTheViewAndTFitsEverything) {
    start(QString::fromStdString(kExamples + "butterworth6-cascade.tsp"));
    EXPECT_TRUE(messages().contains("t: Mostrar todas as tabelas (ajustar as escalas)"));
    EXPECT_GT(w.display.width, 1000);  // poles at thousands of rad/s
    EXPECT_EQ(entries_inside(w.store, w.display), 6);
    const viewer::DisplayState fitted = w.display;
    read(QString::fromStdString(kExamples + "elliptic-ladder.tsp"));
    ASSERT_TRUE(w.store.slot(2).in_use());
    EXPECT_EQ(w.display.re_min, fitted.re_min);
    EXPECT_EQ(w.display.im_min, fitted.im_min);
    EXPECT_EQ(w.display.width, fitted.width);
    key('+');
    QTest::keyClick(&w, Qt::Key_Left);
    key('A');  // the fit takes in the magnified figures
    key('t');
    EXPECT_EQ(entries_inside(w.store, w.display), 6 + w.store.slot(2).count);
    const auto expected = viewer::fitted_window(w.store, w.display);
    EXPECT_NEAR(w.display.width, expected->width, 1e-9 * expected->width);
    EXPECT_NEAR(w.display.re_min, expected->re_min, 1e-9 * expected->width);
    EXPECT_EQ(image().pixelColor(200, 400), QColor(Qt::yellow));  // the bottom edge
    // An empty viewer again: the next read fits once more.
    QTest::keyClick(&w, Qt::Key_Delete);
    QTest::keyClick(&w, Qt::Key_Delete);
    const viewer::DisplayState before = w.display;
    key('t');  // nothing to fit: the window stays
    EXPECT_EQ(w.display.width, before.width);
    EXPECT_EQ(w.display.re_min, before.re_min);
    read(QString::fromStdString(kExamples + "butter4_sallenkey.tsp"));
    EXPECT_LT(w.display.width, before.width);
    EXPECT_EQ(entries_inside(w.store, w.display), w.store.slot(1).count);
}

// The message window keeps clear of the main window wherever the screen
// has room, lowered to fit if need be.
TEST(MessageWindow, GoesBesideTheMainWindow) {
    const QSize size(482, 330);
    const QRect wide(0, 0, 1920, 1080), main_wide(612, 290, 696, 500);  // no room below: right of it
    EXPECT_EQ(message_window_frame(wide, main_wide, size), QRect(1316, 290, 482, 330));
    const QRect tall(0, 0, 1000, 1200), main_tall(152, 350, 696, 500);  // room below
    EXPECT_EQ(message_window_frame(tall, main_tall, size), QRect(152, 858, 482, 330));
    // 1400 by 900: no side holds it whole; the band above (199 rows) is the
    // larger.
    const QRect screen(0, 0, 1400, 900), main(345, 207, 684, 493);
    const QRect r = message_window_frame(screen, main, size);
    EXPECT_EQ(r, QRect(345, 0, 482, 199));
    EXPECT_FALSE(r.intersects(main));
    // No band of 120 rows: the top-left corner.
    EXPECT_EQ(message_window_frame(QRect(0, 0, 800, 600), QRect(50, 50, 700, 500), size),
              QRect(0, 0, 482, 330));
}

TEST_F(Kelmaw, MenuCommands) {
    start();
    w.Mensagens1->trigger();
    EXPECT_TRUE(w.jmensagenspz->isVisible());
    seam.answer_file(QString::fromStdString((dir / "missing.tsp").string()));
    w.Lertabela1->trigger();
    EXPECT_EQ(messages().last(),
              "* Arquivo " + QString::fromStdString((dir / "missing.tsp").string()) + " inexistente.");
    EXPECT_EQ(seam.ended, 0);
    w.Terminar1->trigger();
    EXPECT_EQ(seam.ended, 1);
    EXPECT_EQ(w.Lertabela1->text(), "Ler tabela");
    EXPECT_EQ(w.Menu1->title(), "Menu");
}

}  // namespace
}  // namespace kelmaw
