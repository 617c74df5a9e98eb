#include "common/planeplot.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <numbers>

namespace suite {
namespace {

QImage black(int w, int h) {
    QImage im(w, h, QImage::Format_RGB32);
    im.fill(Qt::black);
    return im;
}

TEST(PlaneMapping, MapsTheWindowOntoTheSquare) {
    const PlaneMapping m(400, PlaneWindow{});
    EXPECT_EQ(m.pixel(0, 0), QPoint(200, 200));
    EXPECT_EQ(m.pixel(-2, -2), QPoint(0, 400));  // bottom-left corner
    EXPECT_EQ(m.pixel(2, 2), QPoint(400, 0));
    EXPECT_EQ(m.pixel(0.0049, -0.0051), QPoint(200, 201));  // nearest integer
    EXPECT_EQ(m.text_column(), 404);
    EXPECT_NEAR(static_cast<double>(m.re_at(300)), 1.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(m.im_at(300)), -1.0, 1e-15);
    EXPECT_TRUE(m.in_square({0, 0}));
    EXPECT_TRUE(m.in_square({400, 400}));
    EXPECT_FALSE(m.in_square({-1, 10}));
    EXPECT_FALSE(m.in_square({10, 401}));
}

TEST(PlaneMapping, FarPointsStayOffTheSquareWithoutOverflow) {
    const PlaneMapping m(400, PlaneWindow{0, 0, 1e-12L});
    const QPoint far = m.pixel(1e30L, -1e30L);
    EXPECT_EQ(far, QPoint(kPixelLimit, kPixelLimit));
    EXPECT_FALSE(m.in_square(far));
    EXPECT_FALSE(m.in_square(m.pixel(std::nanl(""), 0)));
}

TEST(ZoomFromDrag, TakesTheLargerExtentOfAForwardDrag) {
    const PlaneMapping m(400, PlaneWindow{});
    const auto w = zoom_from_drag(m, {10, 20}, {50, 40});
    ASSERT_TRUE(w);
    EXPECT_NEAR(static_cast<double>(w->re_min), -1.9, 1e-12);
    EXPECT_NEAR(static_cast<double>(w->im_min), 1.6, 1e-12);
    EXPECT_NEAR(static_cast<double>(w->width), 0.4, 1e-12);
    const auto tall = zoom_from_drag(m, {10, 20}, {20, 120});
    ASSERT_TRUE(tall);
    EXPECT_NEAR(static_cast<double>(tall->width), 1.0, 1e-12);
    EXPECT_NEAR(static_cast<double>(tall->im_min), 0.8, 1e-12);

    const QPoint refused[][2] = {{{50, 40}, {10, 20}}, {{10, 40}, {50, 20}}, {{50, 20}, {10, 40}},
                                 {{10, 20}, {10, 40}}, {{10, 20}, {50, 20}}, {{10, 20}, {10, 20}}};
    for (const auto& r : refused) EXPECT_FALSE(zoom_from_drag(m, r[0], r[1])) << r[0].x() << "," << r[0].y();
}

TEST(PlaneTexts, NumbersInTheColumnFormats) {
    EXPECT_EQ(window_texts(PlaneWindow{}, 10),
              QStringList({"Re:-2.0E+0000", "    2.0E+0000", "Im:-2.0E+0000", "    2.0E+0000"}));
    EXPECT_EQ(window_texts(PlaneWindow{-1, 0.5, 0.25}, 12)[1], "   -7.500E-0001");
    EXPECT_EQ(q_text(0, 3, 10), " infinito");
    EXPECT_EQ(q_text(-0.5, std::sqrt(0.75L), 12), " 1.000E+0000");
    EXPECT_EQ(q_text(0.5, 0, 10), "-5.0E-0001");
    EXPECT_EQ(f_text(45, 9, 3), "   45.000");
}

TEST(PlaneTexts, TextHasAnOpaqueBackground) {
    QImage im = black(80, 20);
    QPainter p(&im);
    p.setFont(plane_font());
    EXPECT_GE(plane_line_height(p), 10);
    EXPECT_LE(plane_line_height(p), 16);
    plane_text(p, 2, 2, "MMMM", Qt::yellow, QColor(128, 128, 128));
    p.end();
    EXPECT_EQ(im.pixelColor(2, 2), QColor(128, 128, 128));
    EXPECT_EQ(im.pixelColor(1, 1), QColor(Qt::black));
    int yellowish = 0;
    for (int x = 2; x < 30; ++x)
        for (int y = 2; y < 16; ++y)
            if (im.pixelColor(x, y).red() > 200 && im.pixelColor(x, y).blue() < 100) ++yellowish;
    EXPECT_GT(yellowish, 10);
}

TEST(PlaneDrawing, AxesAndFrame) {
    for (const AxisRule rule : {AxisRule::when_left_of_side, AxisRule::always}) {
        QImage im = black(120, 100);
        QPainter p(&im);
        const PlaneMapping m(100, PlaneWindow{});
        draw_plane_axes(p, m, rule);
        draw_plane_frame(p, 100, Qt::yellow);
        p.end();
        const QColor grey(128, 128, 128);
        int on = 0, off = 0;
        for (int k = 10; k < 90; ++k) {
            (im.pixelColor(50, k) == grey ? on : off)++;
            EXPECT_EQ(im.pixelColor(k, 50) == grey, im.pixelColor(50, k) == grey) << k;
        }
        EXPECT_GT(on, 15);  // dotted: some pixels lit, some not
        EXPECT_GT(off, 15);
        for (int k = 0; k < 100; ++k) {
            EXPECT_EQ(im.pixelColor(0, k), QColor(Qt::yellow));
            EXPECT_EQ(im.pixelColor(99, k), QColor(Qt::yellow));
            EXPECT_EQ(im.pixelColor(k, 0), QColor(Qt::yellow));
            EXPECT_EQ(im.pixelColor(k, 99), QColor(Qt::yellow));
        }
        EXPECT_EQ(im.pixelColor(101, 50), QColor(Qt::black));
    }
    // Real axis right of the square: only the analysis program draws it.
    for (const AxisRule rule : {AxisRule::when_left_of_side, AxisRule::always}) {
        QImage im = black(160, 100);
        QPainter p(&im);
        draw_plane_axes(p, PlaneMapping(100, PlaneWindow{-3, -2, 2}), rule);
        p.end();
        bool any = false;
        for (int k = 0; k < 100; ++k) any = any || im.pixelColor(150, k) != QColor(Qt::black);
        EXPECT_EQ(any, rule == AxisRule::always);
    }
}

TEST(PlaneDrawing, MarkersAndRectangle) {
    QImage im = black(60, 60);
    QPainter p(&im);
    draw_pole_marker(p, {10, 10}, Qt::green);
    draw_zero_marker(p, {30, 10}, Qt::white);
    draw_zero_marker(p, {50, 10}, Qt::white, QColor(Qt::black));
    const PlaneMapping m(40, PlaneWindow{0, 0, 4});  // 10 pixels a unit
    draw_deviation_rectangle(p, m, 2, 2, 1, 0.5, Qt::yellow);
    p.end();
    for (const QPoint d : {QPoint(0, 0), QPoint(-2, -2), QPoint(2, 2), QPoint(-2, 2), QPoint(2, -2)})
        EXPECT_EQ(im.pixelColor(QPoint(10, 10) + d), QColor(Qt::green));
    EXPECT_EQ(im.pixelColor(12, 10), QColor(Qt::black));
    EXPECT_EQ(im.pixelColor(30, 10), QColor(Qt::black));  // outline only
    EXPECT_EQ(im.pixelColor(26, 10), QColor(Qt::white));
    EXPECT_EQ(im.pixelColor(34, 10), QColor(Qt::white));
    EXPECT_EQ(im.pixelColor(30, 6), QColor(Qt::white));
    // rectangle from pixel (10, 25) to (30, 15)
    for (const QPoint q :
         {QPoint(10, 25), QPoint(30, 15), QPoint(20, 15), QPoint(20, 25), QPoint(10, 20), QPoint(30, 20)})
        EXPECT_EQ(im.pixelColor(q), QColor(Qt::yellow)) << q.x() << "," << q.y();
    EXPECT_EQ(im.pixelColor(20, 20), QColor(Qt::black));
}

TEST(PlaneDrawing, EllipseConstruction) {
    const PlaneMapping m(1000, PlaneWindow{-5, -5, 10});  // 100 pixels a unit
    for (const int steps : {kViewerEllipseSteps, kAnalysisEllipseSteps}) {
        // A circle: every point at the radius, both ends on the principal axis.
        const auto c = ellipse_polylines(m, 1, -1, 2, 2, 0.3, steps);
        ASSERT_EQ(c.upper.size(), 2 * steps + 1);
        ASSERT_EQ(c.lower.size(), 2 * steps + 1);
        const QPoint centre = m.pixel(1, -1);
        for (const QPolygon* half : {&c.upper, &c.lower})
            for (const QPoint q : *half)
                EXPECT_NEAR(std::hypot(q.x() - centre.x(), q.y() - centre.y()), 200.0, 1.0);
        EXPECT_EQ(c.upper.front(), m.pixel(1 - 2 * std::cos(0.3L), -1 - 2 * std::sin(0.3L)));
        EXPECT_EQ(c.upper.back(), m.pixel(1 + 2 * std::cos(0.3L), -1 + 2 * std::sin(0.3L)));
        EXPECT_EQ(c.lower.front(), c.upper.front());
        // The upper half lies on the side of positive v (above for theta 0).
        const auto flat = ellipse_polylines(m, 0, 0, 2, 1, 0, steps);
        EXPECT_EQ(flat.upper[steps], m.pixel(0, 1));
        EXPECT_EQ(flat.lower[steps], m.pixel(0, -1));
    }
    // b = 0: a segment of length 2a along the principal direction.
    const auto seg = ellipse_polylines(m, 0, 0, 1, 0, std::numbers::pi_v<Real> / 2, 40);
    for (const QPoint q : seg.upper) EXPECT_EQ(q.x(), 500);
    EXPECT_EQ(seg.upper.front(), QPoint(500, 600));
    EXPECT_EQ(seg.upper.back(), QPoint(500, 400));
    EXPECT_TRUE(ellipse_polylines(m, 0, 0, 0, 1, 0, 40).upper.isEmpty());

    QImage im = black(1000, 1000);
    QPainter p(&im);
    draw_deviation_ellipse(p, m, 0, 0, 0, 1, 0, 40, Qt::white);  // a = 0: nothing
    EXPECT_EQ(im, black(1000, 1000));
    draw_deviation_ellipse(p, m, 0, 0, 2, 1, 0, 40, Qt::white);
    p.end();
    EXPECT_EQ(im.pixelColor(500, 400), QColor(Qt::white));
    EXPECT_EQ(im.pixelColor(700, 500), QColor(Qt::white));
    EXPECT_EQ(im.pixelColor(500, 500), QColor(Qt::black));
}

TEST(PlaneDrawing, ExclusiveOrFiguresUndoThemselves) {
    QImage im = black(60, 60);
    {
        QPainter p(&im);
        p.fillRect(30, 0, 30, 60, Qt::blue);
    }
    const QImage before = im.copy();
    QPainter p(&im);
    xor_cursor_arrow(p, {10, 10});
    EXPECT_EQ(im.pixelColor(13, 13), QColor(Qt::red));     // fill
    EXPECT_EQ(im.pixelColor(15, 10), QColor(Qt::yellow));  // outline
    EXPECT_EQ(im.pixelColor(9, 9), QColor(Qt::black));
    xor_cursor_arrow(p, {10, 10});
    EXPECT_EQ(im, before);
    xor_cursor_arrow(p, kNoCursor);
    EXPECT_EQ(im, before);

    xor_selection_square(p, {30, 30});
    EXPECT_EQ(im.pixelColor(24, 30), QColor(Qt::red));
    EXPECT_EQ(im.pixelColor(36, 30), QColor(Qt::magenta));  // red over blue
    EXPECT_EQ(im.pixelColor(30, 30), before.pixelColor(30, 30));
    xor_selection_square(p, {30, 30});
    EXPECT_EQ(im, before);

    xor_rubber_band(p, {50, 45}, {5, 8});
    EXPECT_NE(im, before);
    xor_rubber_band(p, {5, 8}, {50, 45});
    EXPECT_EQ(im, before);
}

}  // namespace
}  // namespace suite
