#include "analysis/shell/error_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QWindow>

#include "common/dialogseam.h"

namespace moratw {

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Form2");
    setWindowTitle("Erro");
    setFixedSize(272, 107);
    Label1 = new QLabel("---", this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(12, 10, 248, 50);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Button1 = new QPushButton("Terminar", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(96, 68, 80, 27);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &TForm2::focus_window_changed);
}

void TForm2::show_message(const QString& message) {
    Label1->setText(message);
    show();
    raise();
    activateWindow();
    shown_ = true;
}

void TForm2::Button1Click() { end_program(); }

void TForm2::closeEvent(QCloseEvent* event) {
    event->accept();
    if (shown_) end_program();
}

// Leaving the window counts once it has had the focus: a menu closing or
// the window manager handing the focus back while "Erro" opens is not
// the user leaving it.
void TForm2::focus_window_changed() {
    if (!shown_ || !isVisible()) return;
    QWindow* focus = QGuiApplication::focusWindow();
    if (focus && focus == windowHandle())
        entered_ = true;
    else if (focus && entered_)
        end_program();
}

void TForm2::end_program() {
    if (ended_) return;
    ended_ = true;
    suite::dialog_seam().end_program(1);
}

}  // namespace moratw
