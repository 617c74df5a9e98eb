// "Desvios dos pólos ou zeros": the pole/zero set that the window
// "Sensibilidades de pólos e zeros" computed, in the complex plane.
//
// The window draws the set through draw_deviation_plot into PaintBox1,
// steps the selection and moves the square with the keys, and zooms into a
// rectangle dragged with the mouse. It hides itself at a repaint once the
// set is no longer complete (pz_valid clear), and ignores the keys then.
//
//   TForm11 form(program, set);
//   form.PaintBox1->invalidate();
//   form.show();
#pragma once

#include <QPoint>
#include <QWidget>

#include "analysis/polezero/deviation_plot.h"
#include "analysis/polezero/polezero_set.h"
#include "common/paintbox.h"

namespace moratw {

struct Program;

class TForm11 : public QWidget {
    Q_OBJECT
public:
    TForm11(Program& program, analysis::PoleZeroSet& set, QWidget* parent = nullptr);

    suite::PaintBox* PaintBox1 = nullptr;

    void PaintBox1Paint();
    void PaintBox1MouseDown(int x, int y);
    void PaintBox1MouseMove(int x, int y);
    void PaintBox1MouseUp(int x, int y);
    // By key code (Qt::Key_...), whatever the shift state.
    void FormKeyDown(int key);
    void show_selection();

    bool rectangles = true;
    bool ellipses = true;
    analysis::SelectionMarker marker;
    bool dragging = false;
    QPoint drag_start, drag_corner;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    analysis::DeviationScene scene() const;
    bool set_valid() const;
    void take_scales(const analysis::PoleZeroScales& proposed);

    Program& program_;
    analysis::PoleZeroSet& set_;
    bool band_drawn_ = false;  // the rubber band is on the screen
};

}  // namespace moratw
