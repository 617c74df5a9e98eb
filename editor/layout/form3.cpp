#include "editor/layout/form3.h"

#include <QKeyEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <QVBoxLayout>
#include <QWindow>

#include "editor/layout/form4.h"
#include "editor/layout/layout_paint.h"
#include "editor/netlist/netlist.h"

namespace plaxew {

using namespace editor;

TForm3::TForm3(EditorRecords& records, QWidget* parent) : QWidget(parent), r_(records) {
    setObjectName("Form3");
    setWindowTitle("Layout screen");
    setFocusPolicy(Qt::StrongFocus);
    PaintBox1 = new suite::PaintBox(this);
    PaintBox1->setObjectName("PaintBox1");
    PaintBox1->setFocusProxy(this);
    PaintBox1->on_paint = [this] { PaintBox1Paint(); };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PaintBox1);
    connect(PaintBox1, &suite::PaintBox::mouse_down, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) { PaintBox1MouseDown(b, x, y); });
    connect(PaintBox1, &suite::PaintBox::mouse_move, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) { PaintBox1MouseMove(x, y); });
    connect(PaintBox1, &suite::PaintBox::mouse_wheel, this,
            [this](int delta, Qt::KeyboardModifiers, int x, int y) {
                r_.view.mouse_x = x;
                r_.view.mouse_y = y;
                // One step per notch; touchpads send a notch in small parts.
                wheel_ += delta;
                for (; wheel_ >= 120; wheel_ -= 120) FormMouseWheel(true);
                for (; wheel_ <= -120; wheel_ += 120) FormMouseWheel(false);
            });
    resize(800, 600);
}

void TForm3::PaintBox1Paint() {
    PaintBox1->background = rgb_colour(r_.view.colours.background);
    QPainter p(&PaintBox1->image());
    paint_layout(p, PaintBox1->image().size(), r_.circuit, r_.view, QString::fromStdString(r_.font_family));
}

void TForm3::repaint_layout() { PaintBox1->paint_now(); }

// A window shown again without a place of its own is put wherever the
// window manager likes. Read circuit closes and reopens the layout screen,
// so a reopened screen asks for the place and size it had (the first
// showing is left to the window manager).
void TForm3::show_layout() {
    if (!isVisible())
        if (QWindow* w = windowHandle()) w->setGeometry(geometry());
    show();
    raise();
    activateWindow();
    repaint_layout();
}

void TForm3::centre() {
    centre_circuit(r_.circuit, r_.view);
    repaint_layout();
}

void TForm3::change_zoom() {
    cycle_zoom(r_.view);
    show_layout();
}

void TForm3::invert_colours() {
    editor::invert_colours(r_.view);
    repaint_layout();
}

void TForm3::sort() { sort_elements(r_.circuit, say); }

void TForm3::PaintBox1MouseDown(Qt::MouseButton button, int x, int y) {
    r_.view.mouse_x = x;
    r_.view.mouse_y = y;
    if (button == Qt::LeftButton) {
        cursor_from_mouse(r_.view, x, y);
        edit_under_cursor();
    } else if (button == Qt::RightButton) {
        centre_on_mouse(r_.view, x, y);
        repaint_layout();
    }
}

void TForm3::PaintBox1MouseMove(int x, int y) {
    r_.view.mouse_x = x;
    r_.view.mouse_y = y;
    if (r_.view.block.state != 1) return;
    cursor_from_mouse(r_.view, x, y);
    if (r_.view.cursor.second == r_.view.block.end) return;
    draw_block_rectangle();  // off at the old corner
    block_follow(r_.view);
    draw_block_rectangle();
}

void TForm3::FormMouseWheel(bool up) {
    if (wheel_zoom(r_.view, up, PaintBox1->height())) repaint_layout();
}

void TForm3::keyPressEvent(QKeyEvent* event) {
    cursor_from_mouse(r_.view, r_.view.mouse_x, r_.view.mouse_y);
    if (FormKeyDown(event->key(), event->modifiers())) return;
    // A key with Ctrl never places an element; Alt ones belong to menus.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return;
    const QString text = event->text();
    if (text.size() == 1) FormKeyPress(text[0]);
}

bool TForm3::FormKeyDown(int key, Qt::KeyboardModifiers shift) {
    if (shift & Qt::ControlModifier) return control_key(key);
    const Cursor& cur = r_.view.cursor;
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            edit_under_cursor();
            return true;
        case Qt::Key_Space:
            if (const int i = topmost_under_cursor(r_.circuit, cur)) {
                CircuitState before = circuit_state(r_.circuit);
                if (invert_element(r_.circuit, r_.view, i)) {
                    keep_edit("Invert " + r_.circuit.element[i].name, std::move(before));
                    repaint_layout();
                }
            }
            return true;
        case Qt::Key_Backspace:
            if (const int i = topmost_under_cursor(r_.circuit, cur)) {
                CircuitState before = circuit_state(r_.circuit);
                reflect_element(r_.circuit, i);
                keep_edit("Reflect " + r_.circuit.element[i].name, std::move(before));
                repaint_layout();
            }
            return true;
        case Qt::Key_Delete:
            if (const int i = topmost_under_cursor(r_.circuit, cur)) {
                CircuitState before = circuit_state(r_.circuit);
                const std::string name = r_.circuit.element[i].name;
                delete_element(r_.circuit, i);
                keep_edit("Delete " + name, std::move(before));
                repaint_layout();
            }
            return true;
        case Qt::Key_F1:
            if (show_main) show_main();
            return true;
        case Qt::Key_Escape:
            list_parameters();
            return true;
        default:
            return false;
    }
}

