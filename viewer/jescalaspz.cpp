#include "viewer/jescalaspz.h"

#include <QGridLayout>

#include "common/dialogseam.h"

namespace kelmaw {

Tjescalaspz::Tjescalaspz(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Escalas"));
    setModal(true);
    Label1 = new QLabel(QStringLiteral("Mínima coordenada real"), this);
    Label2 = new QLabel(QStringLiteral("Mínima coordenada imaginária"), this);
    Label3 = new QLabel(QStringLiteral("Largura"), this);
    NEremin = new suite::TNEdit(this);
    NEimmin = new suite::TNEdit(this);
    NEdelta = new suite::TNEdit(this);
    NEremin->setObjectName("NEremin");
    NEimmin->setObjectName("NEimmin");
    NEdelta->setObjectName("NEdelta");
    for (suite::TNEdit* f : {NEremin, NEimmin, NEdelta}) {
        f->set_field_type(suite::real_field);
        // Room for a value in 15 digits with sign and exponent.
        f->setMinimumWidth(f->fontMetrics().horizontalAdvance(QStringLiteral("-0.000000000000000E-000")) +
                           12);
    }
    Button1 = new QPushButton(QStringLiteral("Aplicar"), this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(NEremin, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(NEimmin, 1, 1);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(NEdelta, 2, 1);
    grid->addWidget(Button1, 3, 1);
    connect(Button1, &QPushButton::clicked, this, &Tjescalaspz::Button1Click);
}

void Tjescalaspz::Button1Click() {
    // "Aplicar" pressed with Enter leaves the focus where it was: convert
    // every field here, so the values read are the ones shown.
    for (suite::TNEdit* f : {NEremin, NEimmin, NEdelta})
        if (!f->exit_field()) {
            f->setFocus();
            return;
        }
    if (!(NEdelta->panel_real() > 0)) {
        suite::dialog_seam().error_box(this, kWidthMessage);
        NEdelta->setFocus();
        return;
    }
    accept();
}

}  // namespace kelmaw
