// Pixels and texts of the deviation plot's picture.
#include "analysis/polezero/deviation_plot.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <numbers>

namespace analysis {
namespace {

const QColor black(Qt::black), white(Qt::white), yellow(Qt::yellow), red(Qt::red);

// A 401-pixel-high box: a square of 400 pixels from -2 to 2, 100 pixels a unit.
const QSize box(600, 401);

// Entry 1 valid at -1 + j with deviations; entry 2 not valid at 1 - j,
// holding deviation fields from an earlier run.
std::unique_ptr<PoleZeroSet> sample_set(bool poles) {
    auto s = std::make_unique<PoleZeroSet>();
    s->poles = poles;
    s->output_node = 7;
    s->entry_count = 2;
    s->scales = {-2, -2, 4};
    s->entries[1] = {-1, 1, 0.5L, 0.25L, 0, 0.5L, 0.1L, true};
    s->entries[2] = {1, -1, 0.5L, 0.25L, 0, 0.5L, 0.1L, false};
    return s;
}

QImage picture(const DeviationScene& scene, SelectionMarker& marker) {
    QImage im(box, QImage::Format_RGB32);
    im.fill(Qt::white);
    QPainter p(&im);
    draw_deviation_plot(p, box, scene, marker);
    return im;
}

// Pixels that are not black in the rectangle, apart from the square `skip`.
int lit_pixels(const QImage& im, QRect area, QRect skip = {}) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (!skip.contains(x, y) && im.pixelColor(x, y) != black) ++n;
    return n;
}

TEST(DeviationPlot, AValidEntryHasItsRectangleAndEllipseAnInvalidOneOnlyItsMarker) {
    const auto set = sample_set(true);
    SelectionMarker marker;
    const QImage im = picture({*set, "/tmp/net", true, true}, marker);
    // Entry 1 at (100, 100): rectangle from (50, 125) to (150, 75) in yellow,
    // ellipse through (50, 100), (150, 100) and (100, 90) in white.
    EXPECT_EQ(im.pixelColor(50, 80), yellow);
    EXPECT_EQ(im.pixelColor(120, 75), yellow);
    EXPECT_EQ(im.pixelColor(150, 120), yellow);
    EXPECT_EQ(im.pixelColor(50, 100), white);
    EXPECT_EQ(im.pixelColor(100, 90), white);
    EXPECT_EQ(im.pixelColor(100, 110), white);
    EXPECT_EQ(im.pixelColor(98, 98), white);  // the cross
    // Entry 2 at (300, 300): its cross and nothing else around it.
    EXPECT_EQ(im.pixelColor(302, 302), white);
    EXPECT_EQ(im.pixelColor(298, 302), white);
    EXPECT_EQ(lit_pixels(im, QRect(240, 260, 120, 80), QRect(296, 296, 9, 9)), 0);
    EXPECT_EQ(lit_pixels(im, QRect(296, 296, 9, 9)), 9);  // two strokes of 5 pixels

    // Rectangles off, then ellipses off.
    const QImage no_rect = picture({*set, "net", false, true}, marker);
    EXPECT_EQ(no_rect.pixelColor(50, 80), black);
    EXPECT_EQ(no_rect.pixelColor(100, 90), white);
    const QImage no_ellipse = picture({*set, "net", true, false}, marker);
    EXPECT_EQ(no_ellipse.pixelColor(50, 80), yellow);
    EXPECT_EQ(no_ellipse.pixelColor(100, 90), black);
}

TEST(DeviationPlot, AxesFrameAndZeroMarkers) {
    auto set = sample_set(false);
    set->entries[1] = {-1, 1, 0, 0, 0, 0, 0, true};  // no deviations
    SelectionMarker marker;
    const QImage im = picture({*set, "net", true, true}, marker);
    EXPECT_EQ(im.pixelColor(0, 50), white);    // frame
    EXPECT_EQ(im.pixelColor(400, 50), white);  // side 400: the frame runs to (side, side)
    EXPECT_EQ(im.pixelColor(200, 400), white);
    EXPECT_EQ(im.pixelColor(399, 50), black);
    EXPECT_EQ(im.pixelColor(401, 50), black);
    // Dotted axes through the centre.
    int vertical = 0, horizontal = 0;
    for (int t = 1; t < 399; ++t) {
        vertical += im.pixelColor(200, t) == QColor(128, 128, 128);
        horizontal += im.pixelColor(t, 200) == QColor(128, 128, 128);
    }
    EXPECT_GT(vertical, 100);
    EXPECT_LT(vertical, 300);
    EXPECT_GT(horizontal, 100);
    // Zeros: white circles filled with black.
    EXPECT_EQ(im.pixelColor(300, 296), white);
    EXPECT_EQ(im.pixelColor(304, 300), white);
    EXPECT_EQ(im.pixelColor(300, 300), black);
    EXPECT_EQ(im.pixelColor(100, 100), black);

    // Axes off the square are not drawn into it; an entry off the square is
    // not drawn, nor marked as selected.
    set->scales = {5, 5, 4};
    const QImage away = picture({*set, "net", true, true}, marker);
    EXPECT_EQ(lit_pixels(away, QRect(1, 1, 398, 398)), 0);
    EXPECT_FALSE(marker.drawn);
}

TEST(DeviationPlot, TheSelectionSquareFollowsTheCurrentEntryByExclusiveOr) {
    auto set = sample_set(true);
    SelectionMarker marker;
    const DeviationScene scene{*set, "net", true, true};
    QImage im = picture(scene, marker);
    ASSERT_TRUE(marker.drawn);
    EXPECT_EQ(marker.at, QPoint(100, 100));
    EXPECT_EQ(im.pixelColor(94, 104), red);  // left side of the square around entry 1
    EXPECT_EQ(im.pixelColor(106, 96), red);
    EXPECT_EQ(im.pixelColor(300 - 6, 304), black);

    set->current_entry = 2;
    {
        QPainter p(&im);
        show_deviation_selection(p, box, scene, marker);
    }
    EXPECT_EQ(im.pixelColor(94, 104), black);  // erased
    EXPECT_EQ(im.pixelColor(294, 304), red);
    EXPECT_EQ(marker.at, QPoint(300, 300));

    // With a single entry the square stays where it is.
    set->entry_count = 1;
    set->current_entry = 1;
    const QImage one = picture(scene, marker);
    QImage again = one;
    {
        QPainter p(&again);
        show_deviation_selection(p, box, scene, marker);
    }
    EXPECT_EQ(again, one);
}

TEST(DeviationPlot, ThePanelShowsDeviationsOfValidEntriesOnly) {
    auto set = sample_set(true);
    set->entries[1].Ang = std::numbers::pi_v<Real> / 4;
    std::vector<DeviationPanelLine> lines = deviation_panel(*set);
    ASSERT_EQ(lines.size(), 10u);
    const char* const texts[] = {"Polo 1",          "Re:-1.000E+0000",  "Im: 1.000E+0000",  "w: 1.414E+0000",
                                 "Q: 7.071E-0001",  "VRe: 5.000E-0001", "VIm: 2.500E-0001", "Ra: 5.000E-0001",
                                 "Rb: 1.000E-0001", "Ang:   45.000"};
    for (std::size_t n = 0; n < lines.size(); ++n) {
        EXPECT_EQ(lines[n].text, QString::fromUtf8(texts[n]));
        EXPECT_EQ(lines[n].colour, n < 5 ? yellow : white) << n;
    }
    set->current_entry = 2;
    lines = deviation_panel(*set);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].text, "Polo 2");

    set->poles = false;
    set->entries[2].Re = 0;
    lines = deviation_panel(*set);
    EXPECT_EQ(lines[0].text, "Zero 2");
    EXPECT_EQ(lines[4].text, "Q: infinito");
    set->entry_count = 0;
    EXPECT_TRUE(deviation_panel(*set).empty());
}