bool TForm3::control_key(int key) {
    switch (key) {
        case Qt::Key_A:
            centre();
            break;
        case Qt::Key_B:
            block_key();
            break;
        case Qt::Key_C:
            copy_move(false);
            break;
        case Qt::Key_E:
            undo();
            break;
        case Qt::Key_I:
            invert_colours();
            break;
        case Qt::Key_K:
            repaint_layout();
            break;
        case Qt::Key_L:
            if (confirm && confirm("Erase all the circuit?")) {
                CircuitState before = circuit_state(r_.circuit);
                r_.circuit.count = 0;
                keep_edit("Erase all", std::move(before));
                repaint_layout();
            }
            break;
        case Qt::Key_O:
            sort();
            repaint_layout();
            break;
        case Qt::Key_P:
            if (show_nodes) show_nodes();
            break;
        case Qt::Key_Q:
            if (generate_netlist) generate_netlist();
            break;
        case Qt::Key_R:
            redo();
            break;
        case Qt::Key_S:
            change_zoom();
            break;
        case Qt::Key_T:
            if (r_.values.count == 0)
                say("* No active value list.");
            else
                list_value_list(r_.values, say);
            break;
        case Qt::Key_U:
            if (read_value_list) read_value_list();
            break;
        case Qt::Key_V:
            copy_move(true);
            break;
        case Qt::Key_W:
            show_connections();
            break;
        case Qt::Key_X:
            for (int i = 1; i <= r_.circuit.count; ++i)
                if (!edit_element(i)) break;
            break;
        case Qt::Key_Y:
            delete_block();
            break;
        case Qt::Key_Z:
            if (list_circuit) list_circuit();
            break;
        default:
            break;
    }
    return true;
}

void TForm3::FormKeyPress(QChar c) {
    if (c.unicode() < 33 || c.unicode() > 126) return;
    CircuitState before = circuit_state(r_.circuit);
    if (place_element(r_.circuit, r_.view, static_cast<char>(c.unicode()), say) == PlaceResult::placed) {
        keep_edit("Place " + r_.circuit.element[r_.circuit.count].name, std::move(before));
        repaint_layout();
    }
}

void TForm3::keep_edit(const std::string& what, CircuitState before) {
    record_edit(r_.history, what, std::move(before), r_.circuit);
}

void TForm3::undo() {
    if (const auto what = undo_edit(r_.history, r_.circuit, r_.view.block)) {
        say("Undo: " + *what);
        repaint_layout();
    } else {
        say("Nothing to undo.");
    }
}

void TForm3::redo() {
    if (const auto what = redo_edit(r_.history, r_.circuit, r_.view.block)) {
        say("Redo: " + *what);
        repaint_layout();
    } else {
        say("Nothing to redo.");
    }
}

bool TForm3::edit_element(int i) {
    if (!editable(r_.circuit.element[i])) return true;  // nothing to edit: skipped
    r_.view.editing = i;
    repaint_layout();
    place_dialog(i);
    // The dialog is application modal: the main window and this one take
    // no input until it is answered.
    CircuitState before = circuit_state(r_.circuit);
    const bool applied = Form4->edit(r_.circuit, i, say);
    if (applied) keep_edit("Parameters of " + r_.circuit.element[i].name, std::move(before));
    r_.view.editing = 0;
    repaint_layout();
    activateWindow();
    return applied;
}

// The dialog goes to the half of the screen away from the element, so the
// highlighted element stays in sight.
void TForm3::place_dialog(int i) {
    const int y = screen_point(r_.view, r_.circuit.element[i].P[1]).y();
    const int top = y < PaintBox1->height() / 2 ? PaintBox1->height() - Form4->height() - 8 : 8;
    const QPoint at =
        PaintBox1->mapToGlobal(QPoint((PaintBox1->width() - Form4->width()) / 2, std::max(0, top)));
    Form4->move(at);
}

void TForm3::edit_under_cursor() {
    for (const int i : elements_under_cursor(r_.circuit, r_.view.cursor)) edit_element(i);
}

void TForm3::list_parameters() {
    QPainter p(&PaintBox1->image());
    for (const int i : elements_under_cursor(r_.circuit, r_.view.cursor))
        if (!r_.circuit.element[i].parameters.empty())
            paint_framed_text(p, r_.circuit, i, r_.view, QString::fromStdString(r_.font_family));
    PaintBox1->update();
}

void TForm3::draw_block_rectangle() {
    QPainter p(&PaintBox1->image());
    paint_block_rectangle(p, r_.view);
    PaintBox1->update();
}

void TForm3::block_key() {
    const int before = r_.view.block.state;
    if (before == 2) draw_block_rectangle();  // removed
    editor::block_key(r_.view);
    if (before == 0) draw_block_rectangle();
}

void TForm3::copy_move(bool move) {
    CircuitState before = circuit_state(r_.circuit, &r_.view.block);
    if (copy_move_block(r_.circuit, r_.view, move, say)) {
        keep_edit(move ? "Move block" : "Copy block", std::move(before));
        repaint_layout();
    }
}

void TForm3::delete_block() {
    if (r_.view.block.state != 2) {
        say("No block marked");
        return;
    }
    if (!confirm || !confirm("Delete block?")) return;
    CircuitState before = circuit_state(r_.circuit);
    editor::delete_block(r_.circuit, r_.view);
    keep_edit("Delete block", std::move(before));
    repaint_layout();
}

void TForm3::show_connections() {
    const int random = static_cast<int>(QRandomGenerator::global()->bounded(255));
    QPainter p(&PaintBox1->image());
    paint_connections(p, r_.view, connection_lines(r_.circuit, random));
    PaintBox1->update();
}

}  // namespace plaxew
