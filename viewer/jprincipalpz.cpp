#include "viewer/jprincipalpz.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "common/dialogseam.h"
#include "viewer/helptext.h"
#include "viewer/tablereader.h"
#include "viewer/viewerplot.h"

namespace kelmaw {

namespace {

const QString kFilter = QStringLiteral(
    "Tabela de sens. de pólos|*.tsp|Tabela de sens. de zeros|*.tsz|Referências de pólos|*.rpo|"
    "Referências de zeros|*.rpz|Qualquer|*.*");

}  // namespace

Tjprincipalpz::Tjprincipalpz(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Pólos e Zeros"));
    resize(696, 480);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setFocusPolicy(Qt::StrongFocus);

    cgrafico = new suite::PaintBox(this);
    cgrafico->setObjectName("cgrafico");
    cgrafico->background = Qt::black;
    cgrafico->setFocusPolicy(Qt::NoFocus);
    cgrafico->on_paint = [this] { cgraficoPaint(); };
    setCentralWidget(cgrafico);
    connect(cgrafico, &suite::PaintBox::mouse_down, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) { cgraficoMouseDown(x, y); });
    connect(cgrafico, &suite::PaintBox::mouse_move, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) { cgraficoMouseMove(x, y); });
    connect(cgrafico, &suite::PaintBox::mouse_up, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) { cgraficoMouseUp(x, y); });

    Menu1 = menuBar()->addMenu(QStringLiteral("Menu"));
    Lertabela1 = Menu1->addAction(QStringLiteral("Ler tabela"), this, &Tjprincipalpz::Lertabela1Click);
    Mensagens1 = Menu1->addAction(QStringLiteral("Mensagens"), this, &Tjprincipalpz::Mensagens1Click);
    Terminar1 = Menu1->addAction(QStringLiteral("Terminar"), this, &Tjprincipalpz::Terminar1Click);
    Lertabela1->setObjectName("Lertabela1");
    Mensagens1->setObjectName("Mensagens1");
    Terminar1->setObjectName("Terminar1");

    jmensagenspz = new Tjmensagenspz();
    jescalaspz = new Tjescalaspz(this);
}

Tjprincipalpz::~Tjprincipalpz() { delete jmensagenspz; }

bool Tjprincipalpz::event(QEvent* e) {
    // The start sequence asks for a file: it runs once the activation has
    // been handled, not inside it.
    if (e->type() == QEvent::WindowActivate && !activated_)
        QTimer::singleShot(0, this, &Tjprincipalpz::FormActivate);
    return QMainWindow::event(e);
}

void Tjprincipalpz::FormActivate() {
    if (activated_) return;
    activated_ = true;
    display = viewer::DisplayState{};
    dragging = false;
    // The message window goes beside the main window, clear of the plot
    // where the screen has room (message_window_frame); its frame is taken
    // to be as wide as the main window's, which the window manager has
    // drawn by now.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect frame = frameGeometry(), inner = geometry();
        const QMargins decoration(inner.left() - frame.left(), inner.top() - frame.top(),
                                  frame.right() - inner.right(), frame.bottom() - inner.bottom());
        const QRect to = message_window_frame(screen->availableGeometry(), frame,
                                              jmensagenspz->size().grownBy(decoration));
        jmensagenspz->setGeometry(to.marginsRemoved(decoration));
    }
    jmensagenspz->show();
    for (const std::string& line : viewer::start_help_lines()) report(QString::fromStdString(line));
    viewer::allocate_slots(store);
    report(QString::fromStdString(viewer::allocation_report(viewer::kSlotCount)));
    display.cursor = true;
    store.last_file_name.clear();
    store.current_table = 0;
    store.current_entry = 1;
    activateWindow();
    raise();
    read_file();
}

void Tjprincipalpz::Lertabela1Click() { read_file(); }

void Tjprincipalpz::Mensagens1Click() {
    jmensagenspz->show();
    jmensagenspz->raise();
}

void Tjprincipalpz::Terminar1Click() { suite::dialog_seam().end_program(0); }

void Tjprincipalpz::closeEvent(QCloseEvent* e) {
    e->accept();
    jmensagenspz->close();
    suite::dialog_seam().end_program(0);
}

void Tjprincipalpz::report(const QString& line) { jmensagenspz->report(line); }

void Tjprincipalpz::read_file() {
    if (!store.allocated()) return;  // before the start sequence there is no store
    suite::FileRequest request;
    request.title = QStringLiteral("Ler tabela");
    request.filter = kFilter;
    request.filter_index = 1;
    const QString last = QString::fromStdString(store.last_file_name);
    request.file_name = last.isEmpty() || last_directory_.isEmpty() ? last : last_directory_ + "/" + last;
    const suite::FileAnswer answer = suite::dialog_seam().open_file(this, request);
    if (!answer.accepted) {
        report(QStringLiteral("* Cancelado"));
        return;
    }
    const std::string chosen = answer.file_name.toStdString();
    last_directory_ = QFileInfo(answer.file_name).absolutePath();
    const bool was_empty = !viewer::any_table_in_use(store);
    viewer::read_table_file(store, chosen,
                            [this](const std::string& s) { report(QString::fromStdString(s)); });
    // The first tables of an empty viewer are shown whole; later reads keep
    // the scales.
    if (was_empty) fit_all();
    repaint_plot();
}

suite::PlaneMapping Tjprincipalpz::mapping() const {
    return viewer::viewer_mapping(cgrafico->height(), display);
}

