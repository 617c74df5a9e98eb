#include "editor/layout/layout_paint.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace editor {
namespace {

// Counts the pixels of a colour in a rectangle.
int count(const QImage& img, QRect r, QColor c) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += img.pixelColor(x, y) == c;
    return n;
}

TEST(LayoutPaint, NodeNumbersRedOnOddColumnsGroundNotWritten) {
    Circuit c;
    for (const int x : {65, 70}) {
        Element& r = c.element[++c.count];
        r.kind = 1;
        r.P[1] = r.P[3] = pack_point(x, 66);
        r.P[2] = r.P[4] = pack_point(x, 65);
        r.N[1] = 7;
        r.N[2] = 0;  // ground
    }
    ViewState v;
    v.zoom = 2;
    v.x0 = 60;
    v.y0 = 60;
    v.show_nodes = true;
    QImage img(640, 480, QImage::Format_RGB32);
    QPainter p(&img);
    paint_layout(p, img.size(), c, v, "DejaVu Sans");
    p.end();
    EXPECT_FALSE(v.show_nodes);  // drawn once
    // Each number sits right of and above its terminal: ((X + 2)z, (Y - 13)z).
    const auto label_box = [&](int x, int y) {
        return QRect((unzoomed_x(v, pack_point(x, y)) + 2) * 2, (unzoomed_y(v, pack_point(x, y)) - 13) * 2,
                     24, 30);
    };
    const QColor red(255, 0, 0), yellow(255, 255, 0);
    EXPECT_GT(count(img, label_box(65, 66), red), 10);
    EXPECT_EQ(count(img, label_box(65, 66), yellow), 0);
    EXPECT_GT(count(img, label_box(70, 66), yellow), 10);
    EXPECT_EQ(count(img, label_box(70, 66), red), 0);
    EXPECT_EQ(count(img, label_box(65, 65).adjusted(0, 8, 0, 0), red), 0);  // node 0
}

}  // namespace
}  // namespace editor
