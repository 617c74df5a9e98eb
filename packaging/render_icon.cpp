// render-icon: draws an SVG icon into square PNG files, one per size, at
// build time, so that the installed PNGs and the window icons are always
// the pictures of the SVGs beside them.
//
//   render-icon ICON.svg SIZE OUT.png [SIZE OUT.png ...]
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: render-icon ICON.svg SIZE OUT.png [SIZE OUT.png ...]\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "render-icon: %s is not a valid SVG picture\n", argv[1]);
        return 1;
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        const int size = std::atoi(argv[i]);
        if (size <= 0 || size > 1024) {
            std::fprintf(stderr, "render-icon: bad size %s\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p, QRectF(0, 0, size, size));
        p.end();
        const QString out = QString::fromLocal8Bit(argv[i + 1]);
        QDir().mkpath(QFileInfo(out).absolutePath());
        if (!image.save(out, "PNG")) {
            std::fprintf(stderr, "render-icon: cannot write %s\n", argv[i + 1]);
            return 1;
        }
    }
    return 0;
}
