// Puts the pole/zero window in the analysis program's place for it: the
// start-up leaves plain Form10 and Form11 there until this runs.
//
//   moratw::Moratw program;
//   moratw::install_pole_zero_window(program);
#pragma once

namespace moratw {

class Moratw;
class TForm10;

// Replaces Form10 of the program and of its main window by a TForm10 on
// the program's records, and Form11 by the deviation plot TForm11 on that
// window's pole/zero set (once: a TForm10 already there is kept).
TForm10* install_pole_zero_window(Moratw& program);

}  // namespace moratw
