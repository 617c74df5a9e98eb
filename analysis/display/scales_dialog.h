// "Escalas": the sweep and display settings of the response window.
//
// Fill loads the dialog from the current state and shows it; "Aplicar"
// writes the state back, starts the sweep again only when the number of
// segments, the scale type, the unit or the frequency limits changed, and
// repaints the response window.
#pragma once

#include <QGroupBox>
#include <QStringList>
#include <QWidget>
#include <array>

#include "analysis/engine/settings.h"
#include "common/tnedit.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace moratw {

struct Program;
class TForm4;

// A radio group: a framed set of items laid out in columns, one checked.
class TRadioGroup : public QGroupBox {
public:
    TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);
    int item_index() const;
    void set_item_index(int index);

private:
    QList<QRadioButton*> buttons_;
};

class TForm5 : public QWidget {
    Q_OBJECT
public:
    TForm5(Program& program, TForm4& plot, QWidget* parent = nullptr);

    TRadioGroup* RGescala = nullptr;
    TRadioGroup* RGunidade = nullptr;
    suite::TNEdit* NEsegmentos = nullptr;
    suite::TNEdit *NEfmin = nullptr, *NEfmax = nullptr;
    suite::TNEdit *NEmmin = nullptr, *NEmmax = nullptr;
    suite::TNEdit *NEfamin = nullptr, *NEfamax = nullptr;
    suite::TNEdit *NEtmin = nullptr, *NEtmax = nullptr;
    suite::TNEdit *NEdmmin = nullptr, *NEdmmax = nullptr;
    suite::TNEdit *NEdfamin = nullptr, *NEdfamax = nullptr;
    suite::TNEdit *NErmin = nullptr, *NErmax = nullptr;  // the noise, dBV/√Hz
    QCheckBox *CBmdl = nullptr, *CBfas = nullptr, *CBtg = nullptr, *CBdm = nullptr, *CBdf = nullptr;
    QCheckBox* CBru = nullptr;  // the noise curve, drawn while the sweep has noise
    QCheckBox *CBgrade = nullptr, *CBsuper = nullptr, *CBacima = nullptr;
    QPushButton* Button1 = nullptr;  // "Aplicar"
    QLabel* Lteclas = nullptr;       // the key summary

    void Fill();
    void Button1Click();

private:
    // Minimum and maximum fields of quantity 0..6, and the check box of curves 1..6.
    std::array<suite::TNEdit*, 7> min_fields() const;
    std::array<suite::TNEdit*, 7> max_fields() const;
    std::array<QCheckBox*, 7> curve_boxes() const;
    void build_rows();

    Program& program_;
    TForm4& plot_;
    // The values that decide whether "Aplicar" starts the sweep again.
    struct Remembered {
        int segments = 0;
        bool log_scale = true;
        bool hertz_units = false;
        analysis::Real fmin = 0, fmax = 0;
    } remembered_;
};

}  // namespace moratw
