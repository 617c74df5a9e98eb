// What "Importar SPICE" asks besides the deck: which op-amp macro-models
// of the deck become the gain-bandwidth op-amp (TFormAmpOps, "Amp-ops do
// deck"), and, once a deck is imported, the output node by the deck's
// name in "Nó de saída" (DeckNodeField).
//
//   std::vector<analysis::spice::OpAmpReplacement> opamps;
//   if (!choose_opamp_replacements(this, deck, opamps)) return;   // "Cancelar"
//   t = analysis::spice::translate_spice_file(deck, opamps);
//   deck_node_field(*Form3)->set_nodes(t.node_names);
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <functional>
#include <string>
#include <vector>

#include "analysis/spice/spice_translate.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace moratw {

class TForm3;

// One row per op-amp subcircuit of the deck: "Trocar" (checked), GB in Hz
// (SPICE numbers: "1meg"), Ro in ohms (50), and the ports IN+,IN-,OUT
// (filled when the port names tell them). "Traduzir" accepts when every
// checked row reads; "Sem troca" accepts with no replacement; "Cancelar"
// rejects.
class TFormAmpOps : public QDialog {
    Q_OBJECT
public:
    TFormAmpOps(const std::vector<analysis::spice::OpAmpCandidate>& candidates, QWidget* parent = nullptr);

    struct Row {
        std::string subckt;
        QCheckBox* use = nullptr;
        QLineEdit* gb = nullptr;
        QLineEdit* ro = nullptr;
        QLineEdit* ports = nullptr;
    };
    std::vector<Row> rows;
    QLabel* Message = nullptr;       // why "Traduzir" did not accept
    QPushButton* Button1 = nullptr;  // "Traduzir"
    QPushButton* Button2 = nullptr;  // "Sem troca"
    QPushButton* Button3 = nullptr;  // "Cancelar"

    // The replacements chosen, once accepted.
    std::vector<analysis::spice::OpAmpReplacement> chosen;

    void Button1Click();
    void Button2Click();
};

// How the dialog is run: exec() unless a test puts its own answer here.
using AmpOpsRunner = std::function<int(TFormAmpOps&)>;
AmpOpsRunner& amp_ops_runner();

// Asks for the replacements when the deck has op-amp subcircuits (none
// asked, and true, when it has none or cannot be read); false when the
// user cancels.
bool choose_opamp_replacements(QWidget* parent, const std::string& deck_text, const std::string& deck_path,
                               std::vector<analysis::spice::OpAmpReplacement>& opamps);
// The same for the deck file (none asked when it cannot be read: the
// translation tells why).
bool choose_opamp_replacements(QWidget* parent, const std::string& deck_path,
                               std::vector<analysis::spice::OpAmpReplacement>& opamps);

// "Nó do deck" in "Nó de saída": a deck node's name (any case,
// hierarchical as "x1.mid") sets "Nó de saída" to its netlist node, as
// morat --output NAME does; a name the deck does not have is told beside
// the field and changes nothing. Hidden until a deck is imported.
class DeckNodeField : public QLineEdit {
    Q_OBJECT
public:
    explicit DeckNodeField(TForm3& form);

    // The deck's node names ([k]: netlist node k), or none to hide the field.
    void set_nodes(std::vector<std::string> node_names);
    // The name typed, read into "Nó de saída"; false when the deck has no
    // such node.
    bool apply();

    QLabel* Label = nullptr;
    QLabel* Message = nullptr;

private:
    TForm3& form_;
    std::vector<std::string> nodes_;
};

// The form's field, made on first use.
DeckNodeField* deck_node_field(TForm3& form);

}  // namespace moratw
