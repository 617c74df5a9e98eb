// moratw: the analysis program.
#include <QApplication>

#include "analysis/polezero/polezero_install.h"
#include "analysis/shell/startup.h"
#include "common/translations.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    suite::speak_portuguese(app);
    moratw::Moratw program;
    moratw::install_pole_zero_window(program);
    program.show();
    return QApplication::exec();
}
