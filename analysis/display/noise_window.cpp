#include "analysis/display/noise_window.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <cmath>

#include "analysis/display/program.h"
#include "common/numtext.h"

namespace moratw {
namespace {

using analysis::Real;

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The wait cursor while the sweep runs inside a handler.
struct Busy {
    Busy() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Busy() { QGuiApplication::restoreOverrideCursor(); }
};

constexpr int memo_top = 166;

}  // namespace

TForm14::TForm14(Program& program, QWidget* parent) : QWidget(parent, Qt::Window), program_(program) {
    setObjectName("Form14");
    setWindowTitle("Ruído");
    resize(700, 480);
    auto label = [this](const QString& caption, QRect at) {
        auto* l = new QLabel(caption, this);
        l->setGeometry(at);
        return l;
    };
    auto field = [this](const char* name, Real value, QRect at) {
        auto* f = new suite::TNEdit(this);
        f->setObjectName(name);
        f->set_field_type(suite::real_field);
        f->set_panel_real(value);
        f->setGeometry(at);
        return f;
    };
    auto check_box = [this](const char* name, const QString& caption, QRect at) {
        auto* b = new QCheckBox(caption, this);
        b->setObjectName(name);
        b->setGeometry(at);
        b->setChecked(true);
        return b;
    };
    auto button = [this](const char* name, const QString& caption, QRect at) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setGeometry(at);
        return b;
    };
    label("Temperatura (°C)", {8, 10, 220, 20});
    NEtemperatura = field("NEtemperatura", 27, {230, 8, 110, 23});
    label("Excursão máxima (V de pico)", {356, 10, 220, 20});
    NEexcursao = field("NEexcursao", 10, {578, 8, 110, 23});
    label("en dos amp. op. (V/√Hz)", {8, 40, 220, 20});
    NEen = field("NEen", 0, {230, 38, 110, 23});
    label("in dos amp. op. (A/√Hz)", {356, 40, 220, 20});
    NEin = field("NEin", 0, {578, 38, 110, 23});
    Lf1 = label("", {8, 70, 220, 20});
    Lf1->setObjectName("Lf1");
    NEf1 = field("NEf1", 0, {230, 68, 110, 23});
    Lf2 = label("", {356, 70, 220, 20});
    Lf2->setObjectName("Lf2");
    NEf2 = field("NEf2", 0, {578, 68, 110, 23});
    CBbanda = check_box("CBbanda", "Banda da varredura", {8, 98, 330, 23});
    CBgrafico = check_box("CBgrafico", "Ruído no gráfico", {356, 98, 330, 23});
    Button1 = button("Button1", "Calcular ruído", {8, 130, 170, 27});
    Button2 = button("Button2", "Salvar tabela de ruído", {186, 130, 190, 27});
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);  // the dynamic range is one long line
    Memo1->setFont(QFont("DejaVu Sans Mono", 9));
    Memo1->setGeometry(0, memo_top, width(), height() - memo_top);
    SaveDialog1 = {"Salvar tabela de ruído", "Tabelas de ruído|*.rui|Todos|*.*", 1, "rui", "", false};
    suite::set_default_button(this, Button1);
    connect(Button1, &QPushButton::clicked, this, &TForm14::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm14::Button2Click);
    connect(CBbanda, &QCheckBox::clicked, this, &TForm14::CBbandaClick);
    connect(CBgrafico, &QCheckBox::clicked, this, &TForm14::CBgraficoClick);
    show_sweep_band();
}

void TForm14::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    show_sweep_band();
    // Once the noise is in the sweep the box follows the plot's choice (the
    // scales dialog and the plot's keys change it too).
    if (!program_.sweep.noise_sources.empty())
        CBgrafico->setChecked(program_.view.plot_curve[analysis::q_noise]);
}

void TForm14::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Memo1->setGeometry(0, memo_top, width(), std::max(height() - memo_top, 40));
}

// The memo's text is set whole: appended to an empty memo, a report's
// leading empty line would vanish.
void TForm14::show_line(const std::string& line) {
    memo_lines_ << qs(line);
    Memo1->setPlainText(memo_lines_.join('\n'));
}

void TForm14::clear_memo() {
    memo_lines_.clear();
    Memo1->clear();
}

void TForm14::show_sweep_band() {
    const auto& sw = program_.sweep;
    const std::string unit = analysis::frequency_unit_name(sw);
    Lf1->setText(qs("Banda: de (" + unit + ")"));
    Lf2->setText(qs("a (" + unit + ")"));
    const bool whole = CBbanda->isChecked();
    if (whole) {
        NEf1->set_panel_real(sw.scale_min[analysis::q_frequency]);
        NEf2->set_panel_real(sw.scale_max[analysis::q_frequency]);
    }
    NEf1->setEnabled(!whole);
    NEf2->setEnabled(!whole);
}

