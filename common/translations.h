// The language of the standard dialogs of the Portuguese window programs.
//
// The analysis program and the viewer speak Portuguese whatever the
// system's language is (the suite has no settings): they load Qt's own
// Brazilian Portuguese translations at start, so the file dialogs, the
// question and error boxes and their buttons read "Abrir", "Salvar como",
// "Sim", "Não", "Cancelar", and their dates and sizes are written the
// Brazilian way. The suite's own number texts never depend on the locale.
// The schematic editor stays in English.
//
//   QApplication app(argc, argv);
//   suite::speak_portuguese(app);
#pragma once

class QCoreApplication;

namespace suite {

// Installs the translations into `app` (once; later calls do nothing).
// Returns false, leaving the dialogs in English, when they are not
// installed on the machine (Debian package qt6-translations-l10n).
bool speak_portuguese(QCoreApplication& app);

}  // namespace suite
