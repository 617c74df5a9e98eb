// moratw: the analysis program.
#include <QApplication>

#include "analysis/polezero/polezero_install.h"
#include "analysis/shell/startup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    moratw::Moratw program;
    moratw::install_pole_zero_window(program);
    program.show();
    return QApplication::exec();
}
