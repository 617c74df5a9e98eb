// Reading deviation tables (".tsp", ".tsz") and reference files (".rpo",
// ".rpz") into the table store.
//
// A file holds tables; each is a header line containing "Pol", "Pól" or
// "Zer", entry lines of 7 numbers (Re Im VRe VIm Ra Rb Ang) or 2 numbers
// (Re Im), and a blank line or the end of the file. Every step is reported
// as a line for the message window:
//
//   read_table_file(store, "C:\\dados\\filtro", report);
//     // reads C:\dados\filtro.tab; the tables are named "filtro.tab"
//   read_tables(store, text, "filtro.tsp", report);   // text already read
#pragma once

#include <functional>
#include <string>

#include "viewer/tablestore.h"

namespace viewer {

using Report = std::function<void(const std::string&)>;

// Reports of the reader.
inline const std::string kEndOfFile = "* Fim do arquivo";
inline const std::string kBadFormat = "* Formato impróprio.";
inline const std::string kNoSlot = "* Número máximo de tabelas excedido";

// What became of a file's reading.
struct ReadOutcome {
    int tables = 0;       // tables registered
    bool failed = false;  // a missing file, a malformed number or a refused table
};

// The name the file is looked for under: the chosen name, with ".tab"
// appended when its last component has no ".".
std::string completed_file_name(const std::string& chosen);
// The part after the last "\" or "/".
std::string name_without_directory(const std::string& path);

// Reads every table of `text` into free slots, naming them `table_name`;
// each registered table becomes the current one. The reading is one load:
// its tables share one colour.
ReadOutcome read_tables(TableStore& store, const std::string& text, const std::string& table_name,
                        const Report& report);

// Completes the chosen name, remembers it as the last file name, reads the
// file and its tables. A file that cannot be opened is reported as
// "* Arquivo " + name + " inexistente.".
ReadOutcome read_table_file(TableStore& store, const std::string& chosen, const Report& report);

}  // namespace viewer
