#include "analysis/shell/settings_dialogs.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "analysis/display/program.h"

namespace moratw {
namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption, QRect at) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(at);
    return b;
}

suite::TNEdit* number_field(QWidget* parent, const char* name, suite::tipo_campo type, QRect at) {
    auto* f = new suite::TNEdit(parent);
    f->setObjectName(name);
    f->set_field_type(type);
    f->setGeometry(at);
    return f;
}

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TForm6::TForm6(Program& program, QWidget* parent) : QWidget(parent, Qt::Window), program_(program) {
    setObjectName("Form6");
    setWindowTitle("Normalização das sensibilidades");
    setFixedSize(325, 105);
    CBnorm = new QCheckBox("Normalizar sensibilidades pela inclinação", this);
    CBnorm->setObjectName("CBnorm");
    CBnorm->setGeometry(12, 14, 300, 23);
    Button1 = button(this, "Button1", "Aplicar", {122, 62, 80, 27});
    connect(Button1, &QPushButton::clicked, this, &TForm6::Button1Click);
    suite::set_default_button(this, Button1);
}

void TForm6::Fill() {
    CBnorm->setChecked(program_.settings.normalise_by_slope);
    show();
    raise();
    activateWindow();
}

void TForm6::Button1Click() {
    program_.handle(this, [&] {
        const bool was = program_.settings.normalise_by_slope;
        analysis::apply_normalisation(program_.settings, program_.sweep, CBnorm->isChecked());
        hide();
        if (program_.settings.normalise_by_slope != was) program_.redraw_plot();
    });
}

TForm8::TForm8(Program& program, QWidget* parent) : QWidget(parent, Qt::Window), program_(program) {
    setObjectName("Form8");
    setWindowTitle("Variabilidades");
    setFixedSize(409, 480);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFont(QFont("DejaVu Sans Mono", 9));
    Memo1->setGeometry(0, 0, 250, 480);
    Button1 = button(this, "Button1", "<", {262, 14, 64, 27});
    Button2 = button(this, "Button2", ">", {334, 14, 64, 27});
    Lnome = new QLabel(this);
    Lnome->setObjectName("Lnome");
    Lnome->setGeometry(262, 54, 136, 23);
    NEvar = number_field(this, "NEvar", suite::real_field, {262, 82, 136, 23});
    Button3 = button(this, "Button3", "Mudar todas", {262, 120, 136, 27});
    connect(Button1, &QPushButton::clicked, this, &TForm8::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm8::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm8::Button3Click);
}

void TForm8::FormPaint() {
    program_.handle(this, [&] {
        const analysis::VariabilityView v =
            analysis::paint_variabilities(program_.circuit, program_.settings, program_.sweep);
        Lnome->setText(qs(v.name));
        NEvar->set_panel_real(v.variability);
        Memo1->clear();
        for (const std::string& line : v.lines) Memo1->appendPlainText(qs(line));
    });
}

// Each button stores a variability: the bands of the plot follow.
void TForm8::Button1Click() {
    analysis::variability_previous(program_.circuit, program_.settings, NEvar->panel_real());
    FormPaint();
    program_.redraw_plot();
}

void TForm8::Button2Click() {
    analysis::variability_next(program_.circuit, program_.settings, NEvar->panel_real());
    FormPaint();
    program_.redraw_plot();
}

void TForm8::Button3Click() {
    analysis::change_all_variabilities(program_.circuit, NEvar->panel_real());
    FormPaint();
    program_.redraw_plot();
}

TForm9::TForm9(Program& program, QWidget* parent) : QWidget(parent, Qt::Window), program_(program) {
    setObjectName("Form9");
    setWindowTitle("Parâmetros");
    setFixedSize(360, 184);
    const char* captions[] = {"Tolerância para admitâncias e frequências: ",
                              "Tolerância para impedâncias e tensões: ", "Campo numérico", "Decimais"};
    for (int i = 0; i < 4; ++i) (new QLabel(captions[i], this))->setGeometry(6, 12 + 32 * i, 270, 23);
    NEtolz = number_field(this, "NEtolz", suite::real_field, {278, 12, 76, 23});
    NEtoly = number_field(this, "NEtoly", suite::real_field, {278, 44, 76, 23});
    NEcm = number_field(this, "NEcm", suite::int_field, {278, 76, 76, 23});
    NEdc = number_field(this, "NEdc", suite::int_field, {278, 108, 76, 23});
    Button1 = button(this, "Button1", "Aplicar", {140, 146, 80, 27});
    connect(Button1, &QPushButton::clicked, this, &TForm9::Button1Click);
    suite::set_default_button(this, Button1);
}

void TForm9::FormPaint() {
    const analysis::ParameterFields f = analysis::load_parameters(program_.settings);
    NEtolz->set_panel_real(f.tol_admittance);
    NEtoly->set_panel_real(f.pivot_tolerance);
    NEcm->set_panel_int(f.number_width);
    NEdc->set_panel_int(f.number_decimals);
}

void TForm9::Button1Click() {
    program_.handle(this, [&] {
        analysis::apply_parameters(
            program_.settings, program_.sweep,
            {NEtolz->panel_real(), NEtoly->panel_real(), NEcm->panel_int(), NEdc->panel_int()});
        hide();
        program_.redraw_plot();  // the readout's number format
    });
}

}  // namespace moratw
