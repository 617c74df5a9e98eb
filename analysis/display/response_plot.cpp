#include "analysis/display/response_plot.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

#include "analysis/tolerance/worst_case.h"
#include "common/numtext.h"

namespace analysis {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The power of ten not above x (x > 0).
Real power_of_ten_below(Real x) { return std::pow(Real(10), std::floor(std::log10(x))); }

bool is_power_of_ten(long long k) {
    while (k >= 10 && k % 10 == 0) k /= 10;
    return k == 1;
}

void draw_vertical_grid(QPainter& p, const PlotGeometry& g, const Sweep& sw) {
    const Real fmin = sw.scale_min[q_frequency], fmax = sw.scale_max[q_frequency];
    if (!frequency_range_refusal(sw).empty()) return;
    const Real span = fmax - fmin;
    const bool wide = !sw.log_scale || span > fmin;
    Real step = power_of_ten_below(sw.log_scale && span > fmin ? fmin : span);
    long long k = static_cast<long long>(std::ceil(fmin / step * (1 - 1e-12L)));
    if (sw.log_scale && wide && k >= 10) {
        step *= 10;
        k = 1;
    }
    const QPen grey(plot_colour::grey, 0, Qt::DotLine), decade(plot_colour::decade, 0, Qt::DotLine);
    for (int lines = 0; lines < 1000; ++lines) {
        const Real f = static_cast<Real>(k) * step;
        if (f > fmax * (1 + 1e-12L)) break;
        p.setPen(sw.log_scale && is_power_of_ten(k) ? decade : grey);
        const Real x = g.x_origin + g.x_scale * (sw.log_scale ? std::log(f) : f);
        const int xi = static_cast<int>(std::lround(std::clamp<Real>(x, -2000, 4000)));
        p.drawLine(xi, g.top, xi, g.bottom);
        ++k;
        if (sw.log_scale && k == 10) {
            step *= 10;
            k = 1;
        }
    }
}

void draw_horizontal_grid(QPainter& p, const PlotGeometry& g, const Sweep& sw, int curve) {
    const Real min = sw.scale_min[curve], max = sw.scale_max[curve];
    if (!(max > min) || !std::isfinite(max - min)) return;
    const Real step = power_of_ten_below(max - min);
    p.setPen(QPen(plot_colour::grey, 0, Qt::DotLine));
    for (long long k = static_cast<long long>(std::floor(min / step)) + 1, lines = 0; lines < 100;
         ++k, ++lines) {
        const Real v = static_cast<Real>(k) * step;
        if (v > max) break;
        const int y = g.value_y(curve, v);
        p.drawLine(g.left, y, g.right, y);
    }
}

// The labels of the plotted curves in the left margin: label and maximum
// from the top, minimum and unit from the bottom. The noise's unit is too
// wide for the margin beside its minimum: it takes a line of its own.
void draw_curve_labels(QPainter& p, const PlotGeometry& g, const Sweep& sw, const PlotView& view) {
    const QFontMetrics fm = p.fontMetrics();
    const int lh = g.line_height;
    int top_line = 0, bottom_line = 0;
    for (int k = 1; k <= q_noise; ++k)
        if (curve_shown(view, sw, k)) bottom_line += k == q_noise ? 2 : 1;
    for (int k = 1; k <= q_noise; ++k) {
        if (!curve_shown(view, sw, k)) continue;
        p.setPen(curve_colour(k));
        const int y = g.top + top_line * lh + fm.ascent();
        p.drawText(2, y, QString::fromUtf8(quantity_label(k)) + ":");
        p.drawText(2, y + lh, qs(scale_label(sw.scale_max[k], sw.scale_min[k], sw.scale_max[k])));
        top_line += 2;
        const int yb = g.bottom - bottom_line * lh + fm.ascent();
        if (k == q_noise) {
            p.drawText(2, yb, qs(scale_label(sw.scale_min[k], sw.scale_min[k], sw.scale_max[k])));
            p.drawText(2, yb + lh, qs(quantity_unit(sw, k)));
            bottom_line -= 2;
        } else {
            p.drawText(2, yb,
                       qs(scale_label(sw.scale_min[k], sw.scale_min[k], sw.scale_max[k]) + " " +
                          quantity_unit(sw, k)));
            --bottom_line;
        }
    }
}

// The bottom line: fmin, the netlist, the unit, the settings, fmax; the
// output node in the left margin.
void draw_axis_labels(QPainter& p, const PlotGeometry& g, const ResponseScene& s) {
    const QFontMetrics fm = p.fontMetrics();
    const int y = g.bottom + 1 + fm.ascent();
    const int gap = fm.horizontalAdvance("  ");
    p.setPen(plot_colour::text);
    p.drawText(2, y, "Nó " + QString::number(s.circuit.output_node));
    const Real low = s.sweep.scale_min[q_frequency], high = s.sweep.scale_max[q_frequency];
    const QString fmin = qs(scale_label(low, low, high));
    const QString fmax = qs(scale_label(high, low, high));
    const QString unit = qs(quantity_unit(s.sweep, q_frequency));
    const int fmax_x = g.right - fm.horizontalAdvance(fmax);
    const int unit_x = (g.left + g.right - fm.horizontalAdvance(unit)) / 2;
    const int unit_end = unit_x + fm.horizontalAdvance(unit);
    p.drawText(g.left, y, fmin);
    p.drawText(unit_x, y, unit);
    p.drawText(fmax_x, y, fmax);
    const int name_x = g.left + fm.horizontalAdvance(fmin) + gap;
    const QString name = fm.elidedText(qs(s.netlist_file_name), Qt::ElideLeft, unit_x - gap - name_x);
    p.drawText(name_x, y, name);
    const QString settings = QString("Escala:") + (s.sweep.log_scale ? "log." : "linear") +
                             "  Desvios:" + (s.settings.normalise_by_slope ? "norm. inc." : "normais");
    p.drawText(unit_end + gap, y, fm.elidedText(settings, Qt::ElideRight, fmax_x - gap - unit_end - gap));
}

// The Monte Carlo run of the view when it covers the points of the plot.
const MonteCarloResult* monte_carlo_band(const PlotView& view, const PlotGeometry& g) {
    const MonteCarloResult* r = view.monte_carlo;
    const auto points = static_cast<std::size_t>(g.segments) + 1;
    return r && r->module_sd.size() == points && r->phase_sd.size() == points ? r : nullptr;
}

QPen monte_carlo_pen() {
    QPen pen(plot_colour::monte_carlo, 0);
    pen.setDashPattern({3, 3});
    return pen;
}

QPen worst_case_pen() { return QPen(plot_colour::worst_case, 0, Qt::DotLine); }

// The two lines value ± deviation(point) of curve k over the whole sweep,
// not across a wrap of the phase from one end of (−180, 180] to the other.
template <typename Deviation>
void draw_band(QPainter& p, const PlotGeometry& g, const Sweep& sw, int k, Deviation deviation) {
    for (Real side : {-1.0L, 1.0L}) {
        QPolygon line;
        for (int pt = 0; pt <= g.segments; ++pt) {
            const Real v = quantity_value(sw.points[pt], k);
            if (k == q_phase && pt > 0 && std::fabs(v - quantity_value(sw.points[pt - 1], k)) > 180) {
                p.drawPolyline(line);
                line.clear();
            }
            line << QPoint(g.point_x(pt), g.value_y(k, v + side * deviation(pt)));
        }
        p.drawPolyline(line);
    }
}

// Whether the mask has a range on `quantity` whose curve is plotted.
bool mask_shown(const PlotView& view, MaskQuantity quantity) {
    if (!view.mask) return false;
    for (const MaskRange& r : view.mask->ranges)
        if (r.quantity == quantity &&
            view.plot_curve[r.quantity == MaskQuantity::module ? q_module : q_delay])
            return true;
    return false;
}

}  // namespace

