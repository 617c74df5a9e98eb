// moratw: the analysis program.
//
//   moratw [NETLIST]    NETLIST is opened as "Abrir" opens the file chosen
//                       in its dialog
//   moratw DECK         a SPICE deck (.cir, .sp, .spi, .ckt) is imported as
//                       "Importar SPICE" imports the deck chosen there
#include <QApplication>
#include <QTimer>
#include <optional>

#include "analysis/polezero/polezero_install.h"
#include "analysis/shell/main_window.h"
#include "analysis/shell/startup.h"
#include "analysis/spice/spice_translate.h"
#include "common/dialogseam.h"
#include "common/translations.h"
#include "packaging/program_icon.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    suite::speak_portuguese(app);
    suite::set_program_icon(QStringLiteral("moratw"));
    moratw::Moratw program;
    moratw::install_pole_zero_window(program);
    program.show();
    suite::QtDialogSeam dialogs;
    std::optional<suite::StartFileSeam> start;
    if (const QStringList args = QApplication::arguments(); args.size() > 1) {
        start.emplace(args[1], dialogs);
        suite::set_dialog_seam(&*start);
        const bool deck = analysis::spice::is_spice_deck_name(args[1].toStdString());
        QTimer::singleShot(0, program.Form1,
                           deck ? &moratw::TForm1::ImportarSPICE1Click : &moratw::TForm1::Open1Click);
    }
    const int code = QApplication::exec();
    suite::set_dialog_seam(nullptr);
    return code;
}
