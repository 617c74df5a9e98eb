// plaxew: the schematic editor's window program.
//
//   plaxew [CIRCUIT]    CIRCUIT is read at the first activation
#include <QApplication>

#include "editor/main/form1.h"
#include "editor/main/form2.h"
#include "packaging/program_icon.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Plaxew");
    suite::set_program_icon(QStringLiteral("plaxew"));
    // Only Exit and closing the main window end the program.
    app.setQuitOnLastWindowClosed(false);
    plaxew::TForm1 form;
    plaxew::MessageSeam seam(*form.Form2);
    suite::set_dialog_seam(&seam);
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) form.set_start_file(args[1]);
    form.show();
    const int code = QApplication::exec();
    suite::set_dialog_seam(nullptr);
    return code;
}
