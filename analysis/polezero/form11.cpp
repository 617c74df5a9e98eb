#include "analysis/polezero/form11.h"

#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

#include "analysis/display/program.h"
#include "analysis/polezero/deviation_view.h"

namespace moratw {

TForm11::TForm11(Program& program, analysis::PoleZeroSet& set, QWidget* parent)
    : QWidget(parent, Qt::Window), program_(program), set_(set) {
    setObjectName("Form11");
    setWindowTitle("Desvios dos pólos ou zeros");
    resize(696, 480);
    setFocusPolicy(Qt::StrongFocus);
    PaintBox1 = new suite::PaintBox(this);
    PaintBox1->setObjectName("PaintBox1");
    PaintBox1->background = Qt::black;
    PaintBox1->setFocusPolicy(Qt::NoFocus);
    PaintBox1->on_paint = [this] { PaintBox1Paint(); };
    PaintBox1->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);  // the paint box fills the window
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PaintBox1);
    connect(PaintBox1, &suite::PaintBox::mouse_down, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) { PaintBox1MouseDown(x, y); });
    connect(PaintBox1, &suite::PaintBox::mouse_move, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) { PaintBox1MouseMove(x, y); });
    connect(PaintBox1, &suite::PaintBox::mouse_up, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) { PaintBox1MouseUp(x, y); });
}

analysis::DeviationScene TForm11::scene() const {
    return {set_, program_.netlist_base_name, rectangles, ellipses};
}

bool TForm11::set_valid() const { return program_.sweep.pz_valid; }

void TForm11::PaintBox1Paint() {
    if (!set_valid()) {
        // Not from inside the paint event that called us.
        QTimer::singleShot(0, this, [this] {
            if (!set_valid()) hide();
        });
        return;
    }
    band_drawn_ = false;  // a fresh picture holds no rubber band
    QPainter p(&PaintBox1->image());
    analysis::draw_deviation_plot(p, PaintBox1->size(), scene(), marker);
}

void TForm11::show_selection() {
    {
        QPainter p(&PaintBox1->image());
        analysis::show_deviation_selection(p, PaintBox1->size(), scene(), marker);
    }
    PaintBox1->update();
}

void TForm11::take_scales(const analysis::PoleZeroScales& proposed) {
    analysis::apply_plot_scales(set_.scales, proposed);  // an undrawable square is not taken
    PaintBox1->paint_now();
}

void TForm11::FormKeyDown(int key) {
    if (!set_valid()) return;
    const analysis::PoleZeroEntry* e = analysis::current_plot_entry(set_);
    switch (key) {
        case Qt::Key_Q:
        case Qt::Key_Clear:
        case Qt::Key_Period:
        case Qt::Key_Greater:
            analysis::next_plot_entry(set_);
            return show_selection();
        case Qt::Key_Comma:
        case Qt::Key_Less:
            analysis::previous_plot_entry(set_);
            return show_selection();
        case Qt::Key_Space:
            if (!e) return;
            return take_scales(analysis::centred_on(set_.scales, e->Re, e->Im));
        case Qt::Key_Left:
            return take_scales(analysis::moved(set_.scales, -1, 0));
        case Qt::Key_Right:
            return take_scales(analysis::moved(set_.scales, 1, 0));
        case Qt::Key_Up:
            return take_scales(analysis::moved(set_.scales, 0, 1));
        case Qt::Key_Down:
            return take_scales(analysis::moved(set_.scales, 0, -1));
        case Qt::Key_E:
            ellipses = !ellipses;
            return PaintBox1->paint_now();
        case Qt::Key_R:
            rectangles = !rectangles;
            return PaintBox1->paint_now();
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return take_scales(analysis::zoomed_in(set_.scales));
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            return take_scales(analysis::zoomed_out(set_.scales));
        default:
            return;
    }
}

void TForm11::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return QWidget::keyPressEvent(event);
    FormKeyDown(event->key());
}

void TForm11::PaintBox1MouseDown(int x, int y) {
    drag_start = drag_corner = QPoint(x, y);
    dragging = true;
    band_drawn_ = false;
}

void TForm11::PaintBox1MouseMove(int x, int y) {
    if (!dragging) return;
    {
        QPainter p(&PaintBox1->image());
        if (band_drawn_) suite::xor_rubber_band(p, drag_start, drag_corner);
        drag_corner = QPoint(x, y);
        suite::xor_rubber_band(p, drag_start, drag_corner);
        band_drawn_ = true;
    }
    PaintBox1->update();
}

void TForm11::PaintBox1MouseUp(int, int) {
    if (!dragging) return;
    dragging = false;
    if (band_drawn_) {
        QPainter p(&PaintBox1->image());
        suite::xor_rubber_band(p, drag_start, drag_corner);
        band_drawn_ = false;
    }
    PaintBox1->update();
    const auto w = suite::zoom_from_drag(analysis::deviation_mapping(PaintBox1->height(), set_.scales),
                                         drag_start, drag_corner);
    if (!w) return;
    take_scales({w->re_min, w->im_min, w->width});
}

// A repaint of a window whose set is gone draws nothing and hides it.
bool TForm11::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PaintBox1 && event->type() == QEvent::Paint && !set_valid()) PaintBox1->invalidate();
    return QWidget::eventFilter(watched, event);
}

bool TForm11::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !set_valid()) PaintBox1->invalidate();
    return QWidget::event(event);
}

}  // namespace moratw
