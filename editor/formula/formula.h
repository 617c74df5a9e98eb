// Parameter formulas.
//
// A parameter text is a list of tokens separated by spaces; a token written
// as "(" ... ")" is a formula, evaluated against the value list and
// replaced by its value in the editor's number text. Formulas use numbers,
// value-list names, SIN COS TAN LOG EXP, the operators + - * / ^ and |
// (parallel: a*b/(a+b)), and assignments NAME=value that create or change
// value-list entries. Precedence, lowest first: (+ -), (* /), (^ |), then
// parentheses and functions; ^ and | apply from left to right.
//
//   ValueList values;
//   FormulaErrorDialog dialog;               // dialog.show: the window's modal dialog
//   FormulaState f{values, print, dialog};
//   reduce_text("(1+2) 1E3 (X=2)", f)       -> " 3 1E3 2", prints "X=2 created"
//   reduce_text("(1/0)", f)                 -> " (1/0)?", prints "Division by zero."
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "editor/files/messages.h"
#include "editor/files/valuelist.h"

namespace editor {

// The "Error in formula" dialog as the evaluator sees it.
struct FormulaErrorDialog {
    // The "Ignore other errors" box: while ticked no dialog is shown.
    bool ignore_other_errors = false;
    // Shows the failing token (with its "?") modally; the user may tick the
    // box meanwhile. Empty: errors only print their messages.
    std::function<void(const std::string& token, bool& ignore_other_errors)> show;
};

// Everything one evaluation works on.
struct FormulaState {
    ValueList& values;
    MessageSink print;  // the message area
    FormulaErrorDialog& dialog;
    bool success = true;  // set before each formula, cleared by any error
    int depth = 0;        // expressions being evaluated, one inside the other
    int unevaluated = 0;  // formulas kept with "?" by reduce_text, counted up
};

// Expressions nest at most this deep (parentheses, functions, assignments):
// deeper ones fail with "Formula nested too deeply." instead of exhausting
// the stack.
inline constexpr int max_formula_depth = 200;

// The initial text of the formula test dialog's field.
inline constexpr std::string_view formula_test_initial_text =
    "(1+(1+1)*(2+2)) (x=1) (SIN(x)^2+COS(x)^2) text";

// One token of `text` from position `p` with the separators `separators`:
// leading spaces skipped, separators at its start kept as its operator
// prefix, then up to the next separator. A "+" or "-" right after "=", or
// after an "E" that follows a digit, does not end it; a parenthesised group
// is never split. `p` moves to the character that ended the token.
std::string scan_token(const std::string& text, std::size_t& p, std::string_view separators);

// Evaluates an expression (already in upper case). Any error prints its
// message, clears `f.success` and gives 0.
double evaluate(const std::string& expression, FormulaState& f);

// The token pass over a parameter text: every token preceded by one space,
// formulas replaced by their values; a failing formula is kept with "?"
// appended and shown in the error dialog unless errors are ignored.
std::string reduce_text(const std::string& text, FormulaState& f);

// What stands where the analysis program reads a number in the parameter
// text of an element of kind `kind` (library index) and is not a number:
// the first such word, or "" when the text has no word at all; nothing
// when the text is sound or the kind's text is free (ParameterValues).
// Formulas count as numbers: they become numbers in the netlist, or are
// counted there as formulas that could not be evaluated.
//
//   value_not_a_number(R, "47K")          -> "47K"
//   value_not_a_number(R, "(R1*2)")       -> nothing
//   value_not_a_number(C, "1E-9 IC=0.5")  -> nothing
//   value_not_a_number(Q, "NPN")          -> nothing (a model name)
std::optional<std::string> value_not_a_number(int kind, const std::string& text);

// The test dialog's "Evaluate": prints "Original expression: " + text,
// reduces it and prints "Reduced expression: " + the result, which it returns.
std::string test_formula(const std::string& text, FormulaState& f);

}  // namespace editor
