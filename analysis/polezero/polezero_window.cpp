#include "analysis/polezero/polezero_window.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <system_error>

#include "analysis/display/program.h"
#include "analysis/display/response_plot.h"
#include "analysis/polezero/deviations.h"
#include "analysis/polezero/form11.h"
#include "analysis/polezero/polezero_finder.h"
#include "analysis/polezero/polezero_run.h"
#include "common/dialogseam.h"

namespace moratw {

namespace {

constexpr int panel_width = 236;

QPushButton* button(QWidget* parent, const char* name, const QString& text, QRect at) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(at);
    return b;
}

// A file dialog of the window answering the core's request.
analysis::PoleZeroFileChooser chooser(QWidget* parent, suite::FileRequest& dialog, bool save) {
    return [parent, &dialog, save](const analysis::PoleZeroFileRequest& r) -> std::optional<std::string> {
        dialog.filter_index = r.filter_index;
        dialog.file_name = QString::fromStdString(r.proposed_name);
        const suite::FileAnswer a = save ? suite::dialog_seam().save_file(parent, dialog)
                                         : suite::dialog_seam().open_file(parent, dialog);
        if (!a.accepted) return std::nullopt;
        return a.file_name.toStdString();
    };
}

}  // namespace

TForm10::TForm10(Program& program, QWidget* parent)
    : QWidget(parent, Qt::Window), program_(program), set_(std::make_unique<analysis::PoleZeroSet>()) {
    setObjectName("Form10");
    setWindowTitle("Sensibilidades de pólos e zeros");
    resize(696, 480);
    Label1 = new QLabel("Elemento observador para pólos: ", this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(8, 8, panel_width - 16, 20);
    Eobs = new QLineEdit("0", this);
    Eobs->setObjectName("Eobs");
    Eobs->setReadOnly(true);  // only "<" and ">" change the observer
    Eobs->setGeometry(8, 32, 80, 26);
    Button2 = button(this, "Button2", "<", QRect(96, 32, 40, 26));
    Button3 = button(this, "Button3", ">", QRect(140, 32, 40, 26));
    CBauto = new QCheckBox("Observador automático", this);
    CBauto->setObjectName("CBauto");
    CBauto->setGeometry(8, 62, panel_width - 16, 22);
    RGspz = new QGroupBox("Sensibilidades de:", this);
    RGspz->setObjectName("RGspz");
    RGspz->setGeometry(8, 90, panel_width - 16, 76);
    RGspzPolos = new QRadioButton("Pólos", RGspz);
    RGspzPolos->setGeometry(10, 22, 180, 22);
    RGspzZeros = new QRadioButton("Zeros", RGspz);
    RGspzZeros->setGeometry(10, 46, 180, 22);
    RGspzPolos->setChecked(true);
    Button1 = button(this, "Button1", "Ler pólos ou zeros e calcular", QRect(8, 176, panel_width - 16, 28));
    Button4 = button(this, "Button4", "Salvar desvios calculados", QRect(8, 210, panel_width - 16, 28));
    Button5 = button(this, "Button5", "Plotar desvios calculados", QRect(8, 244, panel_width - 16, 28));
    Button6 = button(this, "Button6", "Calcular pólos e zeros", QRect(8, 278, panel_width - 16, 28));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFont(analysis::plot_font());

    OpenDialog1.filter = "pólos|*.r|zeros|*.z*|todos|*.*";
    SaveDialog1.filter = "Tabela de sens. de pólos|*.tsp|Tabelas de sens. de zeros|*.tsz|Todos|*.*";

    connect(Button1, &QPushButton::clicked, this, &TForm10::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm10::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm10::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm10::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm10::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm10::Button6Click);
    connect(RGspzPolos, &QRadioButton::clicked, this, &TForm10::RGspzClick);
    connect(RGspzZeros, &QRadioButton::clicked, this, &TForm10::RGspzClick);
    connect(CBauto, &QCheckBox::clicked, this, &TForm10::CBautoClick);
}

TForm10::~TForm10() = default;

int TForm10::RGspzItemIndex() const { return RGspzZeros->isChecked() ? 1 : 0; }

void TForm10::setRGspzItemIndex(int index) { (index == 1 ? RGspzZeros : RGspzPolos)->setChecked(true); }

void TForm10::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Memo1->setGeometry(panel_width, 0, width() - panel_width, height());
}

