// kelmaw: the pole/zero viewer.
//
//   kelmaw [TABLE]    TABLE is loaded as if chosen in the first file dialog
#include <QApplication>
#include <QTimer>
#include <optional>

#include "common/dialogseam.h"
#include "common/translations.h"
#include "packaging/program_icon.h"
#include "viewer/jprincipalpz.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    suite::speak_portuguese(app);
    QApplication::setApplicationName(QStringLiteral("Kelmaw"));
    suite::set_program_icon(QStringLiteral("kelmaw"));
    suite::QtDialogSeam dialogs;
    std::optional<suite::StartFileSeam> start;
    if (const QStringList args = QApplication::arguments(); args.size() > 1) {
        start.emplace(args[1], dialogs);
        suite::set_dialog_seam(&*start);
    }
    kelmaw::Tjprincipalpz window;
    window.show();
    // Where no window manager activates the window, start all the same.
    QTimer::singleShot(200, &window, &kelmaw::Tjprincipalpz::FormActivate);
    const int code = app.exec();
    suite::set_dialog_seam(nullptr);
    return code;
}
