#include "editor/main/form2.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace plaxew {

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setObjectName("Form2");
    setWindowTitle("Message");
    setModal(true);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignCenter);
    Button1 = new QPushButton("Yes", this);
    Button1->setObjectName("Button1");
    Bno = new QPushButton("No", this);
    Bno->setObjectName("Bno");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Bno);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(Bno, &QPushButton::clicked, this, &TForm2::BnoClick);
    resize(300, 100);
}

bool TForm2::ask(const QString& question) {
    QWidget* asker = QApplication::activeWindow();
    if (asker == this) asker = nullptr;
    Label1->setText(question);
    answered_ = false;
    yes_ = false;
    // Each question starts alike: "No" marked as the default and focused
    // (Return presses the button that has the focus, which is then the
    // marked one; a button reached with Tab becomes the default meanwhile).
    Button1->setDefault(false);
    Bno->setDefault(true);
    Bno->setFocus(Qt::OtherFocusReason);
    place_over(asker);
    emit shown();
    if (!answered_) exec();
    // Back to the window the question came from, so that its keys go on
    // working (the layout screen asks over the main window otherwise).
    if (asker && asker->isVisible()) asker->activateWindow();
    return yes_;
}

// Centred over the asking window, inside its screen.
void TForm2::place_over(QWidget* asker) {
    if (!asker) return;
    // Kept above the asking window only, so the other window stays where it is
    // in the stacking order.
    if (!windowHandle()) create();
    if (windowHandle() && asker->windowHandle()) windowHandle()->setTransientParent(asker->windowHandle());
    const QRect a = asker->frameGeometry();
    QRect r(QPoint(0, 0), size());
    r.moveCenter(a.center());
    if (const QScreen* s = asker->screen()) {
        const QRect avail = s->availableGeometry();
        r.moveLeft(std::clamp(r.left(), avail.left(), std::max(avail.left(), avail.right() - r.width())));
        r.moveTop(std::clamp(r.top(), avail.top(), std::max(avail.top(), avail.bottom() - r.height())));
    }
    move(r.topLeft());
}

void TForm2::Button1Click() { answer(true); }
void TForm2::BnoClick() { answer(false); }
void TForm2::reject() { answer(false); }

void TForm2::answer(bool yes) {
    answered_ = true;
    yes_ = yes;
    if (isVisible()) QDialog::done(yes ? Accepted : Rejected);
}

suite::Answer MessageSeam::ask(QWidget*, const QString&, const QString& text, bool) {
    return form_.ask(text) ? suite::Answer::yes : suite::Answer::no;
}

}  // namespace plaxew
