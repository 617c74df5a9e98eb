// The window icons compiled into the programs.
#include "packaging/program_icon.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

namespace {

TEST(ProgramIcon, EveryWindowProgramHasItsIconAtEverySizeAndNoOtherNameHasOne) {
    QList<QImage> pictures;
    for (const char* name : {"moratw", "plaxew", "kelmaw"}) {
        SCOPED_TRACE(name);
        const QIcon icon = suite::program_icon(QString::fromLatin1(name));
        ASSERT_FALSE(icon.isNull());
        QList<QSize> expected;
        for (int s : suite::kProgramIconSizes) expected << QSize(s, s);
        EXPECT_EQ(icon.availableSizes(), expected);
        // A drawn picture: opaque in the middle, not of one colour.
        const QImage image = icon.pixmap(QSize(48, 48)).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(48, 48));
        EXPECT_EQ(qAlpha(image.pixel(24, 24)), 255);
        QSet<QRgb> colours;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x) colours.insert(image.pixel(x, y));
        EXPECT_GT(colours.size(), 10);
        pictures << image;
    }
    EXPECT_NE(pictures[0], pictures[1]);
    EXPECT_NE(pictures[1], pictures[2]);
    EXPECT_TRUE(suite::program_icon(QStringLiteral("morat")).isNull());
}

TEST(ProgramIcon, TheApplicationTakesTheIconAndNamesItsDesktopEntry) {
    suite::set_program_icon(QStringLiteral("kelmaw"));
    EXPECT_FALSE(QGuiApplication::windowIcon().isNull());
    EXPECT_EQ(QGuiApplication::windowIcon().pixmap(QSize(32, 32)).toImage(),
              suite::program_icon(QStringLiteral("kelmaw")).pixmap(QSize(32, 32)).toImage());
    EXPECT_EQ(QGuiApplication::desktopFileName(), "kelmaw");
}

}  // namespace
