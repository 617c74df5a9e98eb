// The frequency-response plot: the picture of the response window and of
// `morat --plot`, drawn by the same code.
//
//   analysis::ResponseScene scene{circuit, engine, sweep, settings, view, name, log};
//   QPainter p(&image);
//   draw_response(p, image.size(), scene);   // clears, grid, frame, labels, runs the sweep
//   draw_cursor(p, image.size(), scene);     // after a cursor move: marker (xor) and readout
//
// Painting is what runs the analysis: draw_response calls the sweep, which
// solves only the points not yet computed and calls back once per segment;
// each segment is drawn as it arrives. The sweep's fatal errors
// (suite::FatalError) pass through to the caller.
//
// Geometry: the plot area runs from `left` (the width of "-999.99 XX") to
// the right edge and from the top to one text line above the bottom edge;
// the labels of the curves sit in the left margin, the frequency limits,
// the unit, the netlist and the settings in the bottom line.
#pragma once

#include <QColor>
#include <QFont>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <string>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/montecarlo.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"
#include "analysis/tolerance/mask.h"

class QPainter;
class QFontMetrics;

namespace analysis {

// What the response window shows besides the sweep's own state.
struct PlotView {
    // Curves 1..6; the noise curve is drawn only while the sweep has noise sources.
    std::array<bool, 7> plot_curve{false, true, true, false, false, false, false};
    bool show_grid = false;
    bool superpose_deviations = true;
    bool readout_on_top = false;
    // Where the cursor marker was last drawn; off the picture after a clear,
    // so that the first erase is invisible.
    QPoint marker{-100, -100};
    // The frequency range last refused, so that its log line is written once.
    std::string refused;
    // A Monte Carlo run over the same points (morat --monte-carlo): its
    // band, value ± sample standard deviation, is drawn beside the
    // first-order band, with a legend. Not owned.
    const MonteCarloResult* monte_carlo = nullptr;
    // A response mask: its limits drawn on the module and delay curves when
    // they are plotted, a strip on the forbidden side hatched. Not owned.
    const ResponseMask* mask = nullptr;
    // The linear worst-case band, value ± Σ|v_i·S_i|, from the sweep's
    // sensitivities (morat --worst-case, the tolerance window).
    bool worst_case = false;
};

// Everything the plot reads (and the sweep it runs writes).
struct ResponseScene {
    Circuit& circuit;
    Engine& engine;
    Sweep& sweep;
    const AnalysisSettings& settings;
    PlotView& view;
    std::string netlist_file_name;
    Log log;
};

// Colours of the picture.
namespace plot_colour {
const QColor background = Qt::black;
const QColor text = Qt::white;          // frame, labels, readout text
const QColor grey{128, 128, 128};       // grid, deviation bands, readout box
const QColor decade = Qt::yellow;       // grid line at a decade boundary
const QColor monte_carlo{255, 0, 255};  // the Monte Carlo band (fuchsia)
const QColor worst_case{0, 160, 255};   // the worst-case band (azure, dotted)
const QColor mask{255, 140, 0};       // the mask's limits (orange): solid on the module, dashed on the delay
const QColor mask_hatch{150, 80, 0};  // its forbidden side
}  // namespace plot_colour
// Colour of curve 1..6: module lime, phase red, delay yellow, module
// deviation aqua, phase deviation silver, noise violet.
QColor curve_colour(int curve);
// "Freq", "Modl", "Fase", "AtGr", "VeMo", "VeFa", "Ruído".
const char* quantity_label(int quantity);
// The frequency unit, "dB", "gr", "s", "dB", "gr", "dBV/√Hz".
std::string quantity_unit(const Sweep& sw, int quantity);
// The value of quantity 0..6 of a point; the noise as 20·log10 of its
// density in V/√Hz (−∞ for a noiseless output).
Real quantity_value(const PointRecord& pt, int quantity);

// The last curve the sweep has: q_noise while it has noise sources, else
// q_phase_dev. The keys, the readout and the labels go up to it.
int last_curve(const Sweep& sw);
// The current curve of the circuit within 1..last_curve.
int current_curve(const Circuit& c, const Sweep& sw);
// Whether curve k is drawn: chosen in the view and one the sweep has.
bool curve_shown(const PlotView& view, const Sweep& sw, int k);

// A line of the readout: the label, the value of point `point` in the
// listing format (right-aligned, its own blanks part it from the label), a
// space and the unit: "Modl    -3.010300000 dB". The five letters of
// "Ruído" take one of the number's blanks, so that the numbers line up.
std::string readout_text(const Sweep& sw, const AnalysisSettings& settings, int point, int quantity);

// The pen of a mask's limits: solid on the module, dashed (4 on, 2 off,
// in units of its width) on the delay.
QPen mask_pen(MaskQuantity quantity);

// The text of a scale's limit `x` in the margin or the bottom line: as
// many significant digits as tell `min` from `max` apart (at least three;
// about two more than the decimal orders of max(|min|,|max|)/(max − min)),
// "E" and the exponent from 1E6 up and below 1E-4: "66.3", "2670",
// "1000.25", "1.5E6".
int scale_label_digits(Real min, Real max);
std::string scale_label(Real x, Real min, Real max);

// The font of every text of the plot.
QFont plot_font();

// Pixel geometry of the plot for a picture size and the current scales.
struct PlotGeometry {
    int width = 0, height = 0;
    int left = 0, right = 0, top = 0, bottom = 0;
    int line_height = 0;  // text height of "X"
    int readout_x = 0, readout_y = 0;
    int segments = 2;
    bool log_scale = true;
    Real x_origin = 0, x_scale = 0;             // x = x_origin + x_scale·f (or ·ln f)
    std::array<Real, 7> y_offset{}, y_scale{};  // y = offset + scale·value, curves 1..6

    // x of point p.
    int point_x(int p) const;
    // y of a value of curve k, limited to −2000..2000 and rounded.
    int value_y(int curve, Real value) const;
    // Inverse mappings for the mouse.
    Real frequency_at(int x) const;
    Real value_at(int curve, int y) const;
    // The point nearest to x, within 0..last_point.
    int point_at(int x, int last_point) const;
};
PlotGeometry plot_geometry(const QFontMetrics& fm, QSize size, const Circuit& c, const Sweep& sw,
                           const PlotView& view);

// Why the frequency range cannot be swept ("" when it can): a logarithmic
// scale needs positive limits, and the minimum must lie below the maximum.
std::string frequency_range_refusal(const Sweep& sw);

// The whole picture, then the sweep drawing each segment, then (with
// `with_cursor`) the cursor marker and the readout when the cursor's point
// is computed. Returns the sweep's result (true when every point is
// computed).
bool draw_response(QPainter& p, QSize size, ResponseScene& scene, bool with_cursor = true);

// Erases the cursor marker at its remembered place (exclusive-or), draws
// the readout box for the cursor point and the marker at the cursor.
void draw_cursor(QPainter& p, QSize size, ResponseScene& scene);

// The zoom rectangle: red, dotted, exclusive-or (drawing it twice erases it).
void draw_zoom_rectangle(QPainter& p, QPoint a, QPoint b);

}  // namespace analysis
