// A running editor for window tests: the main window with its forms, the
// dialog seam answered by the test, the layout screen shown at a known
// size and origin, and helpers that point the mouse at a grid segment and
// answer the Parameters dialog.
#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>

#include "common/dialogseam.h"
#include "editor/layout/form3.h"
#include "editor/layout/form4.h"
#include "editor/main/form1.h"

namespace plaxew::testing {

class Plaxew : public ::testing::Test {
protected:
    suite::RecordingDialogSeam seam;
    suite::ScopedDialogSeam scoped{seam};
    std::unique_ptr<TForm1> main = std::make_unique<TForm1>();
    std::deque<std::function<void(TForm4&)>> form4_answers;
    int form4_shown = 0;
    qsizetype seen_lines = 0;

    Plaxew() {
        QObject::connect(main->Form4, &TForm4::shown, [this] {
            ++form4_shown;
            if (form4_answers.empty()) {
                QTest::mouseClick(main->Form4->Button2, Qt::LeftButton);
                return;
            }
            auto answer = std::move(form4_answers.front());
            form4_answers.pop_front();
            answer(*main->Form4);
        });
        seen_lines = main->message_lines().size();
    }

    editor::EditorRecords& rec() { return main->records(); }
    TForm3& layout() { return *main->Form3; }
    editor::Circuit& circuit() { return rec().circuit; }

    // The layout screen, 640 by 480 (40 by 30 cells at zoom 1) from (60, 60).
    void open_layout(int zoom = 1) {
        rec().view.zoom = zoom;
        rec().view.x0 = 60;
        rec().view.y0 = 60;
        layout().resize(640, 480);
        layout().show_layout();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&layout()));
        ASSERT_EQ(layout().PaintBox1->size(), QSize(640, 480));
    }

    // A screen point inside the paint box nearest to the segment from grid
    // (x, y) up (vertical) or to the right.
    QPoint segment(int x, int y, bool vertical) const {
        const editor::ViewState& v = main->records().view;
        const int z = v.zoom;
        QPoint p((x - v.x0) * 16 * z, (16 * v.rows - (y - v.y0) * 16) * z);
        if (vertical) return p + QPoint(x == v.x0 ? 1 : -1, -8 * z + 2);
        return p + QPoint(8 * z - 2, y == v.y0 + v.rows ? 1 : -1);
    }

    // Moves the mouse there (by way of a neighbour: a move to where the
    // mouse already is sends nothing).
    void point_at(QPoint p) {
        QTest::mouseMove(layout().PaintBox1, p + QPoint(1, 0));
        QTest::mouseMove(layout().PaintBox1, p);
    }
    void type_at(QPoint p, const QString& keys) {
        point_at(p);
        QTest::keyClicks(&layout(), keys);
    }
    void ctrl(Qt::Key key) { QTest::keyClick(&layout(), key, Qt::ControlModifier); }

    // The next Parameters dialog gets this name and text, then "Apply";
    // when "Apply" is refused, "Cancel" (the refusal's message stays).
    void answer_parameters(const QString& name, const QString& text) {
        form4_answers.push_back([name, text](TForm4& f) {
            f.Enome->setText(name);
            f.Eparametros->clear();
            QTest::keyClicks(f.Eparametros, text);
            QTest::mouseClick(f.Button1, Qt::LeftButton);
            if (!f.answered()) QTest::mouseClick(f.Button2, Qt::LeftButton);
        });
    }

    // Message lines printed since the last call.
    QStringList new_lines() {
        const QStringList all = main->message_lines();
        const QStringList fresh = all.mid(seen_lines);
        seen_lines = all.size();
        return fresh;
    }
};

}  // namespace plaxew::testing
