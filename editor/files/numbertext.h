// The editor's number text: how every number it prints or writes into a
// netlist looks.
//
// The value is written with 15 significant digits in scientific notation,
// then the leading blank, the trailing zeros of the mantissa (and a bare
// "."), the leading zeros of the exponent and a zero exponent are dropped:
//
//   number_text(1)      -> "1"         number_text(1000)   -> "1E+3"
//   number_text(0.001)  -> "1E-3"      number_text(-2.5)   -> "-2.5"
//   number_text(4.7e-9) -> "4.7E-9"    number_text(0)      -> "0"
#pragma once

#include <string>

namespace editor {

// Infinities and NaN, which no formula result should be, come out as
// "INF", "-INF" and "NAN".
std::string number_text(double value);

}  // namespace editor
