// The command-line twin of the viewer:
//
//   kelma TABLE... [--plot FILE] [--size N] [--window REMIN IMMIN WIDTH]
//         [--magnify K] [--no-rectangles] [--no-ellipses] [--select SLOT ENTRY]
//
// Reads each file as "Ler tabela" does (".tab" appended to a name without
// "."), prints the reports of the message window, and draws the main
// window's picture into FILE (PNG, or SVG when FILE ends in ".svg"). The
// picture shows --window, or else every table read with its deviations.
// Exit status: 0; 1 when a read reported a failure or the picture could not
// be written; 2 for a bad command line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace viewer {

// Needs a QGuiApplication when a picture is drawn.
int run_kelma(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace viewer
