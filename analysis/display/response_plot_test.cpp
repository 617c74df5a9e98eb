#include "analysis/display/response_plot.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "analysis/display/program_testing.h"

namespace analysis {
namespace {

using moratw::testing::TestProgram;

const QColor lime(0, 255, 0);

struct Picture {
    TestProgram t;
    QImage image{696, 480, QImage::Format_RGB32};

    bool draw(bool with_cursor = true) {
        QPainter p(&image);
        ResponseScene scene = t->scene();
        return draw_response(p, image.size(), scene, with_cursor);
    }
    void cursor() {
        QPainter p(&image);
        ResponseScene scene = t->scene();
        draw_cursor(p, image.size(), scene);
    }
    PlotGeometry geometry() {
        QPainter p(&image);
        p.setFont(plot_font());
        return plot_geometry(p.fontMetrics(), image.size(), t->circuit, t->sweep, t->view);
    }
};

TEST(ResponsePlot, ModuleCurveIsLimeAtItsRowAndTheBandsGrey) {
    Picture pic;
    pic.t.analyse(moratw::testing::divider);
    ASSERT_TRUE(pic.draw(false));
    const PlotGeometry g = pic.geometry();
    const Real module = 20 * std::log10(0.5L);
    EXPECT_NEAR(static_cast<double>(pic.t->sweep.points[200].module), static_cast<double>(module), 1e-12);
    const int x = g.point_x(200) + 1;
    const int y = g.value_y(q_module, module);
    EXPECT_EQ(pic.image.pixelColor(x, y), lime);
    // The band module ± deviation lies a few pixels above and below.
    const Real dev = pic.t->sweep.points[200].module_dev;
    ASSERT_GT(dev, 0);
    EXPECT_EQ(pic.image.pixelColor(x, g.value_y(q_module, module + dev)), plot_colour::grey);
    EXPECT_EQ(pic.image.pixelColor(x, g.value_y(q_module, module - dev)), plot_colour::grey);
    // Frame white, background black.
    EXPECT_EQ(pic.image.pixelColor(g.left, 100), QColor(Qt::white));
    EXPECT_EQ(pic.image.pixelColor(x, g.top + 2), QColor(Qt::black));
}

// The plot area does not clip: a curve just below its scale runs over the
// bottom line, and the cursor marker, its tip held at the bottom edge,
// shows there whole.
TEST(ResponsePlot, CurvesBelowTheScaleRunOverTheBottomLineWithTheMarker) {
    Picture pic;
    pic.t.analyse(moratw::testing::divider);
    const PlotGeometry g0 = pic.geometry();
    const Real module = 20 * std::log10(0.5L), d = 0.1L;
    const int below = 5;  // pixels under the bottom edge
    pic.t->sweep.scale_min[q_module] = module + d;
    pic.t->sweep.scale_max[q_module] = module + d + (g0.bottom - g0.top) * d / below;
    ASSERT_TRUE(pic.draw(false));
    const PlotGeometry g = pic.geometry();
    int lime_below = 0;
    for (int x = g.left; x < 696; ++x) lime_below += pic.image.pixelColor(x, g.bottom + below) == lime;
    EXPECT_GT(lime_below, 600);
    const QImage before = pic.image.copy();
    pic.t->sweep.cursor = 100;
    pic.cursor();
    const QPoint tip = pic.t->view.marker;
    EXPECT_EQ(tip, QPoint(g.point_x(100), g.bottom));
    int changed = 0;
    for (int y = g.bottom + 1; y <= g.bottom + 12; ++y)
        for (int x = tip.x(); x <= tip.x() + 12; ++x) changed += pic.image.pixel(x, y) != before.pixel(x, y);
    EXPECT_GT(changed, 40);  // the arrow below the edge, not a sliver of it
}

TEST(ResponsePlot, ReadoutLinesJoinLabelAndNumberAsTheListingDoes) {
    Picture pic;
    pic.t.analyse(moratw::testing::divider);
    ASSERT_TRUE(pic.draw(false));
    auto& sw = pic.t->sweep;
    EXPECT_EQ(readout_text(sw, pic.t->settings, 0, q_frequency), "Freq   0.200000000 rad/s");
    EXPECT_EQ(readout_text(sw, pic.t->settings, 400, q_frequency), "Freq   5.000000000 rad/s");
    EXPECT_EQ(readout_text(sw, pic.t->settings, 0, q_module), "Modl  -6.020599913 dB");
    EXPECT_EQ(readout_text(sw, pic.t->settings, 0, q_delay), "AtGr   0.000000000 s");
    pic.t->settings.number_width = 8;
    pic.t->settings.number_decimals = 2;
    EXPECT_EQ(readout_text(sw, pic.t->settings, 0, q_phase), "Fase    0.00 gr");
    sw.hertz_units = true;
    EXPECT_EQ(readout_text(sw, pic.t->settings, 400, q_frequency), "Freq    5.00 Hz");
}

// However wide the number, a blank parts it from the label.
TEST(ResponsePlot, ReadoutKeepsABlankBeforeAWideNumber) {
    Picture pic;
    pic.t.analyse(moratw::testing::divider);
    ASSERT_TRUE(pic.draw(false));
    auto& sw = pic.t->sweep;
    sw.hertz_units = true;
    sw.points[3].frequency = 79432.823472428L;
    EXPECT_EQ(readout_text(sw, pic.t->settings, 3, q_frequency), "Freq 79432.823472428 Hz");
    sw.points[3].frequency = -7943.823472428L;
    EXPECT_EQ(readout_text(sw, pic.t->settings, 3, q_frequency), "Freq -7943.823472428 Hz");
    sw.points[3].frequency = 943.8234724281L;  // exactly the width: one blank of its own
    EXPECT_EQ(readout_text(sw, pic.t->settings, 3, q_frequency), "Freq 943.823472428 Hz");
}

// The limits of a scale read differently however narrow the scale, each
// within half a unit of its last digit of the value.
TEST(ResponsePlot, ScaleLabelsTellTheLimitsApart) {
    struct Row {
        Real x, min, max;
        const char* text;
    };
    const Row rows[] = {{2670, 66.3L, 2670, "2670"},
                        {66.3L, 66.3L, 2670, "66.3"},
                        {1000, 1000, 1000.5L, "1000"},
                        {1000.5L, 1000, 1000.5L, "1000.5"},
                        {-40.123L, -40.123L, -40.1L, "-40.123"},
                        {1.5e6L, 0, 1.5e6L, "1.5E6"},
                        {1234567, 1234567, 1234600, "1.234567E6"},
                        {9.996L, 0, 10, "10"},
                        {999600, 0, 999600, "1E6"},
                        {2e-5L, 1e-5L, 2e-5L, "2E-5"},
                        {0, -1, 1, "0"}};
    for (const Row& r : rows) EXPECT_EQ(scale_label(r.x, r.min, r.max), r.text) << r.text;
    EXPECT_EQ(scale_label_digits(5, 5), 3);  // no span: the plain three digits
    for (Real centre : {0.37L, 66.3L, 2670.0L, 1.0e9L, -250.0L})
        for (Real width = 1; width > 1e-12L; width /= 7) {
            const Real min = centre, max = centre + std::fabs(centre) * width;
            const std::string a = scale_label(min, min, max), b = scale_label(max, min, max);
            EXPECT_NE(a, b) << a;
            for (const auto& [x, text] : {std::pair{min, a}, std::pair{max, b}}) {
                std::string plain = text;
                int exponent = 0;
                if (const auto e = plain.find('E'); e != std::string::npos) {
                    exponent = std::stoi(plain.substr(e + 1));
                    plain = plain.substr(0, e);
                }
                const Real read = std::stold(plain) * std::pow(Real(10), exponent);
                const int digits = scale_label_digits(min, max);
                const Real unit = std::pow(Real(10), std::floor(std::log10(std::fabs(x))) - digits + 1);
                EXPECT_LE(std::fabs(read - x), unit * 0.5000001L) << text;
            }
        }
}

// The mask's limits on the module are solid, those on the delay dashed:
// along each limit's row, over its range, the module's line has no gap
// and the delay's is orange for 4 pixels in 6 (flat ends). Each is drawn only
// while its curve is plotted.
TEST(ResponsePlot, MaskLinesOfModuleAndDelayDiffer) {
    Picture pic;
    pic.t.analyse(moratw::testing::rc_lowpass);
    ResponseMask mask;
    mask.hertz = false;
    // Limits that no curve crosses, below the legend.
    mask.ranges.push_back({MaskQuantity::module, 0.4L, 2, false, true, 0, -15, 1});
    mask.ranges.push_back({MaskQuantity::delay, 0.4L, 2, false, true, 0, 1.2L, 2});
    pic.t->view.mask = &mask;
    pic.t->view.plot_curve[q_phase] = false;
    pic.t->view.plot_curve[q_delay] = true;
    pic.t->sweep.scale_max[q_delay] = 2;
    ASSERT_TRUE(pic.draw(false));
    const PlotGeometry g = pic.geometry();
    // The share of orange pixels on row y between the frequencies of the range.
    auto orange_share = [&](int y) {
        const int x0 = static_cast<int>(std::lround(g.x_origin + g.x_scale * std::log(0.4L))) + 2;
        const int x1 = static_cast<int>(std::lround(g.x_origin + g.x_scale * std::log(2.0L))) - 2;
        int n = 0;
        for (int x = x0; x <= x1; ++x) n += pic.image.pixelColor(x, y) == plot_colour::mask ? 1 : 0;
        return static_cast<double>(n) / (x1 - x0 + 1);
    };
    const int module_y = g.value_y(q_module, -15), delay_y = g.value_y(q_delay, 1.2L);
    EXPECT_EQ(orange_share(module_y), 1.0);
    EXPECT_NEAR(orange_share(delay_y), 4.0 / 6, 0.05);
    EXPECT_EQ(mask_pen(MaskQuantity::module).style(), Qt::SolidLine);
    pic.t->view.plot_curve[q_delay] = false;
    ASSERT_TRUE(pic.draw(false));
    EXPECT_EQ(orange_share(module_y), 1.0);
    EXPECT_EQ(orange_share(delay_y), 0.0);
}

TEST(ResponsePlot, GeometryAndItsInverses) {
    Picture pic;
    pic.t.analyse(moratw::testing::rc_lowpass);
    ASSERT_TRUE(pic.draw());
    const PlotGeometry g = pic.geometry();
    QFont font = plot_font();
    QPainter p(&pic.image);
    p.setFont(font);
    EXPECT_EQ(g.left, p.fontMetrics().horizontalAdvance("-999.99 XX"));
    EXPECT_EQ(g.right, 695);
    EXPECT_EQ(g.bottom, 479 - p.fontMetrics().height());
    EXPECT_EQ(g.readout_y, g.bottom - 6 * g.line_height);
    EXPECT_EQ(g.point_x(0), g.left);
    EXPECT_EQ(g.point_x(400), g.right);
    for (int pt : {0, 137, 400}) {
        const Real f = pic.t->sweep.points[pt].frequency;
        EXPECT_NEAR(static_cast<double>(g.frequency_at(g.point_x(pt)) / f), 1.0, 0.01) << pt;
        EXPECT_EQ(g.point_at(g.point_x(pt), 400), pt);
    }
    EXPECT_EQ(g.point_at(-50, 400), 0);
    EXPECT_EQ(g.point_at(5000, 123), 123);
    EXPECT_NEAR(static_cast<double>(g.value_at(q_module, g.value_y(q_module, -30))), -30.0, 0.2);
    // Values far off the scale are held within ±2000 pixels.
    EXPECT_EQ(g.value_y(q_module, 1e30L), -2000);
    EXPECT_EQ(g.value_y(q_module, -1e30L), 2000);
    EXPECT_EQ(g.value_y(q_module, std::nanl("")), 2000);
}

TEST(ResponsePlot, CursorMarkerIsErasedByTheNextMoveAndTheReadoutHighlightsTheCurrentCurve) {
    Picture pic;
    pic.t.analyse(moratw::testing::rc_lowpass);
    ASSERT_TRUE(pic.draw(false));
    const QImage clean = pic.image.copy();
    const PlotGeometry g = pic.geometry();
    pic.t->sweep.cursor = 100;
    pic.cursor();
    const QPoint first = pic.t->view.marker;
    EXPECT_EQ(first.x(), g.point_x(100));
    EXPECT_NE(pic.image.copy(QRect(first, QSize(13, 13))), clean.copy(QRect(first, QSize(13, 13))));
    pic.t->sweep.cursor = 300;
    pic.cursor();
    EXPECT_EQ(pic.image.copy(QRect(first, QSize(13, 13))), clean.copy(QRect(first, QSize(13, 13))));
    EXPECT_NE(pic.t->view.marker, first);

    // Readout rows: the current curve's row white, the others grey.
    auto row_colour = [&](int k) {
        return pic.image.pixelColor(g.readout_x + 1, g.readout_y + k * g.line_height + 1);
    };
    EXPECT_EQ(row_colour(q_module), QColor(Qt::white));
    for (int k : {0, 2, 3, 4, 5}) EXPECT_EQ(row_colour(k), plot_colour::grey) << k;
    pic.t->circuit.current_curve = q_delay;
    pic.cursor();
    EXPECT_EQ(row_colour(q_delay), QColor(Qt::white));
    EXPECT_EQ(row_colour(q_module), plot_colour::grey);
    // The delay curve is not plotted: no marker.
    EXPECT_EQ(pic.t->view.marker, QPoint(-100, -100));
}

// The divider's output noise is the thermal noise of R1‖R2 = 500 Ω,
// 20·log10 √(4kT·500) dBV/√Hz: a flat violet line at that height, with its
// readout row; nothing of it while the sweep has no noise sources.
TEST(ResponsePlot, NoiseCurveAtTheDividersThermalNoiseOnlyWithNoise) {
    Picture pic;
    pic.t.analyse(moratw::testing::divider);
    pic.t->view.plot_curve[q_noise] = true;
    pic.t->sweep.scale_min[q_noise] = -175;
    pic.t->sweep.scale_max[q_noise] = -165;
    const QColor violet = curve_colour(q_noise);
    for (bool noise : {false, true}) {
        NoiseSettings n;
        n.on = noise;
        prepare_noise(pic.t->circuit, pic.t->sweep, n);
        ASSERT_TRUE(pic.draw(false));
        const PlotGeometry g = pic.geometry();
        const Real db = 10 * std::log10(4 * 1.380649e-23L * 300.15L * 500);  // −170.8
        const int y = static_cast<int>(std::lround(g.bottom - (db + 175) / 10 * (g.bottom - g.top)));
        for (int pt : {1, 250, 399}) {
            const int x = g.point_x(pt) + 1;
            EXPECT_EQ(pic.image.pixelColor(x, y) == violet, noise) << pt;
            EXPECT_NE(pic.image.pixelColor(x, y - 2), violet);
            EXPECT_NE(pic.image.pixelColor(x, y + 2), violet);
        }
        EXPECT_EQ(g.readout_y, g.bottom - (noise ? 7 : 6) * g.line_height);
    }
    // The number gives a blank to the label's fifth letter, or gets one.
    auto& settings = pic.t->settings;
    EXPECT_EQ(readout_text(pic.t->sweep, settings, 0, q_noise), "Ruído -170.815483740 dBV/√Hz");
    settings.number_decimals = 3;
    EXPECT_EQ(readout_text(pic.t->sweep, settings, 0, q_noise), "Ruído     -170.815 dBV/√Hz");
}

TEST(ResponsePlot, RefusedRangesDrawFrameAndLabelsOnlyAndAreLoggedOnce) {
    struct Row {
        bool log_scale;
        Real fmin, fmax;
        const char* line;
    };
    const Row rows[] = {{true, 0, 5, "* A escala logarítmica exige frequências positivas."},
                        {true, -1, 5, "* A escala logarítmica exige frequências positivas."},
                        {true, 5, 5, "* A frequência mínima deve ser menor que a máxima."},
                        {false, 10, 2, "* A frequência mínima deve ser menor que a máxima."}};
    for (const Row& r : rows) {
        Picture pic;
        pic.t.analyse(moratw::testing::rc_lowpass);
        pic.t->sweep.log_scale = r.log_scale;
        pic.t->sweep.scale_min[0] = r.fmin;
        pic.t->sweep.scale_max[0] = r.fmax;
        pic.t.lines.clear();
        EXPECT_FALSE(pic.draw());
        EXPECT_FALSE(pic.draw());
        EXPECT_EQ(pic.t.solves(), 0);
        EXPECT_EQ(pic.t.lines, std::vector<std::string>{r.line});
        EXPECT_FALSE(pic.t->sweep.response_valid);
        const PlotGeometry g = pic.geometry();
        EXPECT_EQ(pic.image.pixelColor(g.left, 50), QColor(Qt::white));
        // A new refused range is logged again; a good one sweeps.
        pic.t->sweep.scale_max[0] = r.fmax - 1;
        pic.draw();
        EXPECT_EQ(pic.t.lines.size(), 2u);
        pic.t->sweep.log_scale = true;
        pic.t->sweep.scale_min[0] = 0.2L;
        pic.t->sweep.scale_max[0] = 5;
        EXPECT_TRUE(pic.draw());
    }
}

TEST(ResponsePlot, GridDecadesAreYellowAndOtherLinesGrey) {
    Picture pic;
    pic.t.analyse(moratw::testing::rc_lowpass);
    pic.t->view.show_grid = true;
    pic.t->view.plot_curve.fill(false);  // nothing over the grid
    pic.t->sweep.scale_min[0] = 0.01L;
    pic.t->sweep.scale_max[0] = 100;
    ASSERT_TRUE(pic.draw(false));
    const PlotGeometry g = pic.geometry();
    // A dotted vertical line colours about half the pixels of its column.
    auto column_has = [&](Real f, const QColor& colour) {
        const int x = static_cast<int>(std::lround(g.x_origin + g.x_scale * std::log(f)));
        int count = 0;
        for (int y = g.top + 1; y < g.bottom; ++y) count += pic.image.pixelColor(x, y) == colour ? 1 : 0;
        return count > (g.bottom - g.top) / 4;
    };
    for (Real f : {0.1L, 1.0L, 10.0L}) EXPECT_TRUE(column_has(f, Qt::yellow)) << static_cast<double>(f);
    for (Real f : {0.03L, 2.0L, 50.0L}) {
        EXPECT_TRUE(column_has(f, plot_colour::grey)) << static_cast<double>(f);
        EXPECT_FALSE(column_has(f, Qt::yellow)) << static_cast<double>(f);
    }
}

}  // namespace
}  // namespace analysis
