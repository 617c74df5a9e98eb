// The layout screen (TForm3): one paint box onto the 128 by 128 grid. Keys
// and the mouse edit the circuit through the layout operations; every
// change is shown by painting the whole picture anew from the records.
#pragma once

#include <QWidget>
#include <functional>

#include "common/paintbox.h"
#include "editor/layout/editor_records.h"

namespace plaxew {

class TForm4;

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(editor::EditorRecords& records, QWidget* parent = nullptr);

    suite::PaintBox* PaintBox1;
    TForm4* Form4 = nullptr;

    // What the layout screen asks of the main window.
    editor::MessageSink say;
    std::function<bool(const QString& question)> confirm;  // Yes/No
    std::function<void()> show_main;                       // F1
    std::function<void()> generate_netlist;                // Ctrl-Q
    std::function<void()> show_nodes;                      // Ctrl-P
    std::function<void()> list_circuit;                    // Ctrl-Z
    std::function<void()> read_value_list;                 // Ctrl-U

    // Operations offered to the main window.
    void repaint_layout();
    void centre();
    void change_zoom();
    void invert_colours();
    void sort();
    void show_layout();
    // The Parameters dialog for element i; false when it was cancelled.
    bool edit_element(int i);
    // Ctrl-E and Ctrl-R (and the main window's "Edit" menu).
    void undo();
    void redo();

    void PaintBox1Paint();
    void PaintBox1MouseDown(Qt::MouseButton button, int x, int y);
    void PaintBox1MouseMove(int x, int y);
    // Key commands (Ctrl ones included); false when the key is none of them.
    bool FormKeyDown(int key, Qt::KeyboardModifiers shift);
    // Places the element of a typed character.
    void FormKeyPress(QChar c);
    void FormMouseWheel(bool up);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool control_key(int key);
    void edit_under_cursor();
    void place_dialog(int i);
    void list_parameters();
    void block_key();
    void draw_block_rectangle();
    void copy_move(bool move);
    void delete_block();
    void show_connections();
    // Keeps the edit for undo when the circuit is no longer in `before`.
    void keep_edit(const std::string& what, editor::CircuitState before);

    editor::EditorRecords& r_;
    int wheel_ = 0;  // wheel movement not yet turned into zoom steps
};

}  // namespace plaxew
