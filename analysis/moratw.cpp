// moratw: the analysis program.
#include <QApplication>

#include "analysis/shell/startup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Moratw");
    moratw::Moratw program;
    program.show();
    return QApplication::exec();
}
