// "Projetar filtro": the choices of a filter design. The requirement is a
// mask file or, without one, the type, the band edges, the ripple, the
// attenuation and the gain; then the stem of the files to write and the
// options of the design (approximation, order, topology, series,
// impedance, op-amps, margin, tolerances). "Projetar" hands the request
// to the main window, which runs the design and opens what it wrote.
#pragma once

#include <QWidget>
#include <functional>

#include "analysis/circuit/log.h"
#include "analysis/design/design_run.h"
#include "common/dialogseam.h"
#include "common/tnedit.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace moratw {

class TForm13 : public QWidget {
    Q_OBJECT
public:
    explicit TForm13(QWidget* parent = nullptr);

    // The requirement.
    QRadioButton* RBmascara = nullptr;  // from a mask file
    QLineEdit* Emascara = nullptr;
    QPushButton* Button2 = nullptr;        // "Procurar..." the mask
    QRadioButton* RBrequisito = nullptr;   // without a mask
    QComboBox* CBtipo = nullptr;           // passa-baixas, passa-altas, passa-faixa, rejeita-faixa
    suite::TNEdit* NEpassagem1 = nullptr;  // Hz; the second edge for passa-faixa and rejeita-faixa
    suite::TNEdit* NEpassagem2 = nullptr;
    suite::TNEdit* NErejeicao1 = nullptr;
    suite::TNEdit* NErejeicao2 = nullptr;
    suite::TNEdit* NEondulacao = nullptr;  // dB
    suite::TNEdit* NEatenuacao = nullptr;  // dB
    suite::TNEdit* NEganho = nullptr;      // dB
    // The files.
    QLineEdit* Earquivos = nullptr;  // the stem: STEM.net, .cir, .val, .pec (.msk)
    QPushButton* Button3 = nullptr;  // "Procurar..." the stem
    // The options.
    QComboBox* CBaproximacao = nullptr;  // automática, then the five
    QCheckBox* CBordem = nullptr;        // automática
    suite::TNEdit* NEordem = nullptr;    // the filter's order (even for passa-faixa, rejeita-faixa)
    QComboBox* CBtopologia = nullptr;    // automática, sallen-key, mfb, biquad
    QComboBox* CBresistores = nullptr;   // E12 ... E96
    QComboBox* CBcapacitores = nullptr;  // E6, E12
    suite::TNEdit* NEimpedancia = nullptr;
    QCheckBox* CBideal = nullptr;  // ideal op-amps, else GB and Ro
    suite::TNEdit* NEgb = nullptr;
    suite::TNEdit* NEro = nullptr;
    QCheckBox* CBmargem = nullptr;  // automática
    suite::TNEdit* NEmargem = nullptr;
    QCheckBox* CBtolr = nullptr;      // the resistors' tolerance from their series
    suite::TNEdit* NEtolr = nullptr;  // %
    suite::TNEdit* NEtolc = nullptr;  // %
    QPushButton* Button1 = nullptr;   // "Projetar"
    QPushButton* Button4 = nullptr;   // "Fechar"
    suite::FileRequest OpenDialog1;   // the mask
    suite::FileRequest SaveDialog1;   // the stem

    // "Projetar": the main window runs the design.
    std::function<void()> design_asked;

    // The request the fields state, or false with the reason logged.
    bool request(analysis::design::DesignRequest& q, const analysis::Log& log) const;

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Fields that the choices leave unused are disabled.
    void follow_choices();

    bool stem_follows_mask_ = true;  // no stem typed or chosen since the mask
};

}  // namespace moratw
