#include "packaging/program_icon.h"

#include <QFile>
#include <QGuiApplication>

namespace suite {

QIcon program_icon(const QString& name) {
    QIcon icon;
    for (int size : kProgramIconSizes) {
        const QString file = QStringLiteral(":/icons/%1/%2.png").arg(size).arg(name);
        if (QFile::exists(file)) icon.addFile(file, QSize(size, size));
    }
    return icon;
}

void set_program_icon(const QString& name) {
    QGuiApplication::setWindowIcon(program_icon(name));
    QGuiApplication::setDesktopFileName(name);
}

}  // namespace suite
