// The program-wide records of the schematic editor: the circuit array,
// the value list, the layout view with its options, the undo and redo
// steps of the layout edits, the state of the formula error dialog and the
// layout font. The main window owns the one
// instance and hands it to the other windows.
#pragma once

#include <string>

#include "editor/files/circuit.h"
#include "editor/files/valuelist.h"
#include "editor/formula/formula.h"
#include "editor/layout/history.h"
#include "editor/layout/layout.h"

namespace editor {

struct EditorRecords {
    Circuit circuit;
    ValueList values;
    ViewState view;
    EditHistory history;
    FormulaErrorDialog formula_dialog;
    std::string font_family;  // the layout paint box's font
};

}  // namespace editor