void Tjprincipalpz::cgraficoPaint() {
    QPainter p(&cgrafico->image());
    const QSize box = cgrafico->image().size();
    viewer::draw_viewer_plot(p, box, store, display);
    cursor_position = suite::kNoCursor;
    viewer::show_selection(p, box, store, display, cursor_position);
}

void Tjprincipalpz::repaint_plot() { cgrafico->paint_now(); }

void Tjprincipalpz::show_selection() {
    {
        QPainter p(&cgrafico->image());
        viewer::show_selection(p, cgrafico->image().size(), store, display, cursor_position);
    }
    cgrafico->update();
}

void Tjprincipalpz::apply(const viewer::WindowRequest& w) {
    if (const auto why = viewer::apply_window(display, w)) report(QString::fromStdString(*why));
}

void Tjprincipalpz::fit_all() {
    if (const auto w = viewer::fitted_window(store, display)) apply(*w);
}

void Tjprincipalpz::values_box(bool below) {
    const viewer::Entry* e = store.current_entry_ptr();
    if (!e) return;
    {
        QPainter p(&cgrafico->image());
        viewer::move_cursor(p, cursor_position, suite::kNoCursor);
        viewer::draw_values_box(p, mapping(), *e, display.magnification, below);
    }
    show_selection();
}

void Tjprincipalpz::scales_dialog() {
    jescalaspz->NEremin->set_panel_real(viewer::shown_value(display.re_min));
    jescalaspz->NEimmin->set_panel_real(viewer::shown_value(display.im_min));
    jescalaspz->NEdelta->set_panel_real(viewer::shown_value(display.width));
    jescalaspz->NEremin->setFocus();
    if (jescalaspz->exec() == QDialog::Accepted)
        apply({jescalaspz->NEremin->panel_real(), jescalaspz->NEimmin->panel_real(),
               jescalaspz->NEdelta->panel_real()});
    repaint_plot();
}

void Tjprincipalpz::FormKeyPress(QChar key) {
    const viewer::Entry* e = store.current_entry_ptr();
    switch (key.unicode()) {
        case 'e':
            display.ellipses = !display.ellipses;
            return repaint_plot();
        case 'r':
            display.rectangles = !display.rectangles;
            return repaint_plot();
        case 'A':
        case 'a':
            if (!viewer::scale_magnification(display, key == 'A' ? 2.0L : 0.5L))
                report(QStringLiteral("* Ampliação fora dos limites. Ampliação mantida."));
            return repaint_plot();
        case '+':
            apply(viewer::zoomed_in(display));
            return repaint_plot();
        case '-':
            apply(viewer::zoomed_out(display));
            return repaint_plot();
        case ' ':
            if (!e) return;
            apply(viewer::centred_on(display, e->Re, e->Im));
            return repaint_plot();
        case 't':
            fit_all();
            return repaint_plot();
        case 'c': {
            display.cursor = !display.cursor;
            if (!display.cursor) {
                QPainter p(&cgrafico->image());
                viewer::move_cursor(p, cursor_position, suite::kNoCursor);
            }
            return show_selection();
        }
        case '\r':
            viewer::select_next_table(store);
            return show_selection();
        case '>':
        case '.':
            viewer::next_entry(store);
            return show_selection();
        case '<':
        case ',':
            viewer::previous_entry(store);
            return show_selection();
        case 'v':
        case 'V':
            return values_box(key == 'V');
        case 27:
            return scales_dialog();
        default:
            return show_selection();
    }
}

void Tjprincipalpz::FormKeyDown(int key) {
    switch (key) {
        case Qt::Key_Left:
            apply(viewer::moved(display, -1, 0));
            return repaint_plot();
        case Qt::Key_Right:
            apply(viewer::moved(display, 1, 0));
            return repaint_plot();
        case Qt::Key_Up:
            apply(viewer::moved(display, 0, 1));
            return repaint_plot();
        case Qt::Key_Down:
            apply(viewer::moved(display, 0, -1));
            return repaint_plot();
        case Qt::Key_Insert:
            return read_file();
        case Qt::Key_Delete:
            viewer::delete_current_table(store);
            return repaint_plot();
        default:
            return;
    }
}

void Tjprincipalpz::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Insert:
        case Qt::Key_Delete:
            return FormKeyDown(e->key());
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return FormKeyPress(QChar('\r'));
        case Qt::Key_Escape:
            return FormKeyPress(QChar(27));
        default:
            if (!e->text().isEmpty()) return FormKeyPress(e->text().front());
            QMainWindow::keyPressEvent(e);
    }
}

void Tjprincipalpz::cgraficoMouseDown(int x, int y) {
    drag_start = drag_corner = QPoint(x, y);
    dragging = true;
    band_drawn_ = false;
}

void Tjprincipalpz::cgraficoMouseMove(int x, int y) {
    if (!dragging) return;
    {
        QPainter p(&cgrafico->image());
        if (band_drawn_) suite::xor_rubber_band(p, drag_start, drag_corner);
        drag_corner = QPoint(x, y);
        suite::xor_rubber_band(p, drag_start, drag_corner);
        band_drawn_ = true;
    }
    cgrafico->update();
}

void Tjprincipalpz::cgraficoMouseUp(int, int) {
    if (!dragging) return;
    dragging = false;
    if (band_drawn_) {
        QPainter p(&cgrafico->image());
        suite::xor_rubber_band(p, drag_start, drag_corner);
        band_drawn_ = false;
    }
    cgrafico->update();
    const auto w = suite::zoom_from_drag(mapping(), drag_start, drag_corner);
    if (!w) return;
    apply({w->re_min, w->im_min, w->width});
    repaint_plot();
}

}  // namespace kelmaw