void TForm14::clear() {
    clear_memo();
    computed_ = false;
    show_sweep_band();
}

bool TForm14::read_fields(analysis::NoiseSettings& n, Real& swing, std::optional<analysis::NoiseBand>& band) {
    n = {};
    n.on = true;
    n.celsius = NEtemperatura->panel_real();
    n.opamps = {NEen->panel_real(), NEin->panel_real()};
    swing = NEexcursao->panel_real();
    if (!(n.celsius > -analysis::zero_celsius && n.celsius < 1e4L)) {
        show_line("* A temperatura deve estar acima de -273.15 °C e abaixo de 10000 °C.");
        return false;
    }
    if (!(n.opamps.en >= 0 && n.opamps.in >= 0 && std::isfinite(n.opamps.en) && std::isfinite(n.opamps.in))) {
        show_line("* en e in devem ser zero ou positivos.");
        return false;
    }
    if (!(swing > 0 && std::isfinite(swing))) {
        show_line("* A excursão máxima deve ser positiva.");
        return false;
    }
    band.reset();
    if (CBbanda->isChecked()) return true;
    const analysis::NoiseBand given{NEf1->panel_real(), NEf2->panel_real()};
    if (!(given.f1 > 0 && given.f2 > given.f1)) {
        show_line("* A banda deve ir de uma frequência positiva a uma maior.");
        return false;
    }
    const auto& sw = program_.sweep;
    const analysis::NoiseBand within = analysis::noise_band(sw, given);
    if (!(within.f2 > within.f1)) {
        show_line("* A banda está fora da varredura, de " +
                  suite::format_general(sw.scale_min[analysis::q_frequency]) + " a " +
                  suite::format_general(sw.scale_max[analysis::q_frequency]) + " " +
                  analysis::frequency_unit_name(sw) + ".");
        return false;
    }
    band = given;
    return true;
}

// "Calcular ruído": the noise turned on with the fields, the sweep run
// again (by the response window when it is open), then the report and the
// dynamic range.
void TForm14::Button1Click() {
    program_.handle(this, [&] {
        clear_memo();
        computed_ = false;
        auto& p = program_;
        show_sweep_band();
        if (!p.sweep.prepared) {
            show_line("* Analise um circuito primeiro.");
            return;
        }
        analysis::NoiseSettings n;
        Real swing = 0;
        std::optional<analysis::NoiseBand> band;
        if (!read_fields(n, swing, band)) return;
        p.settings.noise = n;
        analysis::prepare_noise(p.circuit, p.sweep, n);
        p.view.plot_curve[analysis::q_noise] = CBgrafico->isChecked();
        {
            const Busy busy;
            p.redraw_plot();
            // A closed response window draws when it is shown again; the
            // report needs the points now.
            const analysis::Log log = [this](const std::string& line) { show_line(line); };
            if (!p.sweep.response_valid && !p.failed)
                analysis::sweep(p.circuit, p.engine, p.sweep, p.settings, log);
        }
        if (p.failed || !p.sweep.response_valid) return;
        const analysis::NoiseSummary s =
            analysis::noise_summary(p.sweep, analysis::noise_band(p.sweep, band));
        for (const std::string& line : analysis::noise_report_lines(p.circuit, p.sweep, n, s))
            show_line(line);
        for (const std::string& line : analysis::noise_dynamic_range_lines(p.circuit, p.sweep, s, swing))
            show_line(line);
        computed_ = true;
    });
}

// "Salvar tabela de ruído": the table of the noise computed, named after
// the netlist unless another name is chosen.
void TForm14::Button2Click() {
    if (program_.failed) return;
    if (!computed_ || !program_.sweep.response_valid) {
        show_line("* Calcule o ruído primeiro.");
        return;
    }
    SaveDialog1.file_name = qs(program_.netlist_base_name.empty() ? "" : program_.netlist_base_name + ".rui");
    const suite::FileAnswer answer = suite::dialog_seam().save_file(this, SaveDialog1);
    if (!answer.accepted) return;
    program_.handle(this, [&] {
        const analysis::Log log = [this](const std::string& line) { show_line(line); };
        analysis::save_noise_table(answer.file_name.toStdString(), program_.circuit, program_.sweep,
                                   program_.settings, log);
    });
}

void TForm14::CBbandaClick() { show_sweep_band(); }

void TForm14::CBgraficoClick() {
    program_.view.plot_curve[analysis::q_noise] = CBgrafico->isChecked();
    program_.redraw_plot();
}

}  // namespace moratw
