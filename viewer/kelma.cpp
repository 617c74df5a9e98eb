// kelma: the viewer's command-line twin (see kelmacli.h).
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "viewer/kelmacli.h"

namespace {

// The toolkit's own notices (a missing runtime folder and the like) stay off
// the error stream; only its errors reach it.
void quiet_notices(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fputs((message + "\n").toLocal8Bit().constData(), stderr);
}

}  // namespace

int main(int argc, char** argv) {
    // Pictures are drawn without a display.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(quiet_notices);
    QGuiApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    return viewer::run_kelma(args, std::cout, std::cerr);
}
