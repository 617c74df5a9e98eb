#include "viewer/viewerplot.h"

#include <gtest/gtest.h>

#include <QImage>

#include "viewer/tablereader.h"

namespace viewer {
namespace {

const QColor kBlack(Qt::black);

// A store with one table in slot `n` holding `entries`.
TableStore store_with(int n, std::vector<Entry> entries, bool zero = false) {
    TableStore s;
    allocate_slots(s);
    TableSlot& t = s.slot(n);
    t.name = "t.tsp";
    t.is_zero = zero;
    t.is_pole = !zero;
    t.count = static_cast<int>(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) t.entries[i] = entries[i];
    register_table(s, n);
    return s;
}

// The picture of a repaint (plot and selection) in a box 401 pixels high:
// a square of side 400, from row 0 to row 400.
QImage picture(const TableStore& s, const DisplayState& d, QPoint* cursor = nullptr) {
    const QSize box(400 + 4 + kTextColumnWidth, 401);
    QImage im(box, QImage::Format_RGB32);
    QPainter p(&im);
    draw_viewer_plot(p, box, s, d);
    QPoint c = suite::kNoCursor;
    show_selection(p, box, s, d, c);
    if (cursor) *cursor = c;
    return im;
}

int lit(const QImage& im, QRect r) {
    int n = 0;
    for (int x = r.left(); x <= r.right(); ++x)
        for (int y = r.top(); y <= r.bottom(); ++y) n += im.pixelColor(x, y) != kBlack;
    return n;
}

TEST(ViewerPlot, EmptyPlotHasAxesFrameAndWindowTexts) {
    TableStore s;
    allocate_slots(s);
    const QImage im = picture(s, DisplayState{});
    const QColor grey(128, 128, 128);
    int on = 0;
    for (int k = 1; k < 399; ++k) {
        on += im.pixelColor(200, k) == grey;
        EXPECT_TRUE(im.pixelColor(200, k) == grey || im.pixelColor(200, k) == kBlack);
        EXPECT_EQ(im.pixelColor(k, 200) == grey, im.pixelColor(200, k) == grey) << k;
        EXPECT_EQ(im.pixelColor(0, k), QColor(Qt::yellow));
        EXPECT_EQ(im.pixelColor(k, 0), QColor(Qt::yellow));
        // The right edge is x = side, the bottom edge y = side, the box's
        // last row.
        EXPECT_EQ(im.pixelColor(400, k), QColor(Qt::yellow)) << k;
        EXPECT_EQ(im.pixelColor(k, 400), QColor(Qt::yellow)) << k;
        if (k != 200) {
            EXPECT_EQ(im.pixelColor(399, k), kBlack) << k;
            EXPECT_EQ(im.pixelColor(k, 399), kBlack) << k;
        }
    }
    EXPECT_EQ(im.pixelColor(400, 0), QColor(Qt::yellow));
    EXPECT_EQ(im.pixelColor(0, 400), QColor(Qt::yellow));
    EXPECT_EQ(im.pixelColor(400, 400), QColor(Qt::yellow));
    EXPECT_EQ(im.pixelColor(401, 200), kBlack);
    EXPECT_GT(on, 100);
    EXPECT_LT(on, 300);
    EXPECT_EQ(lit(im, QRect(1, 1, 198, 198)), 0);
    EXPECT_GT(lit(im, QRect(404, 0, 100, 60)), 50);   // window texts
    EXPECT_EQ(lit(im, QRect(404, 76, 150, 324)), 0);  // no selection panel
}

TEST(ViewerPlot, DeviationFiguresFollowTheEntry) {
    DisplayState d;
    d.cursor = false;
    const QRect around(250, 50, 100, 100);  // about (1, 1) -> pixel (300, 100)
    // A reference entry: the marker only, even with rectangles and ellipses on.
    const QImage ref = picture(store_with(3, {{1, 1}}), d);
    EXPECT_EQ(lit(ref, around), 9);
    EXPECT_EQ(ref.pixelColor(300, 100), QColor(Qt::red));  // slot 3's colour
    EXPECT_EQ(ref.pixelColor(302, 98), QColor(Qt::red));
    // Ra = 0 with deviations: a rectangle and no ellipse.
    const Entry flat{1, 1, 0.1, 0.2, 0, 0, 30};
    const QImage both = picture(store_with(3, {flat}), d);
    d.ellipses = false;
    EXPECT_EQ(picture(store_with(3, {flat}), d), both);
    EXPECT_EQ(both.pixelColor(290, 110), QColor(Qt::red));  // corner (0.9, 0.8)
    EXPECT_EQ(both.pixelColor(310, 80), QColor(Qt::red));
    // With Ra the ellipse adds pixels; turned off, only the rectangle stays.
    const Entry full{1, 1, 0.1, 0.2, 0.2, 0.1, 80};
    d.ellipses = true;
    const QImage ellipse = picture(store_with(3, {full}), d);
    EXPECT_GT(lit(ellipse, around), lit(both, around));
    d.rectangles = false;
    EXPECT_LT(lit(picture(store_with(3, {full}), d), around), lit(ellipse, around));
    // The magnification doubles the figures.
    d.rectangles = true;
    d.ellipses = false;
    d.magnification = 2;
    const QImage wide = picture(store_with(3, {flat}), d);
    EXPECT_EQ(wide.pixelColor(280, 140), QColor(Qt::red));
    EXPECT_EQ(wide.pixelColor(290, 110), kBlack);
}

TEST(ViewerPlot, EntriesAtTheLeftEdgeAreDrawnWholeOrNotAtAll) {
    DisplayState d;
    d.cursor = false;
    const Entry edge{-2, 0.5, 0.1, 0.1, 0.1, 0.1, 0};  // pixel (0, 150)
    const QImage in = picture(store_with(3, {edge}), d);
    EXPECT_EQ(in.pixelColor(2, 148), QColor(Qt::red));
    EXPECT_EQ(in.pixelColor(10, 150), QColor(Qt::red));  // rectangle's right side
    Entry out = edge;
    out.Re = -2.01;  // pixel -1
    const QImage none = picture(store_with(3, {out}), d);
    EXPECT_EQ(lit(none, QRect(1, 130, 30, 40)), 0);
    // Zeros are circles.
    const QImage zero = picture(store_with(5, {{0.5, 0.5}}, true), d);
    EXPECT_EQ(zero.pixelColor(250, 150), kBlack);
    EXPECT_EQ(zero.pixelColor(254, 150), QColor(255, 0, 255));
}

TEST(ViewerPlot, SelectionPanelTexts) {
    TableStore s = store_with(2, {{-0.5, 2, 0.01, 0.02, 0.03, 0.005, -12.5}, {0, 1.5}});
    s.slot(2).name = "filtro.tsp";
    DisplayState d;
    d.magnification = 2;
    std::vector<QString> texts;
    for (const PanelLine& l : selection_panel(s, d)) texts.push_back(l.text);
    // Seven significant digits: w = sqrt(4.25) = 2.0615528, Q = w/1 = 2.0615528.
    EXPECT_EQ(texts, std::vector<QString>({"filtro.tsp", "Tabela 2", "Pólo 1", "Re:-5.000000E-0001",
                                           "Im: 2.000000E+0000", "w:  2.061553E+0000", "Q:  2.061553E+0000",
                                           "VR: 2.000000E-0002", "VI: 4.000000E-0002", "Ra: 6.000000E-0002",
                                           "Rb: 1.000000E-0002", "Ang:  -12.500"}));
    EXPECT_EQ(selection_panel(s, d)[0].y, 76);
    EXPECT_EQ(selection_panel(s, d)[11].y, 208);
    next_entry(s);
    EXPECT_EQ(selection_panel(s, d)[6].text, "Q:  infinito");
    EXPECT_EQ(values_box_lines(s.slot(2).entry(2), 2), QStringList({"Re: 0.000E+0000", "Im: 1.500E+0000"}));
    EXPECT_EQ(values_box_lines(s.slot(2).entry(1), 2),
              QStringList({"Re:-5.000E-0001", "Im: 2.000E+0000", "VR: 2.000E-0002", "VI: 4.000E-0002",
                           "Ra: 6.000E-0002", "Rb: 1.000E-0002", "Ang:     -12.500"}));
    TableStore none;
    allocate_slots(none);
    EXPECT_TRUE(selection_panel(none, d).empty());
}

TEST(ViewerPlot, CursorIsErasedByTheNextSelection) {
    TableStore s = store_with(3, {{-1, -1}, {1, 1}});
    DisplayState d;
    QPoint cursor;
    const QImage first = picture(s, d, &cursor);
    EXPECT_EQ(cursor, QPoint(100, 300));
    EXPECT_EQ(first.pixelColor(104, 302), QColor(Qt::red));  // inside the arrow
    EXPECT_EQ(first.pixelColor(103, 300), QColor(Qt::yellow));

    const QSize box = first.size();
    QImage im = first;
    {
        QPainter p(&im);
        next_entry(s);
        show_selection(p, box, s, d, cursor);
    }
    EXPECT_EQ(cursor, QPoint(300, 100));
    // Around entry 1 the picture is back to the plot without a cursor.
    QImage plain(box, QImage::Format_RGB32);
    {
        QPainter p(&plain);
        draw_viewer_plot(p, box, s, d);
    }
    EXPECT_EQ(im.copy(90, 290, 30, 30), plain.copy(90, 290, 30, 30));
    EXPECT_NE(im.copy(290, 90, 30, 30), plain.copy(290, 90, 30, 30));

    // Off, or outside the square (y = 0 is excluded), there is no cursor.
    d.cursor = false;
    EXPECT_EQ(cursor_target(viewer_mapping(401, d), s, d), suite::kNoCursor);
    d.cursor = true;
    TableStore top = store_with(1, {{0, 2}});
    EXPECT_EQ(cursor_target(viewer_mapping(401, d), top, d), suite::kNoCursor);
    TableStore bottom = store_with(1, {{0, -2}});
    EXPECT_EQ(cursor_target(viewer_mapping(401, d), bottom, d), QPoint(200, 400));
}

// A file of `n` poles at (-0.04 k, 0.5) written in parts of 30, each under
// the same header, as the analysis program writes a long set.
std::string long_table(int n) {
    std::string text = "Desvios estat. dos Polos; Obs: auto (Re, Im, VRe, VIm, Ra, Rb, Ang)\n";
    for (int k = 1; k <= n; ++k) {
        if (k > 1 && (k - 1) % 30 == 0)
            text += "\nDesvios estat. dos Polos; Obs: auto (Re, Im, VRe, VIm, Ra, Rb, Ang)\n";
        text += std::to_string(-0.04 * k) + " 0.5\n";
    }
    return text;
}

// A 45-entry file is one design in one colour; a second file has its own,
// and the legend names both in their colours.
TEST(ViewerPlot, AFileInPartsOfThirtyIsOneColourAndTheLegendNamesEveryFile) {
    TableStore s;
    allocate_slots(s);
    const Report quiet = [](const std::string&) {};
    read_tables(s, long_table(45), "cascata.tsp", quiet);
    read_tables(s, "Zeros\n0.5 -0.5\n", "zeros.rpz", quiet);
    ASSERT_TRUE(s.slot(2).in_use());
    DisplayState d;
    d.cursor = false;
    const QImage im = picture(s, d);
    const QColor first = qt_colour(palette_colour(1)), second = qt_colour(palette_colour(2));
    for (int k = 1; k <= 45; ++k) EXPECT_EQ(im.pixelColor(200 - 4 * k, 150), first) << k;  // cross centres
    EXPECT_EQ(im.pixelColor(254, 250), second);                                            // the circle

    const std::vector<LegendLine> lines = legend_lines(s, 401);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "Arquivos:");
    EXPECT_EQ(lines[1].text, "cascata.tsp");
    EXPECT_EQ(lines[2].text, "zeros.rpz");
    EXPECT_EQ(lines[1].colour, first);
    EXPECT_EQ(lines[2].colour, second);
    EXPECT_EQ(lines[0].y, kLegendTop);
    EXPECT_EQ(lines[2].y, kLegendTop + 24);
    // In the picture: each name in its colour, after its marker.
    const int col = 404;
    // Pixels of the text in (nearly) the colour, its glyphs' edges smoothed.
    auto inked = [&](int y, const QColor& c) {
        int n = 0;
        for (int x = col + 14; x < im.width(); ++x)
            for (int dy = 0; dy < 12; ++dy) {
                const QColor p = im.pixelColor(x, y + dy);
                n += std::abs(p.red() - c.red()) < 48 && std::abs(p.green() - c.green()) < 48 &&
                     std::abs(p.blue() - c.blue()) < 48;
            }
        return n;
    };
    EXPECT_GT(inked(lines[1].y, first), 20);
    EXPECT_EQ(inked(lines[1].y, second), 0);
    EXPECT_GT(inked(lines[2].y, second), 20);
    EXPECT_EQ(im.pixelColor(col + 5, lines[1].y + 6), first);   // the cross's centre
    EXPECT_EQ(im.pixelColor(col + 5, lines[2].y + 6), kBlack);  // inside the circle
    EXPECT_EQ(im.pixelColor(col + 9, lines[2].y + 6), second);
    // The legend survives a new selection.
    QImage again = im;
    {
        QPainter p(&again);
        QPoint cursor = suite::kNoCursor;
        next_entry(s);
        show_selection(p, again.size(), s, d, cursor);
    }
    EXPECT_EQ(again.copy(col, kLegendTop, 150, 36), im.copy(col, kLegendTop, 150, 36));
}

TEST(ViewerPlot, ALegendLongerThanTheBoxEndsWithTheFilesLeftOut) {
    TableStore s;
    allocate_slots(s);
    const Report quiet = [](const std::string&) {};
    for (int k = 1; k <= 15; ++k) read_tables(s, "Polos\n-1 0\n", "f" + std::to_string(k) + ".rpo", quiet);
    // 401 rows hold the heading and 13 lines: 12 files and "(mais 3)".
    std::vector<LegendLine> lines = legend_lines(s, 401);
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[12].text, "f12.rpo");
    EXPECT_EQ(lines[13].text, "(mais 3)");
    EXPECT_EQ(lines[13].y, kLegendTop + 13 * 12);
    EXPECT_LE(lines[13].y + 12, 401);
    // Exactly room for all: no "(mais".
    lines = legend_lines(s, kLegendTop + 16 * 12);
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines.back().text, "f15.rpo");
    EXPECT_TRUE(legend_lines(s, kLegendTop + 12).empty());  // no room below the heading
}

}  // namespace
}  // namespace viewer
