// "Resposta em frequência": the response plot window.
//
// PaintBox1 covers the whole window; painting it runs the sweep (see
// response_plot.h). The keys change scales, pan and zoom the frequency
// axis keeping the points that stay valid, move the cursor and choose the
// current curve; the left button drags a zoom rectangle, the right button
// puts the cursor under the mouse.
#pragma once

#include <QPoint>
#include <QWidget>
#include <functional>

#include "analysis/display/response_plot.h"
#include "common/paintbox.h"

namespace moratw {

struct Program;

class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(Program& program, QWidget* parent = nullptr);

    suite::PaintBox* PaintBox1 = nullptr;

    // Shows the sensitivity list (key S) and refreshes it while it is open
    // (cursor moves); supplied by the program.
    std::function<void()> show_sensitivities;
    std::function<void()> refresh_sensitivities;

    // Draws the whole picture anew now (the sweep runs inside).
    void repaint_plot();
    // Redraws the cursor marker and the readout only.
    void draw_cursor();

    void PaintBox1Paint();
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);
    void PaintBox1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void PaintBox1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);
    void PaintBox1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool curve_key(int key);
    bool frequency_key(int key);
    bool cursor_key(int key);
    bool display_key(int key);
    void move_cursor(int to);
    void cursor_moved();
    void zoom_to(const QRect& r);
    analysis::PlotGeometry geometry_now();

    Program& program_;
    QPoint zoom_from_, zoom_to_;
    bool dragging_ = false;
};

}  // namespace moratw
