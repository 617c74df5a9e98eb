// The lines of a SPICE deck: the title, then the logical lines up to
// ".end", with comments removed, "+" continuations joined and included
// files put in place.
//
//   const DeckText deck = read_deck(text, "filter.cir", load_file_beside);
//   for (const DeckLine& line : deck.lines) ... line.text, line.number ...
//
// The first line is the title, whatever it holds. Lines whose first
// non-blank character is "*" are comments; ";" starts a comment anywhere,
// "$" at the start of a line or after a blank or tab. A line whose first
// non-blank character is "+" continues the line before it (comment and
// blank lines may stand between them). Lines between ".control" and
// ".endc" are kept apart: they are commands of a simulator, not circuit.
// ".include FILE" (".inc") and ".lib FILE SECTION" read the file, named
// relative to the file that names it; ".lib" takes the lines between
// ".lib SECTION" and ".endl" of that file.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/real.h"

namespace analysis::spice {

struct DeckLine {
    std::string file;  // empty for the deck itself, else the included file as named
    int number = 0;    // line number of its first physical line, from 1
    std::string text;  // the logical line, original case, without comments
};

// An op-amp subcircuit replaced by the netlist's gain-bandwidth op-amp
// (A): every X instance of `subckt` becomes one A element.
struct OpAmpReplacement {
    std::string subckt;     // lower-case
    suite::Real gb_hz = 0;  // gain-bandwidth product, Hz (> 1)
    suite::Real ro = 50;    // output resistance, ohms (> 0)
    // The non-inverting input, the inverting input and the output among
    // the subcircuit's ports (lower-case), or empty: found by their names.
    std::vector<std::string> ports;
};

struct DeckText {
    std::string title;
    std::vector<DeckLine> lines;
    std::vector<DeckLine> control;  // the lines of .control blocks
};

// The contents of a file, or nothing when it cannot be read.
using FileLoader = std::function<std::optional<std::string>(const std::string& path)>;
// Reads files from disk (as the suite reads text files).
std::optional<std::string> load_text_file(const std::string& path);

// `text` is the deck (line ends "\n"), `deck_path` its file name (folder
// of the included files). A continuation with no line before it, an
// included file that cannot be read, a .lib section that is not there
// and an include nested too deep are refused (suite::IoError with the
// message of refusal_message).
DeckText read_deck(const std::string& text, const std::string& deck_path, const FileLoader& load);

// The message of a refused line: "Deck SPICE, linha N[ de FILE][ (em
// INSTANCE)]: "TEXT": WHY", with the text cut at 60 characters.
std::string refusal_message(const DeckLine& line, const std::string& instance, const std::string& why);
[[noreturn]] void refuse(const DeckLine& line, const std::string& instance, const std::string& why);

// The text cut to `size` bytes with "..." when longer, at a character.
std::string shortened(const std::string& text, std::size_t size);
// The first word of a line, lower-cased ("" for none).
std::string first_word(const std::string& text);
std::string lower_case(std::string text);

}  // namespace analysis::spice