QPen mask_pen(MaskQuantity quantity) {
    if (quantity == MaskQuantity::module) return QPen(plot_colour::mask, 2);
    QPen pen(plot_colour::mask, 2);
    pen.setCapStyle(Qt::FlatCap);  // gaps as wide as the pattern says
    pen.setDashPattern({4, 2});
    return pen;
}

namespace {

// The mask under the curves: each range's limits as lines over its
// frequencies, with a hatched strip on the forbidden side, inside the plot
// area. A range of one frequency is drawn a few pixels wide.
void draw_mask(QPainter& p, const PlotGeometry& g, const Sweep& sw, const PlotView& view) {
    if (!view.mask || !frequency_range_refusal(sw).empty()) return;
    constexpr int strip = 10, least_width = 7;
    p.save();
    p.setClipRect(QRect(QPoint(g.left, g.top), QPoint(g.right, g.bottom)));
    auto x_of = [&](Real f) {
        const Real u = sweep_frequency(*view.mask, sw, f);
        const Real x = g.x_origin + g.x_scale * (sw.log_scale ? std::log(u) : u);
        return static_cast<int>(std::lround(std::clamp<Real>(x, -2000, 4000)));
    };
    for (const MaskRange& r : view.mask->ranges) {
        const int k = r.quantity == MaskQuantity::module ? q_module : q_delay;
        if (!view.plot_curve[k]) continue;
        int x0 = x_of(r.f1), x1 = x_of(r.f2);
        if (x1 - x0 < least_width) {
            const int centre = (x0 + x1) / 2;
            x0 = centre - least_width / 2;
            x1 = centre + least_width / 2;
        }
        for (int side = 0; side < 2; ++side) {
            if (side == 0 ? !r.has_lower : !r.has_upper) continue;
            const int y = g.value_y(k, side == 0 ? r.lower : r.upper);
            const QRect band =
                side == 0 ? QRect(x0, y, x1 - x0 + 1, strip) : QRect(x0, y - strip, x1 - x0 + 1, strip);
            p.fillRect(band,
                       QBrush(plot_colour::mask_hatch, side == 0 ? Qt::BDiagPattern : Qt::FDiagPattern));
            p.setPen(mask_pen(r.quantity));
            p.drawLine(x0, y, x1, y);
        }
    }
    p.restore();
}

// Once every point is computed: the Monte Carlo band of module and phase
// as dashed lines (where it meets the first-order band, the grey shows
// between the dashes) and the worst-case band as dotted ones, over the
// whole sweep; then the legend, top right, with a short line of each band
// (and of the mask) and its name.
void draw_extra_bands(QPainter& p, const PlotGeometry& g, const ResponseScene& s) {
    const PlotView& view = s.view;
    const Sweep& sw = s.sweep;
    const MonteCarloResult* r = monte_carlo_band(view, g);
    const bool banded = view.superpose_deviations && (view.plot_curve[q_module] || view.plot_curve[q_phase]);
    const bool worst = banded && view.worst_case && s.engine.block_size == s.circuit.element_count &&
                       s.engine.block_count > g.segments;
    struct Entry {
        QPen pen;
        QColor colour;
        QString text;
    };
    std::vector<Entry> legend;
    if (r && banded) {
        p.setPen(monte_carlo_pen());
        for (int k : {q_module, q_phase})
            if (view.plot_curve[k])
                draw_band(p, g, sw, k,
                          [&](int pt) { return (k == q_module ? r->module_sd : r->phase_sd)[pt]; });
        legend.push_back({monte_carlo_pen(), plot_colour::monte_carlo,
                          "Monte Carlo: " + QString::number(r->accepted) + " circuitos"});
    }
    if (worst) {
        std::vector<WorstCasePoint> w;
        for (int pt = 0; pt <= g.segments; ++pt) w.push_back(linear_worst_case(s.circuit, s.engine, pt));
        p.setPen(worst_case_pen());
        for (int k : {q_module, q_phase})
            if (view.plot_curve[k])
                draw_band(p, g, sw, k, [&](int pt) { return k == q_module ? w[pt].module : w[pt].phase; });
        legend.push_back({worst_case_pen(), plot_colour::worst_case, "Pior caso linear"});
    }
    if (mask_shown(view, MaskQuantity::module))
        legend.push_back({mask_pen(MaskQuantity::module), plot_colour::mask, "Máscara (módulo)"});
    if (mask_shown(view, MaskQuantity::delay))
        legend.push_back({mask_pen(MaskQuantity::delay), plot_colour::mask, "Máscara (atraso)"});
    if (legend.empty()) return;
    if (banded)
        legend.insert(legend.begin(), {QPen(plot_colour::grey, 0), plot_colour::grey, "Desvios de 1ª ordem"});
    const QFontMetrics fm = p.fontMetrics();
    int text_width = 0;
    for (const Entry& e : legend) text_width = std::max(text_width, fm.horizontalAdvance(e.text));
    const int sample = 4 * fm.horizontalAdvance("X"), pad = 4;
    const int rows = static_cast<int>(legend.size());
    const QRect box(g.right - 2 * pad - sample - pad - text_width - 2, g.top + 2,
                    3 * pad + sample + text_width, rows * g.line_height + 2 * pad);
    p.fillRect(box, plot_colour::background);
    for (int i = 0; i < rows; ++i) {
        const int y = box.top() + pad + i * g.line_height;
        const int x = box.left() + pad;
        p.setPen(legend[static_cast<std::size_t>(i)].pen);
        p.drawLine(x, y + g.line_height / 2, x + sample, y + g.line_height / 2);
        p.setPen(legend[static_cast<std::size_t>(i)].colour);
        p.drawText(x + sample + pad, y + fm.ascent(), legend[static_cast<std::size_t>(i)].text);
    }
}

void draw_segment(QPainter& p, const PlotGeometry& g, const Sweep& sw, const PlotView& view, int pt) {
    const PointRecord& a = sw.points[pt - 1];
    const PointRecord& b = sw.points[pt];
    const int x0 = g.point_x(pt - 1), x1 = g.point_x(pt);
    auto line = [&](int k, Real va, Real vb) { p.drawLine(x0, g.value_y(k, va), x1, g.value_y(k, vb)); };
    for (int k = 1; k <= q_noise; ++k) {
        if (!curve_shown(view, sw, k)) continue;
        if (view.superpose_deviations && (k == q_module || k == q_phase)) {
            const int dev = k == q_module ? q_module_dev : q_phase_dev;
            const Real da = quantity_value(a, dev), db = quantity_value(b, dev);
            p.setPen(plot_colour::grey);
            line(k, quantity_value(a, k) - da, quantity_value(b, k) - db);
            line(k, quantity_value(a, k) + da, quantity_value(b, k) + db);
        }
        p.setPen(curve_colour(k));
        line(k, quantity_value(a, k), quantity_value(b, k));
    }
}

void draw_marker(QPainter& p, QPoint at) {
    if (at == QPoint(-100, -100)) return;
    static const QPoint offsets[] = {{0, 0}, {12, 0}, {9, 3}, {12, 6}, {6, 12}, {3, 9}, {0, 12}};
    QPolygon polygon;
    for (const QPoint& o : offsets) polygon << at + o;
    p.save();
    // A picture file has no exclusive-or: there the marker is drawn once, plainly.
    if (p.paintEngine() && p.paintEngine()->hasFeature(QPaintEngine::RasterOpModes))
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(Qt::yellow);
    p.setBrush(Qt::red);
    p.drawPolygon(polygon);
    p.restore();
}

void draw_readout(QPainter& p, const PlotGeometry& g, const ResponseScene& s, int pt, int current) {
    const QFontMetrics fm = p.fontMetrics();
    const int pad = 3;
    const int last = last_curve(s.sweep);
    QString lines[q_noise + 1];
    int width = fm.horizontalAdvance("Freq rad/s") +
                fm.horizontalAdvance(QString(std::max(s.settings.number_width, 1), '0'));
    for (int k = 0; k <= last; ++k) {
        lines[k] = qs(readout_text(s.sweep, s.settings, pt, k));
        width = std::max(width, fm.horizontalAdvance(lines[k]));
    }
    for (int k = 0; k <= last; ++k) {
        const QRect row(g.readout_x, g.readout_y + k * g.line_height, width + 2 * pad, g.line_height);
        const bool highlighted = k == current;
        p.fillRect(row, highlighted ? plot_colour::text : plot_colour::grey);
        p.setPen(highlighted ? plot_colour::grey : plot_colour::text);
        p.drawText(row.left() + pad, row.top() + fm.ascent(), lines[k]);
    }
}

void prepare_painter(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setFont(plot_font());
    p.setBrush(Qt::NoBrush);
}

}  // namespace

