#include "viewer/display.h"

#include <charconv>
#include <cmath>

#include "common/numtext.h"

namespace viewer {

std::optional<std::string> apply_window(DisplayState& d, const WindowRequest& w) {
    if (std::isnan(w.width) || w.width <= 0) return kBadWidth;
    const auto re = round_real48(w.re_min), im = round_real48(w.im_min);
    const auto width = round_real48(w.width);
    if (!re || !im || !width || *width <= 0) return kBadWindow;
    // The far edges must exist and differ from the near ones, or no pixel
    // could be told from the next.
    const auto re_max = round_real48(suite::Real(*re) + *width);
    const auto im_max = round_real48(suite::Real(*im) + *width);
    if (!re_max || !im_max || *re_max <= *re || *im_max <= *im) return kBadWindow;
    if (*width < (std::fabs(*re) + std::fabs(*im)) * 1e-9) return kBadWindow;
    d.re_min = *re;
    d.im_min = *im;
    d.width = *width;
    return std::nullopt;
}

WindowRequest current_window(const DisplayState& d) { return {d.re_min, d.im_min, d.width}; }

WindowRequest zoomed_in(const DisplayState& d) {
    const suite::Real q = suite::Real(d.width) / 4;
    return {d.re_min + q, d.im_min + q, suite::Real(d.width) * 0.5L};
}

WindowRequest zoomed_out(const DisplayState& d) {
    const suite::Real h = suite::Real(d.width) / 2;
    return {d.re_min - h, d.im_min - h, suite::Real(d.width) * 2};
}

WindowRequest moved(const DisplayState& d, int quarters_re, int quarters_im) {
    const suite::Real q = suite::Real(d.width) / 4;
    return {d.re_min + quarters_re * q, d.im_min + quarters_im * q, d.width};
}

WindowRequest centred_on(const DisplayState& d, Real48 re, Real48 im) {
    const suite::Real h = suite::Real(d.width) / 2;
    return {re - h, im - h, d.width};
}

suite::Real shown_value(Real48 x) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 10);
    suite::Real v = x;
    suite::parse_real(std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)), v);
    return v;
}

bool scale_magnification(DisplayState& d, suite::Real factor) {
    const auto k = round_real48(d.magnification * factor);
    if (!k || *k == 0) return false;
    d.magnification = *k;
    return true;
}

}  // namespace viewer