void TForm10::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormPaint();
}

void TForm10::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    FormPaint();
}

void TForm10::memo(const std::string& line) { Memo1->appendPlainText(QString::fromStdString(line)); }

analysis::PoleZeroContext TForm10::context() {
    return {program_.circuit,           program_.engine,    program_.sweep, program_.settings, *set_,
            program_.netlist_base_name, CBauto->isChecked()};
}

void TForm10::FormPaint() {
    if (CBauto->isChecked()) {
        if (Eobs->text() != "auto") Eobs->setText("auto");
        return;
    }
    const analysis::Circuit& c = program_.circuit;
    const int k = program_.engine.observer_element;
    if (k < 1 || k > c.element_count) return;
    const QString name = QString::fromStdString(c.elements[k].name);
    if (Eobs->text() != name) Eobs->setText(name);
}

// Choosing an observer by hand leaves the automatic one.
void TForm10::Button2Click() {
    CBauto->setChecked(false);
    program_.engine.observer_element =
        analysis::previous_observer(program_.circuit, program_.engine.observer_element);
    FormPaint();
}

void TForm10::Button3Click() {
    CBauto->setChecked(false);
    program_.engine.observer_element =
        analysis::next_observer(program_.circuit, program_.engine.observer_element);
    FormPaint();
}

void TForm10::CBautoClick() { FormPaint(); }

void TForm10::Button1Click() {
    Memo1->clear();
    analysis::PoleZeroContext x = context();
    program_.handle(this, [&] {
        analysis::run_pole_zero(x, RGspzItemIndex() == 0, chooser(this, OpenDialog1, false),
                                [this](const std::string& l) { memo(l); });
    });
}

void TForm10::Button4Click() {
    analysis::PoleZeroContext x = context();
    const analysis::Log to_memo = [this](const std::string& l) { memo(l); };
    program_.handle(this, [&] {
        if (!program_.sweep.pz_valid) Memo1->clear();  // a fresh run lists from the top
        analysis::save_pole_zero_deviations(x, RGspzItemIndex() == 0, chooser(this, OpenDialog1, false),
                                            chooser(this, SaveDialog1, true), to_memo);
    });
}

void TForm10::Button5Click() {
    if (!program_.sweep.pz_valid) Button1Click();
    if (!program_.sweep.pz_valid || !Form11 || program_.failed) return;
    Form11->PaintBox1->invalidate();
    Form11->show();
    Form11->raise();
    Form11->activateWindow();
}

void TForm10::Button6Click() {
    // The file may hold poles or zeros from elsewhere: replacing it is the
    // user's decision.
    const bool poles = RGspzItemIndex() == 0;
    const std::string file = program_.netlist_base_name +
                             analysis::default_pole_zero_extension(poles, program_.circuit.output_node);
    std::error_code ignored;
    if (std::filesystem::exists(file, ignored) &&
        suite::dialog_seam().ask(this, "Confirmar",
                                 "O arquivo " + QString::fromStdString(file) + " já existe. Substituir?") !=
            suite::Answer::yes)
        return;
    Memo1->clear();
    CBauto->setChecked(true);  // the poles found are computed each with an observer that sees it
    analysis::PoleZeroContext x = context();
    program_.handle(this, [&] {
        analysis::find_and_compute_poles_zeros(x, poles, [this](const std::string& l) { memo(l); });
    });
    FormPaint();
}

void TForm10::RGspzClick() { program_.sweep.pz_valid = false; }

}  // namespace moratw