int scale_label_digits(Real min, Real max) {
    const Real largest = std::max(std::fabs(min), std::fabs(max));
    const Real span = std::fabs(max - min);
    if (!(span > 0) || !std::isfinite(span) || !(largest > 0)) return 3;
    const int needed = static_cast<int>(std::ceil(std::log10(largest / span))) + 2;
    return std::clamp(needed, 3, 15);
}

std::string scale_label(Real x, Real min, Real max) {
    if (x == 0 || !std::isfinite(x)) return suite::format_general(x);
    const int digits = scale_label_digits(min, max);
    int e = static_cast<int>(std::floor(std::log10(std::fabs(x))));
    Real steps = std::round(x / std::pow(Real(10), e - digits + 1));
    // Rounding up to the next power of ten (9.996 to three digits) moves
    // the exponent.
    if (std::fabs(steps) >= std::pow(Real(10), digits)) {
        ++e;
        steps = std::round(x / std::pow(Real(10), e - digits + 1));
    }
    if (e >= 6 || e <= -5)
        return suite::format_general(steps / std::pow(Real(10), digits - 1)) + "E" + suite::format_int(e);
    return suite::format_general(steps * std::pow(Real(10), e - digits + 1));
}

QColor curve_colour(int curve) {
    switch (curve) {
        case q_module:
            return QColor(0, 255, 0);  // lime
        case q_phase:
            return QColor(255, 0, 0);  // red
        case q_delay:
            return QColor(255, 255, 0);  // yellow
        case q_module_dev:
            return QColor(0, 255, 255);  // aqua
        case q_phase_dev:
            return QColor(192, 192, 192);  // silver
        case q_noise:
            return QColor(160, 120, 255);  // violet
        default:
            return plot_colour::text;
    }
}

