#include "analysis/display/response_window.h"

#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

#include "analysis/display/program.h"
#include "analysis/display/response_plot.h"

namespace moratw {
namespace {

using analysis::q_delay;
using analysis::q_module;
using analysis::q_phase;

}  // namespace

TForm4::TForm4(Program& program, QWidget* parent) : QWidget(parent, Qt::Window), program_(program) {
    setObjectName("Form4");
    setWindowTitle("Resposta em frequência");
    resize(696, 480);
    setFocusPolicy(Qt::StrongFocus);
    PaintBox1 = new suite::PaintBox(this);
    PaintBox1->setObjectName("PaintBox1");
    PaintBox1->background = Qt::black;
    PaintBox1->setGeometry(rect());
    PaintBox1->on_paint = [this] { PaintBox1Paint(); };
    connect(PaintBox1, &suite::PaintBox::mouse_down, this, &TForm4::PaintBox1MouseDown);
    connect(PaintBox1, &suite::PaintBox::mouse_move, this, &TForm4::PaintBox1MouseMove);
    connect(PaintBox1, &suite::PaintBox::mouse_up, this, &TForm4::PaintBox1MouseUp);
}

void TForm4::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PaintBox1->setGeometry(rect());
}

void TForm4::repaint_plot() {
    PaintBox1->setGeometry(rect());
    PaintBox1->paint_now();
    // Pan and zoom move the cursor too: an open sensitivity list follows.
    if (refresh_sensitivities && !program_.failed) refresh_sensitivities();
}

void TForm4::PaintBox1Paint() {
    QImage& image = PaintBox1->image();
    if (program_.failed) return;  // the picture stays black until the program ends
    program_.handle(this, [&] {
        QPainter p(&image);
        analysis::ResponseScene scene = program_.scene();
        analysis::draw_response(p, image.size(), scene);
    });
}

void TForm4::draw_cursor() {
    program_.handle(this, [&] {
        QImage& image = PaintBox1->image();
        QPainter p(&image);
        analysis::ResponseScene scene = program_.scene();
        analysis::draw_cursor(p, image.size(), scene);
    });
    PaintBox1->update();
}

analysis::PlotGeometry TForm4::geometry_now() {
    QImage& image = PaintBox1->image();
    QPainter p(&image);
    p.setFont(analysis::plot_font());
    return analysis::plot_geometry(p.fontMetrics(), image.size(), program_.circuit, program_.sweep,
                                   program_.view);
}

void TForm4::keyPressEvent(QKeyEvent* event) { FormKeyDown(event->key(), event->modifiers()); }

void TForm4::FormKeyDown(int key, Qt::KeyboardModifiers) {
    program_.handle(this, [&] {
        if (cursor_key(key)) return;
        if (curve_key(key) || frequency_key(key) || display_key(key)) repaint_plot();
    });
}

// Up, Down, + and −: the current curve's range, when it is plotted.
bool TForm4::curve_key(int key) {
    auto& sw = program_.sweep;
    const int k = analysis::current_curve(program_.circuit, sw);
    const analysis::Real span = sw.scale_max[k] - sw.scale_min[k];
    const bool plotted = analysis::curve_shown(program_.view, sw, k);
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (plotted) {
                const analysis::Real shift = key == Qt::Key_Up ? span / 2 : -span / 2;
                sw.scale_min[k] += shift;
                sw.scale_max[k] += shift;
            }
            return true;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            if (plotted) sw.scale_max[k] = sw.scale_min[k] + span / 2;
            return true;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            if (plotted) sw.scale_max[k] = sw.scale_min[k] + 2 * span;
            return true;
        default:
            return false;
    }
}

// Left, Right, A and R: pan and zoom of the frequency axis; a refused move
// changes nothing and draws nothing.
bool TForm4::frequency_key(int key) {
    auto& p = program_;
    switch (key) {
        case Qt::Key_Left:
            return analysis::pan_frequency_down(p.circuit, p.engine, p.sweep);
        case Qt::Key_Right:
            return analysis::pan_frequency_up(p.circuit, p.engine, p.sweep);
        case Qt::Key_A:
            return analysis::zoom_frequency_in(p.circuit, p.engine, p.sweep);
        case Qt::Key_R:
            return analysis::zoom_frequency_out(p.circuit, p.engine, p.sweep);
        default:
            return false;
    }
}

