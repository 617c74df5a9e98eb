// kelmaw: the pole/zero viewer.
#include <QApplication>
#include <QTimer>

#include "common/translations.h"
#include "viewer/jprincipalpz.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    suite::speak_portuguese(app);
    QApplication::setApplicationName(QStringLiteral("Kelmaw"));
    kelmaw::Tjprincipalpz window;
    window.show();
    // Where no window manager activates the window, start all the same.
    QTimer::singleShot(200, &window, &kelmaw::Tjprincipalpz::FormActivate);
    return app.exec();
}
