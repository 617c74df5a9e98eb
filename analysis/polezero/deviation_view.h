// The deviation plot's square of the complex plane and its selected entry:
// the moves, zooms and entry steps of the plot window's keys and mouse.
//
//   PoleZeroSet& set = ...;                                 // after a run
//   apply_plot_scales(set.scales, zoomed_in(set.scales));   // "+"
//   next_plot_entry(set);                                   // "."
//
// Every new square goes through apply_plot_scales, which keeps the square
// as it was when the proposed one cannot be drawn (a width that is not a
// positive number, or a square too small or too far out for its edges to
// be told apart).
#pragma once

#include "analysis/polezero/polezero_set.h"

namespace analysis {

// "." and "Q": the next entry, after the last comes the first. ",": the
// previous one, before the first comes the last. Nothing without entries.
void next_plot_entry(PoleZeroSet& set);
void previous_plot_entry(PoleZeroSet& set);

// The entry the plot shows as selected, or none (no entries).
const PoleZeroEntry* current_plot_entry(const PoleZeroSet& set);

// Proposed squares. Arrows: a quarter of the width along the real or the
// imaginary axis. Blank: centred on (re, im). "+": about the centre, width
// halved. "-": width doubled.
PoleZeroScales moved(const PoleZeroScales& s, int quarters_re, int quarters_im);
PoleZeroScales centred_on(const PoleZeroScales& s, Real re, Real im);
PoleZeroScales zoomed_in(const PoleZeroScales& s);
PoleZeroScales zoomed_out(const PoleZeroScales& s);

// Whether a square can be drawn: finite corners, a positive width, and
// edges that stay apart at the precision of the coordinates.
bool drawable_scales(const PoleZeroScales& s);
// Takes the proposed square when it can be drawn; false (nothing changed)
// otherwise.
bool apply_plot_scales(PoleZeroScales& s, const PoleZeroScales& proposed);

}  // namespace analysis
