#include "analysis/display/scales_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "analysis/display/program.h"
#include "analysis/display/response_window.h"

namespace moratw {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(caption, parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 2, 8, 2);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        grid->addWidget(b, i / columns, i % columns);
        buttons_ << b;
    }
}

int TRadioGroup::item_index() const {
    for (int i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked()) return i;
    return -1;
}

void TRadioGroup::set_item_index(int index) {
    if (index >= 0 && index < buttons_.size()) buttons_[index]->setChecked(true);
}

namespace {

suite::TNEdit* number_field(QWidget* parent, const char* name, suite::tipo_campo type, int x, int y) {
    auto* f = new suite::TNEdit(parent);
    f->setObjectName(name);
    f->set_field_type(type);
    f->setGeometry(x, y, 105, 23);
    return f;
}

QCheckBox* check_box(QWidget* parent, const char* name, const QString& caption, int x, int y, int w = 90) {
    auto* b = new QCheckBox(caption, parent);
    b->setObjectName(name);
    b->setGeometry(x, y, w, 23);
    return b;
}

QLabel* label(QWidget* parent, const QString& text, int x, int y, int w) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, 23);
    return l;
}

}  // namespace

TForm5::TForm5(Program& program, TForm4& plot, QWidget* parent)
    : QWidget(parent, Qt::Window), program_(program), plot_(plot) {
    setObjectName("Form5");
    setWindowTitle("Escalas");
    setFixedSize(529, 350);
    RGescala = new TRadioGroup("Escala horizontal", {"linear", "log"}, 2, this);
    RGescala->setObjectName("RGescala");
    RGescala->setGeometry(8, 6, 170, 50);
    RGescala->set_item_index(1);
    RGunidade = new TRadioGroup("Frequências", {"Hz", "rad/s"}, 2, this);
    RGunidade->setObjectName("RGunidade");
    RGunidade->setGeometry(188, 6, 150, 50);
    RGunidade->set_item_index(1);
    label(this, "Segmentos no gráfico", 352, 8, 170);
    NEsegmentos = number_field(this, "NEsegmentos", suite::int_field, 352, 31);
    NEsegmentos->set_panel_int(400);
    build_rows();
    CBgrade = check_box(this, "CBgrade", "Grade (g)", 8, 262, 100);
    CBsuper = check_box(this, "CBsuper", "Superpor desvios (e)", 114, 262, 170);
    CBacima = check_box(this, "CBacima", "Listar valores no tôpo (b)", 290, 262, 200);
    Button1 = new QPushButton("Aplicar", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(431, 290, 90, 27);
    connect(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
    suite::set_default_button(this, Button1);
    Lteclas = new QLabel(
        "Escalas:+-, setas v; Cursor: setas  h, PgUp, PgDn; Curva: q,Ins,Del; Sensibilidades: s", this);
    Lteclas->setObjectName("Lteclas");
    Lteclas->setGeometry(8, 322, 513, 23);
}

// The seven rows of limits: a caption, the minimum, the maximum, and the
// curve's "plotar" box (the frequency row has its keys instead).
void TForm5::build_rows() {
    label(this, "Mínimo", 180, 60, 100);
    label(this, "Máximo", 291, 60, 100);
    struct Row {
        const char* caption;
        const char *min, *max, *box, *box_caption;
    };
    const Row rows[] = {
        {"Frequência", "NEfmin", "NEfmax", nullptr, nullptr},
        {"Módulo (dB)", "NEmmin", "NEmmax", "CBmdl", "plotar"},
        {"Fase (graus)", "NEfamin", "NEfamax", "CBfas", "plotar (f)"},
        {"Atraso de grupo  (s)", "NEtmin", "NEtmax", "CBtg", "plotar (t)"},
        {"Desvio do módulo  (dB)", "NEdmmin", "NEdmmax", "CBdm", "plotar"},
        {"Desvio da fase (graus)", "NEdfamin", "NEdfamax", "CBdf", "plotar"},
        {"Ruído (dBV/√Hz)", "NErmin", "NErmax", "CBru", "plotar"},
    };
    suite::TNEdit** mins[] = {&NEfmin, &NEmmin, &NEfamin, &NEtmin, &NEdmmin, &NEdfamin, &NErmin};
    suite::TNEdit** maxs[] = {&NEfmax, &NEmmax, &NEfamax, &NEtmax, &NEdmmax, &NEdfamax, &NErmax};
    QCheckBox** boxes[] = {nullptr, &CBmdl, &CBfas, &CBtg, &CBdm, &CBdf, &CBru};
    for (int i = 0; i < 7; ++i) {
        const int y = 84 + 25 * i;
        label(this, rows[i].caption, 8, y, 168);
        *mins[i] = number_field(this, rows[i].min, suite::real_field, 180, y);
        *maxs[i] = number_field(this, rows[i].max, suite::real_field, 291, y);
        if (boxes[i])
            *boxes[i] = check_box(this, rows[i].box, rows[i].box_caption, 404, y, 110);
        else
            label(this, "(ar<>)", 404, y, 110);
    }
}

std::array<suite::TNEdit*, 7> TForm5::min_fields() const {
    return {NEfmin, NEmmin, NEfamin, NEtmin, NEdmmin, NEdfamin, NErmin};
}

std::array<suite::TNEdit*, 7> TForm5::max_fields() const {
    return {NEfmax, NEmmax, NEfamax, NEtmax, NEdmmax, NEdfamax, NErmax};
}

std::array<QCheckBox*, 7> TForm5::curve_boxes() const {
    return {nullptr, CBmdl, CBfas, CBtg, CBdm, CBdf, CBru};
}

void TForm5::Fill() {
    const auto& sw = program_.sweep;
    const auto& view = program_.view;
    remembered_ = {program_.circuit.segments, sw.log_scale, sw.hertz_units,
                   sw.scale_min[analysis::q_frequency], sw.scale_max[analysis::q_frequency]};
    NEsegmentos->set_panel_int(program_.circuit.segments);
    RGescala->set_item_index(sw.log_scale ? 1 : 0);
    RGunidade->set_item_index(sw.hertz_units ? 0 : 1);
    for (int k = 0; k <= analysis::q_noise; ++k) {
        min_fields()[k]->set_panel_real(sw.scale_min[k]);
        max_fields()[k]->set_panel_real(sw.scale_max[k]);
        if (k > 0) curve_boxes()[k]->setChecked(view.plot_curve[k]);
    }
    CBgrade->setChecked(view.show_grid);
    CBsuper->setChecked(view.superpose_deviations);
    CBacima->setChecked(view.readout_on_top);
    show();
    raise();
    activateWindow();
}

void TForm5::Button1Click() {
    program_.handle(this, [&] {
        auto& c = program_.circuit;
        auto& sw = program_.sweep;
        auto& view = program_.view;
        sw.log_scale = RGescala->item_index() == 1;
        sw.hertz_units = RGunidade->item_index() == 0;
        c.segments = NEsegmentos->panel_int();
        for (int k = 0; k <= analysis::q_noise; ++k) {
            sw.scale_min[k] = min_fields()[k]->panel_real();
            sw.scale_max[k] = max_fields()[k]->panel_real();
        }
        view.show_grid = CBgrade->isChecked();
        view.superpose_deviations = CBsuper->isChecked();
        for (int k = 1; k <= analysis::q_noise; ++k) view.plot_curve[k] = curve_boxes()[k]->isChecked();
        view.readout_on_top = CBacima->isChecked();
        const bool axis_changed = c.segments != remembered_.segments ||
                                  sw.log_scale != remembered_.log_scale ||
                                  sw.hertz_units != remembered_.hertz_units ||
                                  sw.scale_min[0] != remembered_.fmin || sw.scale_max[0] != remembered_.fmax;
        // Without an analysis started for this circuit there is no sweep to
        // prepare: the output-node dialog does it.
        if (axis_changed && sw.prepared) {
            const int requested = c.segments;
            analysis::reset_sweep(c, program_.engine, sw, program_.log);
            if (c.segments != requested) NEsegmentos->set_panel_int(c.segments);
        }
        remembered_ = {c.segments, sw.log_scale, sw.hertz_units, sw.scale_min[0], sw.scale_max[0]};
        // The plot comes forward with the change, and takes the keys.
        plot_.show();
        plot_.raise();
        plot_.activateWindow();
        plot_.setFocus(Qt::ActiveWindowFocusReason);
        plot_.repaint_plot();
    });
}

}  // namespace moratw