TEST(DeviationPlot, TheColumnNamesTheNetworkAndForZerosTheNode) {
    auto set = sample_set(true);
    set->scales = {-4, -4, 8};
    const QStringList poles = deviation_column_texts({*set, "C:\\filtros\\passa.baixa", true, true});
    EXPECT_EQ(poles, QStringList({"Re:-4.000E+0000", "    4.000E+0000", "Im:-4.000E+0000", "    4.000E+0000",
                                  "Rede: passa.baixa"}));
    set->poles = false;
    const QStringList zeros = deviation_column_texts({*set, "/home/u/notch", true, true});
    ASSERT_EQ(zeros.size(), 6);
    EXPECT_EQ(zeros[4], "Rede: notch");
    EXPECT_EQ(zeros[5], QString::fromUtf8("Nó 7"));
    EXPECT_EQ(network_name("plain"), "plain");

    // In the picture: a sixth line of text in zero mode only.
    SelectionMarker marker;
    const QImage zero_picture = picture({*set, "net", true, true}, marker);
    set->poles = true;
    const QImage pole_picture = picture({*set, "net", true, true}, marker);
    QImage probe(1, 1, QImage::Format_RGB32);
    QPainter p(&probe);
    p.setFont(suite::plane_font());
    const int lh = suite::plane_line_height(p);
    const QRect line6(404, 5 * lh, 150, lh);
    EXPECT_GT(lit_pixels(zero_picture, line6), 10);
    EXPECT_EQ(lit_pixels(pole_picture, line6), 0);
    EXPECT_GT(lit_pixels(pole_picture, QRect(404, 4 * lh, 150, lh)), 10);  // "Rede: "
}

}  // namespace
}  // namespace analysis