const char* quantity_label(int quantity) {
    static const char* const labels[] = {"Freq", "Modl", "Fase", "AtGr", "VeMo", "VeFa", "Ruído"};
    return quantity >= 0 && quantity <= q_noise ? labels[quantity] : "";
}

std::string quantity_unit(const Sweep& sw, int quantity) {
    static const char* const units[] = {"", "dB", "gr", "s", "dB", "gr", "dBV/√Hz"};
    if (quantity == q_frequency) return frequency_unit_name(sw);
    return quantity >= 1 && quantity <= q_noise ? units[quantity] : "";
}

Real quantity_value(const PointRecord& pt, int quantity) {
    switch (quantity) {
        case q_frequency:
            return pt.frequency;
        case q_module:
            return pt.module;
        case q_phase:
            return pt.phase;
        case q_delay:
            return pt.delay;
        case q_module_dev:
            return pt.module_dev;
        case q_phase_dev:
            return pt.phase_dev;
        case q_noise:
            return 20 * std::log10(pt.noise);
        default:
            return 0;
    }
}

int last_curve(const Sweep& sw) { return sw.noise_sources.empty() ? q_phase_dev : q_noise; }

int current_curve(const Circuit& c, const Sweep& sw) {
    return std::clamp(c.current_curve, 1, last_curve(sw));
}

