#include "analysis/polezero/deviation_view.h"

#include <cmath>

namespace analysis {

void next_plot_entry(PoleZeroSet& set) {
    if (set.entry_count < 1) return;
    set.current_entry = set.current_entry >= set.entry_count ? 1 : set.current_entry + 1;
}

void previous_plot_entry(PoleZeroSet& set) {
    if (set.entry_count < 1) return;
    set.current_entry = set.current_entry <= 1 ? set.entry_count : set.current_entry - 1;
}

const PoleZeroEntry* current_plot_entry(const PoleZeroSet& set) {
    if (set.current_entry < 1 || set.current_entry > set.entry_count) return nullptr;
    return &set.entries[static_cast<std::size_t>(set.current_entry)];
}

PoleZeroScales moved(const PoleZeroScales& s, int quarters_re, int quarters_im) {
    return {s.min_re + quarters_re * s.width / 4, s.min_im + quarters_im * s.width / 4, s.width};
}

PoleZeroScales centred_on(const PoleZeroScales& s, Real re, Real im) {
    return {re - s.width / 2, im - s.width / 2, s.width};
}

PoleZeroScales zoomed_in(const PoleZeroScales& s) {
    return {s.min_re + s.width / 4, s.min_im + s.width / 4, s.width / 2};
}

PoleZeroScales zoomed_out(const PoleZeroScales& s) {
    return {s.min_re - s.width / 2, s.min_im - s.width / 2, s.width * 2};
}

bool drawable_scales(const PoleZeroScales& s) {
    if (!std::isfinite(s.min_re) || !std::isfinite(s.min_im) || !std::isfinite(s.width)) return false;
    if (!(s.width > 0) || !std::isfinite(1 / s.width)) return false;
    if (!std::isfinite(s.min_re + s.width) || !std::isfinite(s.min_im + s.width)) return false;
    // A pixel of a square of a few thousand pixels must still move the
    // coordinates, or the whole square would map onto a few pixels.
    const Real pixel = s.width / 4096;
    return s.min_re + pixel != s.min_re && s.min_im + pixel != s.min_im;
}

bool apply_plot_scales(PoleZeroScales& s, const PoleZeroScales& proposed) {
    if (!drawable_scales(proposed)) return false;
    s = proposed;
    return true;
}

}  // namespace analysis
