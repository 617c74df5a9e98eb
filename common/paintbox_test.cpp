#include "common/paintbox.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "common/picture.h"
#include "common/textfile.h"

namespace suite {
namespace {

TEST(PaintBox, PaintsIntoItsImageAndRepaintsOnRequest) {
    PaintBox box;
    box.resize(60, 40);
    int paints = 0;
    box.on_paint = [&] {
        ++paints;
        QPainter p(&box.image());
        p.fillRect(10, 10, 5, 5, Qt::blue);
    };
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QTest::qWait(10);
    EXPECT_GE(paints, 1);
    EXPECT_EQ(box.image().size(), QSize(60, 40));
    EXPECT_EQ(box.image().pixelColor(12, 12), QColor(Qt::blue));
    EXPECT_EQ(box.image().pixelColor(30, 30), QColor(Qt::white));

    const int before = paints;
    box.paint_now();
    EXPECT_EQ(paints, before + 1);
    box.resize(80, 50);  // a new size draws the picture anew
    QTest::qWait(10);
    box.repaint();
    EXPECT_EQ(box.image().size(), QSize(80, 50));
    EXPECT_EQ(box.image().pixelColor(12, 12), QColor(Qt::blue));
}

TEST(PaintBox, ExclusiveOrDrawingUndoesItself) {
    PaintBox box;
    box.resize(30, 30);
    box.on_paint = [&] { QPainter(&box.image()).fillRect(0, 0, 15, 30, Qt::red); };
    box.paint_now();
    const QImage before = box.image().copy();
    for (int pass = 0; pass < 2; ++pass) {
        QPainter p(&box.image());
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(Qt::white);
        p.drawLine(0, 20, 29, 20);
        if (pass == 0) {
            p.end();
            EXPECT_EQ(box.image().pixelColor(5, 20), QColor(0, 255, 255));  // white xor red
            EXPECT_EQ(box.image().pixelColor(25, 20), QColor(Qt::black));
        }
    }
    EXPECT_EQ(box.image(), before);
}

TEST(PaintBox, ReportsMouseEventsInItsCoordinates) {
    PaintBox box;
    box.resize(50, 50);
    QSignalSpy down(&box, &PaintBox::mouse_down);
    QTest::mousePress(&box, Qt::LeftButton, Qt::ShiftModifier, QPoint(7, 9));
    ASSERT_EQ(down.size(), 1);
    EXPECT_EQ(down[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(down[0][2].toInt(), 7);
    EXPECT_EQ(down[0][3].toInt(), 9);
}

TEST(Picture, SameDrawingGoesToPngAndSvg) {
    const auto draw = [](QPainter& p) {
        p.setPen(Qt::black);
        p.drawLine(0, 0, 19, 19);
    };
    const QImage image = render_picture({20, 20}, draw);
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(15, 2), QColor(Qt::white));

    const auto dir = std::filesystem::temp_directory_path() / ("suite_pic_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    save_picture((dir / "a.png").string(), {20, 20}, draw);
    save_picture((dir / "a.svg").string(), {20, 20}, draw);
    QImage png((dir / "a.png").c_str());
    EXPECT_EQ(png.pixelColor(10, 10), QColor(Qt::black));
    EXPECT_NE(read_file_bytes((dir / "a.svg").string()).find("<svg"), std::string::npos);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace suite