bool curve_shown(const PlotView& view, const Sweep& sw, int k) {
    return k >= 1 && k <= last_curve(sw) && view.plot_curve[static_cast<std::size_t>(k)];
}

QFont plot_font() {
    QFont font("DejaVu Sans Mono");
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(12);
    return font;
}

std::string readout_text(const Sweep& sw, const AnalysisSettings& settings, int point, int quantity) {
    std::string number = listing_number(settings, quantity_value(sw.points[point], quantity));
    if (quantity == q_noise && number.starts_with("  "))
        number = number.substr(1);
    else if (!number.starts_with(' '))
        number = " " + number;
    return std::string(quantity_label(quantity)) + number + " " + quantity_unit(sw, quantity);
}

int PlotGeometry::point_x(int p) const {
    return left + static_cast<int>(std::lround(static_cast<double>(p) * (right - left) / segments));
}

int PlotGeometry::value_y(int curve, Real value) const {
    Real y = y_offset[curve] + y_scale[curve] * value;
    if (std::isnan(y)) y = 2000;
    return static_cast<int>(std::lround(std::clamp<Real>(y, -2000, 2000)));
}

Real PlotGeometry::frequency_at(int x) const {
    const Real u = (x - x_origin) / x_scale;
    return log_scale ? std::exp(u) : u;
}

