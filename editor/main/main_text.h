// The texts of the editor's main window: the first lines of the message
// area, the help text ("Functions"), the status report ("Informations")
// and the options' messages.
#pragma once

#include <string>
#include <vector>

namespace editor {

std::vector<std::string> message_area_start();
std::vector<std::string> help_text();

struct StatusFigures {
    std::string circuit_name;
    int elements = 0;
    int values = 0;
    int x0 = 0, y0 = 0, columns = 0, rows = 0;  // the grid window of the last paint
};
std::vector<std::string> status_report(const StatusFigures& s);

enum class EditorOption { comments, vector_drawings, grid, thin_lines };
// The line an option prints when it is toggled to `on`.
std::string option_message(EditorOption option, bool on);

inline constexpr const char* version_line = "Version 2.0a of 22/9/2018";

}  // namespace editor
