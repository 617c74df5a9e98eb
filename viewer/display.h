// The viewer's display state and the moves and zooms of its window.
//
// Every change of the window goes through apply_window, which refuses a
// width that is not positive or a window the 48-bit reals cannot resolve,
// and leaves the state as it was then.
//
//   DisplayState d;                         // -2, -2, width 4
//   if (auto why = apply_window(d, zoomed_in(d))) report(*why);
#pragma once

#include <optional>
#include <string>

#include "viewer/tablestore.h"

namespace viewer {

struct DisplayState {
    Real48 re_min = -2;
    Real48 im_min = -2;
    Real48 width = 4;
    Real48 magnification = 1;
    bool rectangles = true;
    bool ellipses = true;
    bool cursor = true;
};

// A proposed window, in extended precision.
struct WindowRequest {
    suite::Real re_min = 0, im_min = 0, width = 0;
};

// The scales dialog's refusal of a width that is not positive (its error
// box; kelma's --window prints the same).
inline const std::string kWidthMessage = "A largura deve ser maior que zero.";
// Reports of a refused window.
inline const std::string kBadWidth = "* Largura inválida: deve ser maior que zero. Escalas mantidas.";
inline const std::string kBadWindow = "* Escalas fora dos limites. Escalas mantidas.";

// Stores the window rounded to 48-bit reals, or returns why it was refused
// (kBadWidth, kBadWindow) and changes nothing.
std::optional<std::string> apply_window(DisplayState& d, const WindowRequest& w);

WindowRequest current_window(const DisplayState& d);
// "+": about the centre, width halved. "-": width doubled.
WindowRequest zoomed_in(const DisplayState& d);
WindowRequest zoomed_out(const DisplayState& d);
// Arrow keys: a quarter of the width left, right, up or down.
WindowRequest moved(const DisplayState& d, int quarters_re, int quarters_im);
// Blank: centred on (re, im).
WindowRequest centred_on(const DisplayState& d, Real48 re, Real48 im);
// "t", and the first read into an empty viewer: the square that holds every
// entry of every table in use with the deviation figures drawn for it
// (rectangles and ellipses as switched, at the magnification), centred,
// with a twentieth of its extent to spare on each side. A single point
// gets a window as wide as its distance from the origin (-2, -2, 4 at the
// origin). Nothing without a table in use.
std::optional<WindowRequest> fitted_window(const TableStore& store, const DisplayState& d);

// The value as the scales dialog shows it: the nearest decimal of 11
// significant digits, so that 0.1, stored as the nearest 48-bit real, reads
// back as 0.1 and not as 0.0999999999999091.
suite::Real shown_value(Real48 x);

// "A" doubles and "a" halves the magnification; false (nothing changed)
// when the result leaves the 48-bit range.
bool scale_magnification(DisplayState& d, suite::Real factor);

}  // namespace viewer
