// "Amp-ops do deck" and the deck's node names in "Nó de saída".
#include "analysis/shell/spice_import_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "analysis/shell/output_node_dialog.h"
#include "common/errors.h"

namespace moratw {

namespace spice = analysis::spice;

TFormAmpOps::TFormAmpOps(const std::vector<spice::OpAmpCandidate>& candidates, QWidget* parent)
    : QDialog(parent) {
    setObjectName("FormAmpOps");
    setWindowTitle("Amp-ops do deck");
    const int height = 120 + 32 * static_cast<int>(candidates.size());
    setFixedSize(560, height);
    auto* intro = new QLabel(
        "Subcircuitos com elementos não lineares, talvez amp-ops: trocá-los pelo amp-op A (GB, Ro)?", this);
    intro->setGeometry(8, 8, 544, 23);
    const char* heads[] = {"Subcircuito", "GB (Hz)", "Ro (ohms)", "Entrada +, entrada -, saída"};
    const int x[] = {8, 170, 270, 360};
    for (int k = 0; k < 4; ++k) (new QLabel(heads[k], this))->setGeometry(x[k], 36, k == 3 ? 190 : 95, 23);
    int y = 64;
    for (const spice::OpAmpCandidate& c : candidates) {
        Row r;
        r.subckt = c.subckt;
        r.use = new QCheckBox(QString::fromStdString(c.subckt), this);
        r.use->setObjectName(QString::fromStdString("CB" + c.subckt));
        r.use->setChecked(true);
        r.use->setGeometry(x[0], y, 155, 23);
        r.gb = new QLineEdit(this);
        r.gb->setObjectName(QString::fromStdString("EDgb" + c.subckt));
        r.gb->setGeometry(x[1], y, 90, 23);
        r.ro = new QLineEdit("50", this);
        r.ro->setObjectName(QString::fromStdString("EDro" + c.subckt));
        r.ro->setGeometry(x[2], y, 80, 23);
        std::string ports;
        for (const std::string& p : c.found) ports += (ports.empty() ? "" : ",") + p;
        std::string all;
        for (const std::string& p : c.ports) all += (all.empty() ? "" : " ") + p;
        r.ports = new QLineEdit(QString::fromStdString(ports), this);
        r.ports->setObjectName(QString::fromStdString("EDports" + c.subckt));
        r.ports->setToolTip(QString::fromStdString("Terminais: " + all));
        r.ports->setGeometry(x[3], y, 190, 23);
        rows.push_back(r);
        y += 32;
    }
    Message = new QLabel(this);
    Message->setObjectName("Message");
    Message->setGeometry(8, y, 544, 23);
    Button1 = new QPushButton("Traduzir", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(200, y + 28, 100, 27);
    Button2 = new QPushButton("Sem troca", this);
    Button2->setObjectName("Button2");
    Button2->setGeometry(310, y + 28, 100, 27);
    Button3 = new QPushButton("Cancelar", this);
    Button3->setObjectName("Button3");
    Button3->setGeometry(420, y + 28, 100, 27);
    connect(Button1, &QPushButton::clicked, this, &TFormAmpOps::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormAmpOps::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

// Each checked row read as --opamp reads "SUBCKT=GB,RO[,IN+,IN-,OUT]".
void TFormAmpOps::Button1Click() {
    std::vector<spice::OpAmpReplacement> out;
    for (const Row& r : rows) {
        if (!r.use->isChecked()) continue;
        std::string text = r.subckt + "=" + r.gb->text().trimmed().toStdString() + "," +
                           r.ro->text().trimmed().toStdString();
        const std::string ports = r.ports->text().remove(' ').toStdString();
        if (!ports.empty()) text += "," + ports;
        spice::OpAmpReplacement one;
        if (const std::string why = spice::parse_opamp_replacement(text, one); !why.empty()) {
            Message->setText(QString::fromStdString(r.subckt +
                                                    ": GB em Hz acima de 1, Ro em ohms acima de 0, "
                                                    "os terminais como ENTRADA+,ENTRADA-,SAÍDA"));
            return;
        }
        out.push_back(one);
    }
    chosen = out;
    accept();
}

void TFormAmpOps::Button2Click() {
    chosen.clear();
    accept();
}

AmpOpsRunner& amp_ops_runner() {
    static AmpOpsRunner runner = [](TFormAmpOps& d) { return d.exec(); };
    return runner;
}

bool choose_opamp_replacements(QWidget* parent, const std::string& deck_text, const std::string& deck_path,
                               std::vector<spice::OpAmpReplacement>& opamps) {
    opamps.clear();
    std::vector<spice::OpAmpCandidate> candidates;
    try {
        candidates = spice::opamp_candidates(deck_text, deck_path);
    } catch (const suite::IoError&) {
        return true;  // the translation tells what is wrong with the deck
    }
    if (candidates.empty()) return true;
    TFormAmpOps dialog(candidates, parent);
    if (amp_ops_runner()(dialog) != QDialog::Accepted) return false;
    opamps = dialog.chosen;
    return true;
}

bool choose_opamp_replacements(QWidget* parent, const std::string& deck_path,
                               std::vector<spice::OpAmpReplacement>& opamps) {
    opamps.clear();
    const std::optional<std::string> text = spice::load_text_file(deck_path);
    return !text || choose_opamp_replacements(parent, *text, deck_path, opamps);
}

DeckNodeField::DeckNodeField(TForm3& form) : QLineEdit(&form), form_(form) {
    setObjectName("EDnodeck");
    Label = new QLabel("Nó do deck", &form);
    Label->setObjectName("LBnodeck");
    Label->setGeometry(12, 130, 190, 23);
    setGeometry(210, 130, 78, 23);
    setToolTip("Nome do nó no deck SPICE");
    Message = new QLabel(&form);
    Message->setObjectName("LBnodeckmsg");
    Message->setGeometry(12, 156, 276, 23);
    connect(this, &QLineEdit::editingFinished, this, [this] { apply(); });
    set_nodes({});
}

void DeckNodeField::set_nodes(std::vector<std::string> node_names) {
    nodes_ = std::move(node_names);
    const bool shown = !nodes_.empty();
    clear();
    Message->clear();
    setVisible(shown);
    Label->setVisible(shown);
    Message->setVisible(shown);
    form_.setFixedSize(300, shown ? 190 : 135);
}

bool DeckNodeField::apply() {
    const std::string name = text().trimmed().toStdString();
    if (name.empty() || nodes_.empty()) return false;
    spice::SpiceTranslation t;
    t.node_names = nodes_;
    const int node = spice::find_spice_node(t, name);
    if (node < 0) {
        Message->setText(QString::fromStdString("O deck não tem o nó " + name + "."));
        return false;
    }
    form_.NEnsaida->set_panel_int(node);
    Message->setText(QString::fromStdString(name + ": nó " + std::to_string(node) + " do netlist."));
    return true;
}

DeckNodeField* deck_node_field(TForm3& form) {
    if (auto* field = form.findChild<DeckNodeField*>("EDnodeck")) return field;
    return new DeckNodeField(form);
}

}  // namespace moratw
