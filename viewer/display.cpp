#include "viewer/display.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>

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

namespace {

// The smallest rectangle holding every point included.
struct Bounds {
    static constexpr suite::Real kInf = std::numeric_limits<suite::Real>::infinity();
    suite::Real re_lo = kInf, re_hi = -kInf, im_lo = kInf, im_hi = -kInf;
    void include(suite::Real re, suite::Real im, suite::Real half_re = 0, suite::Real half_im = 0) {
        re_lo = std::min(re_lo, re - half_re);
        re_hi = std::max(re_hi, re + half_re);
        im_lo = std::min(im_lo, im - half_im);
        im_hi = std::max(im_hi, im + half_im);
    }
};

// The entry with the figures the plot draws for it: the rectangle's half
// sides k*|VRe| and k*|VIm|, and the half extents of the ellipse with
// semi-axes a and b whose principal axis is at theta,
// sqrt(a^2 cos^2 + b^2 sin^2) along the real axis and
// sqrt(a^2 sin^2 + b^2 cos^2) along the imaginary one.
void include_entry(Bounds& b, const Entry& e, const DisplayState& d) {
    b.include(e.Re, e.Im);
    if (e.VRe == 0 && e.VIm == 0) return;
    const suite::Real k = d.magnification;
    if (d.rectangles) b.include(e.Re, e.Im, k * std::fabs(e.VRe), k * std::fabs(e.VIm));
    if (d.ellipses && e.Ra != 0) {
        const suite::Real theta = e.Ang * std::numbers::pi_v<suite::Real> / 180;
        const suite::Real c = std::cos(theta), s = std::sin(theta);
        const suite::Real a = k * e.Ra, bb = k * e.Rb;
        b.include(e.Re, e.Im, std::hypot(a * c, bb * s), std::hypot(a * s, bb * c));
    }
}

}  // namespace

std::optional<WindowRequest> fitted_window(const TableStore& store, const DisplayState& d) {
    Bounds b;
    bool any = false;
    for (const TableSlot& t : store.slot_list) {
        if (!t.in_use()) continue;
        any = true;
        for (int k = 1; k <= t.count; ++k) include_entry(b, t.entry(k), d);
    }
    if (!any) return std::nullopt;
    const suite::Real re = (b.re_lo + b.re_hi) / 2, im = (b.im_lo + b.im_hi) / 2;
    suite::Real extent = std::max(b.re_hi - b.re_lo, b.im_hi - b.im_lo);
    const suite::Real distance = std::max(std::fabs(re), std::fabs(im));
    // Figures too small for the plot's reals to tell apart at their distance
    // from the origin are shown as one point.
    if (!(extent > distance * 1e-6L)) extent = distance;
    if (extent == 0) return WindowRequest{-2, -2, 4};
    const suite::Real width = extent * 1.1L;
    return WindowRequest{re - width / 2, im - width / 2, width};
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
