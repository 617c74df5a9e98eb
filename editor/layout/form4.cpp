#include "editor/layout/form4.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "editor/layout/layout.h"

namespace plaxew {

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setObjectName("Form4");
    setWindowTitle("Parameters");
    Label1 = new QLabel("Name", this);
    Label1->setObjectName("Label1");
    Enome = new QLineEdit(this);
    Enome->setObjectName("Enome");
    Lpar = new QLabel(this);
    Lpar->setObjectName("Lpar");
    Lpar->setTextFormat(Qt::PlainText);
    Eparametros = new QLineEdit(this);
    Eparametros->setObjectName("Eparametros");
    Eparametros->setMaxLength(100);
    Button1 = new QPushButton("Apply", this);
    Button1->setObjectName("Button1");
    Button1->setAutoDefault(false);
    Button2 = new QPushButton("Cancel", this);
    Button2->setObjectName("Button2");
    Button2->setAutoDefault(false);
    Lmessage = new QLabel(this);
    Lmessage->setObjectName("Lmessage");
    Lmessage->setTextFormat(Qt::PlainText);
    Lmessage->setWordWrap(true);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Enome, 1, 0);
    grid->addWidget(Lpar, 0, 1);
    grid->addWidget(Eparametros, 1, 1);
    grid->addWidget(Button1, 2, 0);
    grid->addWidget(Button2, 2, 1, Qt::AlignLeft);
    grid->addWidget(Lmessage, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
    // EparametrosKeyPress: Enter applies.
    connect(Eparametros, &QLineEdit::returnPressed, this, &TForm4::Button1Click);
    connect(Enome, &QLineEdit::returnPressed, this, &TForm4::Button1Click);
    resize(480, 100);
}

bool TForm4::edit(editor::Circuit& circuit, int i, const editor::MessageSink& say) {
    circuit_ = &circuit;
    index_ = i;
    say_ = say;
    const editor::Element& e = circuit.element[i];
    Enome->setText(QString::fromStdString(e.name));
    const QString text = QString::fromStdString(e.parameters);
    // A stored text may be longer than what can be typed; it is never cut.
    Eparametros->setMaxLength(std::max(100, static_cast<int>(text.size())));
    Eparametros->setText(text);
    const auto description = editor::component_kind(e.kind).description;
    Lpar->setText(QString::fromUtf8(description.data(), static_cast<qsizetype>(description.size())));
    Lmessage->clear();
    done_ = false;
    applied_ = false;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    Eparametros->setFocus();
    // The text is selected: typing replaces it, an arrow key keeps it.
    Eparametros->selectAll();
    emit shown();
    if (!done_) {
        running_ = true;
        loop_.exec();
        running_ = false;
    }
    hide();
    circuit_ = nullptr;
    return applied_;
}

void TForm4::Button1Click() {
    if (!circuit_ || done_) return;
    std::string refusal;
    const editor::MessageSink say = [&](const std::string& line) {
        refusal = line;
        say_(line);
    };
    if (editor::apply_parameters(*circuit_, index_, Enome->text().toStdString(),
                                 Eparametros->text().toStdString(), say)) {
        finish(true);
        return;
    }
    // The refusal stays in sight, and the field at fault is ready to be
    // typed anew.
    Lmessage->setText(QString::fromStdString(refusal));
    QLineEdit* at_fault = refusal.starts_with("Invalid name") ? Enome : Eparametros;
    at_fault->setFocus();
    at_fault->selectAll();
}

void TForm4::Button2Click() {
    if (circuit_ && !done_) finish(false);
}

void TForm4::reject() { Button2Click(); }

void TForm4::closeEvent(QCloseEvent* event) {
    event->ignore();
    Button2Click();
}

void TForm4::finish(bool applied) {
    applied_ = applied;
    done_ = true;
    if (running_) loop_.quit();
}

}  // namespace plaxew