Real PlotGeometry::value_at(int curve, int y) const { return (y - y_offset[curve]) / y_scale[curve]; }

int PlotGeometry::point_at(int x, int last_point) const {
    const double step = static_cast<double>(right - left) / segments;
    const long p = std::lround((x - left) / step);
    return static_cast<int>(std::clamp<long>(p, 0, std::max(last_point, 0)));
}

PlotGeometry plot_geometry(const QFontMetrics& fm, QSize size, const Circuit& c, const Sweep& sw,
                           const PlotView& view) {
    PlotGeometry g;
    g.width = size.width();
    g.height = size.height();
    g.line_height = fm.height();
    g.left = fm.horizontalAdvance("-999.99 XX");
    g.right = g.width - 1;
    g.top = 0;
    g.bottom = g.height - 1 - g.line_height;
    g.readout_x = g.left + 4;
    g.readout_y = view.readout_on_top ? 6 : g.bottom - (last_curve(sw) + 1) * g.line_height;
    g.segments = std::max(c.segments, 1);
    g.log_scale = sw.log_scale;
    const Real fmin = sw.scale_min[q_frequency], fmax = sw.scale_max[q_frequency];
    const Real a = sw.log_scale ? std::log(fmin) : fmin;
    const Real b = sw.log_scale ? std::log(fmax) : fmax;
    g.x_scale = (g.right - g.left) / (b - a);
    g.x_origin = g.left - g.x_scale * a;
    for (int k = 1; k <= q_noise; ++k) {
        g.y_scale[k] = (g.top - g.bottom) / (sw.scale_max[k] - sw.scale_min[k]);
        g.y_offset[k] = g.bottom - sw.scale_min[k] * g.y_scale[k];
    }
    return g;
}

std::string frequency_range_refusal(const Sweep& sw) {
    const Real fmin = sw.scale_min[q_frequency], fmax = sw.scale_max[q_frequency];
    if (sw.log_scale && !(fmin > 0 && fmax > 0)) return "* A escala logarítmica exige frequências positivas.";
    if (!(fmin < fmax)) return "* A frequência mínima deve ser menor que a máxima.";
    return "";
}