// Keys that move the cursor or change the current curve: no repaint.
bool TForm4::cursor_key(int key) {
    const int cursor = program_.sweep.cursor;
    switch (key) {
        case Qt::Key_PageUp:
            move_cursor(cursor + 10);
            return true;
        case Qt::Key_PageDown:
            move_cursor(cursor - 10);
            return true;
        case Qt::Key_Period:
        case Qt::Key_Greater:
            move_cursor(cursor + 1);
            return true;
        case Qt::Key_Comma:
        case Qt::Key_Less:
            move_cursor(cursor - 1);
            return true;
        case Qt::Key_Q:
        case Qt::Key_Clear: {  // through the noise too while the sweep has it
            const int current = analysis::current_curve(program_.circuit, program_.sweep);
            program_.circuit.current_curve = current % analysis::last_curve(program_.sweep) + 1;
            draw_cursor();
            return true;
        }
        case Qt::Key_Space:
            draw_cursor();
            return true;
        case Qt::Key_S:
            if (show_sensitivities) show_sensitivities();
            return true;
        default:
            return false;
    }
}

// Curves shown, grid, bands, readout position; Enter only repaints.
bool TForm4::display_key(int key) {
    auto& view = program_.view;
    int& current = program_.circuit.current_curve;
    current = analysis::current_curve(program_.circuit, program_.sweep);
    switch (key) {
        case Qt::Key_Insert:
            view.plot_curve[current] = true;
            return true;
        case Qt::Key_Delete:
            view.plot_curve[current] = false;
            current = q_module;
            return true;
        case Qt::Key_F:
            view.plot_curve[q_phase] = !view.plot_curve[q_phase];
            return true;
        case Qt::Key_T:
            view.plot_curve[q_delay] = !view.plot_curve[q_delay];
            return true;
        case Qt::Key_G:
            view.show_grid = !view.show_grid;
            return true;
        case Qt::Key_E:
            view.superpose_deviations = !view.superpose_deviations;
            return true;
        case Qt::Key_B:
            view.readout_on_top = !view.readout_on_top;
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return true;
        default:
            return false;
    }
}

// The cursor moves only within the computed points; a step past them does nothing.
void TForm4::move_cursor(int to) {
    if (to < 0 || to > program_.sweep.last_point) return;
    program_.sweep.cursor = to;
    cursor_moved();
}

void TForm4::cursor_moved() {
    draw_cursor();
    if (refresh_sensitivities) refresh_sensitivities();
}

void TForm4::PaintBox1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
    if (program_.failed) return;
    if (button == Qt::LeftButton) {
        zoom_from_ = zoom_to_ = QPoint(x, y);
        dragging_ = true;
        QPainter p(&PaintBox1->image());
        analysis::draw_zoom_rectangle(p, zoom_from_, zoom_to_);
        p.end();
        PaintBox1->update();
    } else if (button == Qt::RightButton) {
        const auto& sw = program_.sweep;
        if (!sw.points[std::clamp(sw.last_point, 0, analysis::point_slots - 1)].computed) return;
        program_.sweep.cursor = geometry_now().point_at(x, sw.last_point);
        cursor_moved();
    }
}

void TForm4::PaintBox1MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
    if (!dragging_) return;
    QPainter p(&PaintBox1->image());
    analysis::draw_zoom_rectangle(p, zoom_from_, zoom_to_);
    zoom_to_ = QPoint(x, y);
    analysis::draw_zoom_rectangle(p, zoom_from_, zoom_to_);
    p.end();
    PaintBox1->update();
}

void TForm4::PaintBox1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
    if (button != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    {
        QPainter p(&PaintBox1->image());
        analysis::draw_zoom_rectangle(p, zoom_from_, zoom_to_);
    }
    PaintBox1->update();
    zoom_to_ = QPoint(x, y);
    if (!(zoom_from_.x() < zoom_to_.x() && zoom_from_.y() < zoom_to_.y())) return;
    zoom_to(QRect(zoom_from_, zoom_to_));
}

// The frequencies and the current curve's values under the rectangle
// become the new scales; the sweep starts again.
void TForm4::zoom_to(const QRect& r) {
    auto& prog = program_;
    if (prog.failed || !prog.sweep.prepared || !analysis::frequency_range_refusal(prog.sweep).empty()) return;
    const analysis::PlotGeometry g = geometry_now();
    const int k = analysis::current_curve(prog.circuit, prog.sweep);
    prog.sweep.scale_min[analysis::q_frequency] = g.frequency_at(r.left());
    prog.sweep.scale_max[analysis::q_frequency] = g.frequency_at(r.right());
    prog.sweep.scale_min[k] = g.value_at(k, r.bottom());
    prog.sweep.scale_max[k] = g.value_at(k, r.top());
    prog.handle(this, [&] {
        analysis::reset_sweep(prog.circuit, prog.engine, prog.sweep, prog.log);
        repaint_plot();
    });
}

}  // namespace moratw
