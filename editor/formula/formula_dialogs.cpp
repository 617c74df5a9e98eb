#include "editor/formula/formula_dialogs.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/formula/formula.h"

namespace plaxew {

TForm7::TForm7(QWidget* parent) : QDialog(parent) {
    setObjectName("Form7");
    setWindowTitle("Error in formula");
    setModal(true);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setTextFormat(Qt::PlainText);
    CBignorar = new QCheckBox("Ignore other errors", this);
    CBignorar->setObjectName("CBignorar");
    Button1 = new QPushButton("Continue", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(CBignorar);
    layout->addWidget(Button1, 0, Qt::AlignRight);
    connect(Button1, &QPushButton::clicked, this, &TForm7::Button1Click);
    resize(320, 110);
}

void TForm7::show_error(const std::string& token, bool& ignore) {
    Label1->setText(QString::fromStdString(token));
    CBignorar->setChecked(ignore);
    answered_ = false;
    emit shown();
    if (!answered_) exec();
    ignore = CBignorar->isChecked();
}

void TForm7::Button1Click() {
    answered_ = true;
    if (isVisible()) accept();
}

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
    setObjectName("Form5");
    setWindowTitle("Test for parameters or formulas");
    Eformula = new QLineEdit(this);
    Eformula->setObjectName("Eformula");
    Eformula->setMaxLength(100);
    Eformula->setText(QString::fromUtf8(editor::formula_test_initial_text.data(),
                                        static_cast<qsizetype>(editor::formula_test_initial_text.size())));
    Bapply = new QPushButton("Evaluate", this);
    Bapply->setObjectName("Bapply");
    Bapply->setDefault(true);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Eformula, 1);
    layout->addWidget(Bapply);
    connect(Bapply, &QPushButton::clicked, this, &TForm5::BapplyClick);
    resize(520, 50);
}

void TForm5::BapplyClick() {
    if (evaluate) evaluate(Eformula->text().toStdString());
}

}  // namespace plaxew
