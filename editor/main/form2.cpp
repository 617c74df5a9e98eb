#include "editor/main/form2.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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
    Button1->setDefault(true);
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
    Label1->setText(question);
    answered_ = false;
    yes_ = false;
    emit shown();
    if (!answered_) exec();
    return yes_;
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
