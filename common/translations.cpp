#include "common/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace suite {

bool speak_portuguese(QCoreApplication& app) {
    static QTranslator* installed = nullptr;
    if (installed) return true;
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_pt_BR"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    // Dates and sizes in the file dialogs follow the language.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    installed = translator;
    return true;
}

}  // namespace suite
