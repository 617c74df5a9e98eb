#include "analysis/shell/output_node_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "analysis/display/program.h"

namespace moratw {

TForm3::TForm3(Program& program, QWidget* parent) : QWidget(parent, Qt::Window), program_(program) {
    setObjectName("Form3");
    setWindowTitle("Nó de saída");
    setFixedSize(300, 135);
    auto* l1 = new QLabel("Nó de saída", this);
    l1->setGeometry(12, 14, 190, 23);
    NEnsaida = new suite::TNEdit(this);
    NEnsaida->setObjectName("NEnsaida");
    NEnsaida->set_field_type(suite::int_field);
    NEnsaida->set_panel_int(1);
    NEnsaida->setToolTip("Saída para análise de sensibilidades");
    NEnsaida->setGeometry(210, 14, 78, 23);
    auto* l2 = new QLabel("Nó da rede ajdunta a listar", this);
    l2->setGeometry(12, 48, 190, 23);
    NEasaida = new suite::TNEdit(this);
    NEasaida->setObjectName("NEasaida");
    NEasaida->set_field_type(suite::int_field);
    NEasaida->set_panel_int(1);
    NEasaida->setToolTip("Listada na janela de sensibilidades");
    NEasaida->setGeometry(210, 48, 78, 23);
    Button1 = new QPushButton("Analisar", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(110, 92, 80, 27);
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    suite::set_default_button(this, Button1);
}

void TForm3::Button1Click() {
    program_.handle(this, [&] {
        auto& p = program_;
        if (!analysis::start_analysis(p.circuit, p.engine, p.sweep, p.settings, NEnsaida->panel_int(),
                                      NEasaida->panel_int(), p.log))
            return;
        hide();
        if (analysis_started) analysis_started();
    });
}

}  // namespace moratw
