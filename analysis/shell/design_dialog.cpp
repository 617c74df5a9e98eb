#include "analysis/shell/design_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "analysis/tolerance/mask.h"
#include "common/textfile.h"

namespace moratw {
namespace {

using namespace analysis::design;
using analysis::Real;

QString qs(const std::string& s) { return QString::fromStdString(s); }

suite::TNEdit* number_field(QWidget* parent, const char* name, suite::tipo_campo type, Real value) {
    auto* f = new suite::TNEdit(parent);
    f->setObjectName(name);
    f->set_field_type(type);
    if (type == suite::int_field)
        f->set_panel_int(static_cast<std::int32_t>(value));
    else
        f->set_panel_real(value);
    f->setFixedWidth(96);
    return f;
}

QComboBox* choice(QWidget* parent, const char* name, const QStringList& items, int chosen) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems(items);
    c->setCurrentIndex(chosen);
    return c;
}

QCheckBox* check(QWidget* parent, const char* name, const QString& caption, bool checked) {
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    c->setChecked(checked);
    return c;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

// A row of controls in one cell of a grid.
QWidget* row(QWidget* parent, std::initializer_list<QWidget*> controls) {
    auto* w = new QWidget(parent);
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    for (QWidget* c : controls) h->addWidget(c);
    h->addStretch();
    return w;
}

// A file name without its extension (a "." in a folder's name does not count).
std::string without_extension(const std::string& file) {
    const std::size_t slash = file.rfind('/');
    const std::size_t dot = file.rfind('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash) ? file.substr(0, dot)
                                                                                   : file;
}

bool two_edges(FilterType t) { return t == FilterType::bandpass || t == FilterType::bandstop; }

// Why the requirement cannot be designed, or the empty string.
std::string requirement_refusal(const RequirementOptions& r) {
    for (Real f : r.pass)
        if (!(f > 0)) return "As bordas das bandas devem ser positivas.";
    for (Real f : r.stop)
        if (!(f > 0)) return "As bordas das bandas devem ser positivas.";
    if (!(r.ripple_db > 0)) return "A ondulação deve ser positiva.";
    if (!(r.attenuation_db > r.ripple_db)) return "A atenuação deve ser maior que a ondulação.";
    const auto& p = r.pass;
    const auto& s = r.stop;
    switch (r.type) {
        case FilterType::lowpass:
            if (!(s[0] > p[0])) return "Um passa-baixas precisa da borda de rejeição acima da de passagem.";
            break;
        case FilterType::highpass:
            if (!(s[0] < p[0])) return "Um passa-altas precisa da borda de rejeição abaixo da de passagem.";
            break;
        case FilterType::bandpass:
            if (!(s[0] < p[0] && p[0] < p[1] && p[1] < s[1]))
                return "Um passa-faixa precisa de rejeição 1 < passagem 1 < passagem 2 < rejeição 2.";
            break;
        case FilterType::bandstop:
            if (!(p[0] < s[0] && s[0] < s[1] && s[1] < p[1]))
                return "Um rejeita-faixa precisa de passagem 1 < rejeição 1 < rejeição 2 < passagem 2.";
            break;
    }
    return {};
}

// The type of filter a mask file states; low-pass when it states none.
FilterType mask_type(const std::string& file) {
    if (!suite::file_exists(file)) return FilterType::lowpass;
    const RequirementReading r = requirement_from_mask(analysis::read_mask_file(file).mask);
    return r.refusals.empty() ? r.requirement.type : FilterType::lowpass;
}

}  // namespace

TForm13::TForm13(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Form13");
    setWindowTitle("Projetar filtro");
    auto* page = new QVBoxLayout(this);

    // The requirement.
    auto* requirement = new QGroupBox("Requisito", this);
    auto* g = new QGridLayout(requirement);
    RBmascara = new QRadioButton("Máscara", requirement);
    RBmascara->setObjectName("RBmascara");
    RBmascara->setChecked(true);
    Emascara = new QLineEdit(requirement);
    Emascara->setObjectName("Emascara");
    Emascara->setMinimumWidth(280);
    Button2 = button(requirement, "Button2", "Procurar...");
    g->addWidget(RBmascara, 0, 0);
    g->addWidget(Emascara, 0, 1, 1, 2);
    g->addWidget(Button2, 0, 3);
    RBrequisito = new QRadioButton("Sem máscara:", requirement);
    RBrequisito->setObjectName("RBrequisito");
    g->addWidget(RBrequisito, 1, 0, 1, 4);
    CBtipo =
        choice(requirement, "CBtipo", {"passa-baixas", "passa-altas", "passa-faixa", "rejeita-faixa"}, 0);
    NEpassagem1 = number_field(requirement, "NEpassagem1", suite::real_field, 1000);
    NEpassagem2 = number_field(requirement, "NEpassagem2", suite::real_field, 0);
    NErejeicao1 = number_field(requirement, "NErejeicao1", suite::real_field, 2500);
    NErejeicao2 = number_field(requirement, "NErejeicao2", suite::real_field, 0);
    NEondulacao = number_field(requirement, "NEondulacao", suite::real_field, 1);
    NEatenuacao = number_field(requirement, "NEatenuacao", suite::real_field, 40);
    NEganho = number_field(requirement, "NEganho", suite::real_field, 0);
    const std::pair<const char*, QWidget*> lines[] = {
        {"Tipo", CBtipo},
        {"Bordas da banda de passagem (Hz)", row(requirement, {NEpassagem1, NEpassagem2})},
        {"Bordas da banda de rejeição (Hz)", row(requirement, {NErejeicao1, NErejeicao2})},
        {"Ondulação na banda de passagem (dB)", NEondulacao},
        {"Atenuação na banda de rejeição (dB)", NEatenuacao},
        {"Ganho (dB)", NEganho}};
    int at = 2;
    for (const auto& [caption, control] : lines) {
        auto* l = new QLabel(caption, requirement);
        l->setBuddy(control);
        g->addWidget(l, at, 0, 1, 2);
        g->addWidget(control, at++, 2, 1, 2, Qt::AlignLeft);
    }
    g->setColumnMinimumWidth(0, 24);
    page->addWidget(requirement);

    // The files.
    auto* files = new QGroupBox("Arquivos do projeto (.net, .cir, .val, .pec e, sem máscara, .msk)", this);
    auto* f = new QHBoxLayout(files);
    Earquivos = new QLineEdit(files);
    Earquivos->setObjectName("Earquivos");
    Earquivos->setToolTip("Nome dos arquivos, sem a extensão");
    Button3 = button(files, "Button3", "Procurar...");
    f->addWidget(Earquivos, 1);
    f->addWidget(Button3);
    page->addWidget(files);

    // The options.
    auto* options = new QGroupBox("Opções", this);
    auto* o = new QGridLayout(options);
    CBaproximacao =
        choice(options, "CBaproximacao",
               {"automática", "Butterworth", "Chebyshev", "Chebyshev inversa", "elíptica", "Bessel"}, 0);
    NEordem = number_field(options, "NEordem", suite::int_field, 4);
    CBordem = check(options, "CBordem", "automática", true);
    CBtopologia = choice(options, "CBtopologia", {"automática", "sallen-key", "mfb", "biquad"}, 0);
    CBresistores = choice(options, "CBresistores", {"E12", "E24", "E48", "E96"}, 3);
    CBcapacitores = choice(options, "CBcapacitores", {"E6", "E12"}, 1);
    NEimpedancia = number_field(options, "NEimpedancia", suite::real_field, 10e3);
    CBideal = check(options, "CBideal", "ideais", true);
    NEgb = number_field(options, "NEgb", suite::real_field, 6.2832e6L);  // 1 MHz
    NEro = number_field(options, "NEro", suite::real_field, 75);
    NEmargem = number_field(options, "NEmargem", suite::real_field, 0.1L);
    CBmargem = check(options, "CBmargem", "automática (um décimo da ondulação)", true);
    NEtolr = number_field(options, "NEtolr", suite::real_field, 1);
    CBtolr = check(options, "CBtolr", "a da série", true);
    NEtolc = number_field(options, "NEtolc", suite::real_field, 5);
    auto* gb = new QLabel("GB (rad/s)", options);
    gb->setBuddy(NEgb);
    auto* ro = new QLabel("Ro (ohms)", options);
    ro->setBuddy(NEro);
    const std::pair<const char*, QWidget*> choices[] = {
        {"Aproximação", CBaproximacao},
        {"Ordem", row(options, {NEordem, CBordem})},
        {"Topologia", CBtopologia},
        {"Série dos resistores", CBresistores},
        {"Série dos capacitores", CBcapacitores},
        {"Impedância (ohms)", NEimpedancia},
        {"Amplificadores operacionais", row(options, {CBideal, gb, NEgb, ro, NEro})},
        {"Margem (dB)", row(options, {NEmargem, CBmargem})},
        {"Tolerância dos resistores (%)", row(options, {NEtolr, CBtolr})},
        {"Tolerância dos capacitores (%)", NEtolc}};
    at = 0;
    for (const auto& [caption, control] : choices) {
        auto* l = new QLabel(caption, options);
        l->setBuddy(control);
        o->addWidget(l, at, 0);
        o->addWidget(control, at++, 1, Qt::AlignLeft);
    }
    page->addWidget(options);

    Button1 = button(this, "Button1", "Projetar");
    Button4 = button(this, "Button4", "Fechar");
    page->addWidget(row(this, {Button1, Button4}));
    page->addStretch();

    OpenDialog1 = {"Máscara do filtro", "Máscaras|*.msk|Todos|*.*", 1, "msk", "", true};
    SaveDialog1 = {"Arquivos do projeto", "Netlists|*.net|Todos|*.*", 1, "net", "", false};
    connect(Button1, &QPushButton::clicked, this, &TForm13::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm13::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm13::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm13::Button4Click);
    for (QAbstractButton* b :
         {static_cast<QAbstractButton*>(RBmascara), static_cast<QAbstractButton*>(RBrequisito),
          static_cast<QAbstractButton*>(CBordem), static_cast<QAbstractButton*>(CBideal),
          static_cast<QAbstractButton*>(CBmargem), static_cast<QAbstractButton*>(CBtolr)})
        connect(b, &QAbstractButton::toggled, this, &TForm13::follow_choices);
    for (QComboBox* c : {CBtipo, CBresistores})
        connect(c, &QComboBox::currentIndexChanged, this, &TForm13::follow_choices);
    // The stem follows the mask until one is typed or chosen. Without a
    // mask the design writes STEM.msk: the stem proposed beside the mask
    // would replace that mask.
    connect(Emascara, &QLineEdit::textChanged, this, [this] {
        if (stem_follows_mask_ && RBmascara->isChecked())
            Earquivos->setText(qs(without_extension(Emascara->text().trimmed().toStdString())));
    });
    connect(Earquivos, &QLineEdit::textEdited, this, [this] { stem_follows_mask_ = false; });
    connect(RBmascara, &QRadioButton::toggled, this, [this](bool on) {
        if (!on) return;
        stem_follows_mask_ = true;
        Earquivos->setText(qs(without_extension(Emascara->text().trimmed().toStdString())));
    });
    connect(RBrequisito, &QRadioButton::toggled, this, [this](bool on) {
        const std::string mask = Emascara->text().trimmed().toStdString();
        if (on && !mask.empty() && Earquivos->text().trimmed().toStdString() == without_extension(mask))
            Earquivos->clear();
    });
    suite::set_default_button(this, Button1);
    follow_choices();
    setFixedSize(sizeHint());
}

void TForm13::follow_choices() {
    const bool mask = RBmascara->isChecked();
    Emascara->setEnabled(mask);
    Button2->setEnabled(mask);
    const bool two = two_edges(static_cast<FilterType>(CBtipo->currentIndex()));
    for (QWidget* w : {static_cast<QWidget*>(CBtipo), static_cast<QWidget*>(NEpassagem1),
                       static_cast<QWidget*>(NErejeicao1), static_cast<QWidget*>(NEondulacao),
                       static_cast<QWidget*>(NEatenuacao), static_cast<QWidget*>(NEganho)})
        w->setEnabled(!mask);
    NEpassagem2->setEnabled(!mask && two);
    NErejeicao2->setEnabled(!mask && two);
    NEordem->setEnabled(!CBordem->isChecked());
    NEgb->setEnabled(!CBideal->isChecked());
    NEro->setEnabled(!CBideal->isChecked());
    NEmargem->setEnabled(!CBmargem->isChecked());
    NEtolr->setEnabled(!CBtolr->isChecked());
    // The series' own tolerance is shown while it is the one taken.
    if (CBtolr->isChecked())
        NEtolr->set_panel_real(100 * series_tolerance(static_cast<Series>(CBresistores->currentIndex() + 1)));
}

bool TForm13::request(DesignRequest& q, const analysis::Log& log) const {
    auto refuse = [&](const std::string& why) {
        log("* " + why);
        return false;
    };
    q = {};
    const std::string stem = Earquivos->text().trimmed().toStdString();
    FilterType type = FilterType::lowpass;
    if (RBmascara->isChecked()) {
        const std::string mask = Emascara->text().trimmed().toStdString();
        if (mask.empty()) return refuse("Escolha a máscara.");
        q.mask = mask;
        q.stem = stem.empty() ? without_extension(mask) : stem;
        type = mask_type(mask);
    } else {
        RequirementOptions r;
        r.type = static_cast<FilterType>(CBtipo->currentIndex());
        r.pass = {NEpassagem1->panel_real()};
        r.stop = {NErejeicao1->panel_real()};
        if (two_edges(r.type)) {
            r.pass.push_back(NEpassagem2->panel_real());
            r.stop.push_back(NErejeicao2->panel_real());
        }
        r.ripple_db = NEondulacao->panel_real();
        r.attenuation_db = NEatenuacao->panel_real();
        r.gain_db = NEganho->panel_real();
        if (const std::string why = requirement_refusal(r); !why.empty()) return refuse(why);
        if (stem.empty()) return refuse("Dê o nome dos arquivos do projeto.");
        q.requirement = r;
        q.stem = stem;
        type = r.type;
    }
    DesignOptions& o = q.options;
    if (CBaproximacao->currentIndex() > 0)
        o.approximation = static_cast<Approximation>(CBaproximacao->currentIndex() - 1);
    if (!CBordem->isChecked()) {
        // The filter's order; band-pass and band-stop filters double their prototype's.
        const int n = NEordem->panel_int();
        if (n < 1 || n > 2 * max_prototype_order) return refuse("A ordem vai de 1 a 40.");
        if (two_edges(type) && n % 2 != 0)
            return refuse("A ordem de um " + filter_type_name(type) + " é par: " + std::to_string(n) +
                          " não serve.");
        o.order = two_edges(type) ? n / 2 : n;
    }
    o.topology = static_cast<TopologyFamily>(CBtopologia->currentIndex());
    o.resistors = static_cast<Series>(CBresistores->currentIndex() + 1);
    o.capacitors = static_cast<Series>(CBcapacitores->currentIndex());
    o.impedance = NEimpedancia->panel_real();
    if (!(o.impedance >= 10 && o.impedance <= 10e6)) return refuse("A impedância vai de 10 a 10000000 ohms.");
    if (!CBideal->isChecked()) {
        o.opamp = {false, NEgb->panel_real(), NEro->panel_real()};
        if (!(o.opamp.gb > 0) || !(o.opamp.ro >= 0))
            return refuse("GB deve ser positivo e Ro, zero ou positivo.");
    }
    if (!CBmargem->isChecked()) {
        o.margin_db = NEmargem->panel_real();
        if (!(*o.margin_db >= 0)) return refuse("A margem deve ser zero ou positiva.");
    }
    const Real tolr = NEtolr->panel_real(), tolc = NEtolc->panel_real();
    if (!CBtolr->isChecked()) {
        if (!(tolr > 0 && tolr < 50)) return refuse("As tolerâncias ficam entre 0 e 50 %.");
        o.resistor_tolerance = tolr / 100;
    }
    if (!(tolc > 0 && tolc < 50)) return refuse("As tolerâncias ficam entre 0 e 50 %.");
    o.capacitor_tolerance = tolc / 100;
    return true;
}

void TForm13::Button1Click() {
    if (design_asked) design_asked();
}

// The mask chosen; the files proposed beside it under its name.
void TForm13::Button2Click() {
    OpenDialog1.file_name = Emascara->text();
    const suite::FileAnswer answer = suite::dialog_seam().open_file(this, OpenDialog1);
    if (!answer.accepted) return;
    stem_follows_mask_ = true;
    Emascara->setText(answer.file_name);
}

void TForm13::Button3Click() {
    std::string stem = Earquivos->text().trimmed().toStdString();
    if (stem.empty() && RBmascara->isChecked())
        stem = without_extension(Emascara->text().trimmed().toStdString());
    SaveDialog1.file_name = stem.empty() ? QString() : qs(stem + ".net");
    const suite::FileAnswer answer = suite::dialog_seam().save_file(this, SaveDialog1);
    if (!answer.accepted) return;
    std::string chosen = answer.file_name.toStdString();
    if (chosen.size() > 4 && chosen.ends_with(".net")) chosen.resize(chosen.size() - 4);
    Earquivos->setText(qs(chosen));
    stem_follows_mask_ = false;
}

void TForm13::Button4Click() { hide(); }

void TForm13::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace moratw
