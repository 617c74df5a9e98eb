#include "common/picture.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

#include "common/errors.h"
#include "common/textfile.h"

namespace suite {

QImage render_picture(QSize size, const DrawFunction& draw) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    draw(p);
    return image;
}

void save_picture(const std::string& path, QSize size, const DrawFunction& draw) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const bool svg = path.size() >= 4 && path.compare(path.size() - 4, 4, ".svg") == 0;
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        QPainter p(&generator);
        p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
        draw(p);
    } else if (!render_picture(size, draw).save(&buffer, "PNG")) {
        throw IoError("Cannot encode picture \"" + path + "\"",
                      "Não foi possível codificar a figura \"" + path + "\"");
    }
    write_file_atomically(
        path, std::string_view(buffer.data().constData(), static_cast<std::size_t>(buffer.data().size())));
}

}  // namespace suite