bool draw_response(QPainter& p, QSize size, ResponseScene& s, bool with_cursor) {
    p.save();
    prepare_painter(p);
    p.fillRect(QRect(QPoint(0, 0), size), plot_colour::background);
    s.view.marker = QPoint(-100, -100);
    const PlotGeometry g = plot_geometry(p.fontMetrics(), size, s.circuit, s.sweep, s.view);
    const int current = current_curve(s.circuit, s.sweep);
    if (s.view.show_grid) {
        draw_vertical_grid(p, g, s.sweep);
        draw_horizontal_grid(p, g, s.sweep, current);
    }
    draw_mask(p, g, s.sweep, s.view);
    p.setPen(plot_colour::text);
    p.drawRect(g.left, g.top, g.right - g.left, g.bottom - g.top);
    draw_curve_labels(p, g, s.sweep, s.view);
    draw_axis_labels(p, g, s);

    // A refusal is logged once for the same range, not at every repaint.
    const Real fmin = s.sweep.scale_min[q_frequency], fmax = s.sweep.scale_max[q_frequency];
    const std::string range = suite::format_general(fmin) + " " + suite::format_general(fmax) +
                              (s.sweep.log_scale ? " log" : " lin") +
                              (s.sweep.hertz_units ? " Hz" : " rad/s");
    std::string refusal = frequency_range_refusal(s.sweep);
    bool done = false;
    if (refusal.empty()) {
        std::string lines;
        const Log collect = [&](const std::string& line) { lines += line + "\n"; };
        // The plot area does not clip: a curve beyond its scale runs on
        // over the margins and the bottom line, up to ±2000 pixels.
        done = sweep(s.circuit, s.engine, s.sweep, s.settings, collect,
                     [&](int pt) { draw_segment(p, g, s.sweep, s.view, pt); });
        if (done) draw_extra_bands(p, g, s);
        refusal = lines;
    } else if (s.sweep.prepared) {
        refusal += "\n";
    } else {
        refusal.clear();
    }
    if (refusal.empty()) {
        s.view.refused.clear();
    } else if (s.view.refused != refusal + range) {
        s.view.refused = refusal + range;
        for (std::size_t from = 0, to; (to = refusal.find('\n', from)) != std::string::npos; from = to + 1)
            if (s.log) s.log(refusal.substr(from, to - from));
    }
    p.restore();
    if (with_cursor) draw_cursor(p, size, s);
    return done;
}

namespace {

// The marker erased at its remembered place, the readout, the new marker.
void draw_cursor_in(QPainter& p, const PlotGeometry& g, ResponseScene& s) {
    p.save();
    draw_marker(p, s.view.marker);
    s.view.marker = QPoint(-100, -100);
    const int current = current_curve(s.circuit, s.sweep);
    const int pt = std::clamp(s.sweep.cursor, 0, std::min(s.circuit.segments, point_slots - 1));
    const PointRecord& point = s.sweep.points[pt];
    // Only the points of the analysis now prepared: after another netlist
    // has been read the stored points belong to the previous circuit.
    if (s.sweep.prepared && point.computed) {
        draw_readout(p, g, s, pt, current);
        if (curve_shown(s.view, s.sweep, current)) {
            const int y = std::clamp(g.value_y(current, quantity_value(point, current)), g.top, g.bottom);
            s.view.marker = QPoint(g.point_x(pt), y);
            draw_marker(p, s.view.marker);
        }
    }
    p.restore();
}

}  // namespace

void draw_cursor(QPainter& p, QSize size, ResponseScene& s) {
    p.save();
    prepare_painter(p);
    const PlotGeometry g = plot_geometry(p.fontMetrics(), size, s.circuit, s.sweep, s.view);
    draw_cursor_in(p, g, s);
    p.restore();
}

void draw_zoom_rectangle(QPainter& p, QPoint a, QPoint b) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::red, 0, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(a, b).normalized());
    p.restore();
}

}  // namespace analysis
