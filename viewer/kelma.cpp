// kelma: the viewer's command-line twin (see kelmacli.h).
#include <QGuiApplication>
#include <cstdlib>
#include <iostream>

#include "viewer/kelmacli.h"

int main(int argc, char** argv) {
    // Pictures are drawn without a display.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    return viewer::run_kelma(args, std::cout, std::cerr);
}
