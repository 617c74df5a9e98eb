#include "editor/main/main_text.h"

#include "editor/layout/layout.h"
#include "editor/library/library.h"

namespace editor {

std::vector<std::string> message_area_start() {
    return {"Plaxe for Windows", "Schematic circuit editor and netlist generator", ""};
}

std::vector<std::string> help_text() {
    std::vector<std::string> lines = {
        "",
        "To add an element at the cursor, press the corresponding key.",
        "Accepted element keys:",
        accepted_keys_line(),
        "The elements \"-+\\\" and the labels 0..9 are for connections.",
        "The ground connection \"=\" must exist somewhere, and generates node 0.",
        "For more than 10 labels, change the second letter of the label names.",
        "The key \"*\" is for comments.",
        "The key \".\" is for commands for programs as SPICE and others.",
        "To produce a command line at the end of the netlist without \".\", start it with \".\".",
        "Comments are only included in the netlist if the corresponding option is set.",
        "Direct commands:",
    };
    for (const std::string& l : layout_key_help()) lines.push_back(l);
    for (const char* l : {"The parameters are a text that is interpreted in the",
                          "netlist generation. Formulas can be used, enclosed in \"()\"",
                          "and without internal spaces, involving constants and",
                          "values of the value list. Accepted operators are:",
                          "sin(),cos(),tan(),log(),exp(),*,/,^,=,+,-,(),|(parallel).",
                          "Assignments (=) can be used to create values in the",
                          "value list. Evaluation is from bottom-top, left-right.",
                          "Formulas in comments are evaluated from top to bottom.",
                          "Formulas assigned with \"=\" must be between parenthesis."})
        lines.emplace_back(l);
    return lines;
}

std::vector<std::string> status_report(const StatusFigures& s) {
    const auto n = [](int v) { return std::to_string(v); };
    return {
        "Program status:",
        "Circuit name: " + s.circuit_name,
        "Number of elements: " + n(s.elements) + " (max=" + n(max_elements) + ")",
        "Elements in the value list: " + n(s.values) + " (max=" + n(200) + ")",
        "Screen limits: X: " + n(s.x0) + " to " + n(s.x0 + s.columns) + " Y: " + n(s.y0) + " to " +
            n(s.y0 + s.rows),
    };
}

std::string option_message(EditorOption option, bool on) {
    switch (option) {
        case EditorOption::comments:
            return on ? "Comments will be saved in the netlist."
                      : "Comments will not be saved in the netlist.";
        case EditorOption::vector_drawings:
            return on ? "Vector drawings will be used." : "Bitmap drawings will be used.";
        case EditorOption::grid:
            return on ? "The grid will allways be drawn."
                      : "No grid will be drawn with vector drawings and zoom>1.";
        case EditorOption::thin_lines:
            return on ? "Thin lines will be used." : "Lines proportional to the zoom level will be used.";
    }
    return {};
}

}  // namespace editor
