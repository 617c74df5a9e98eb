// The settings dialogs of the analysis: normalisation of the sensitivities
// (TForm6), element variabilities (TForm8) and tolerances with the number
// format of the listings (TForm9). They read and write their controls and
// call the settings procedures of the engine.
#pragma once

#include <QWidget>

#include "common/tnedit.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace moratw {

struct Program;

// "Normalização das sensibilidades".
class TForm6 : public QWidget {
    Q_OBJECT
public:
    explicit TForm6(Program& program, QWidget* parent = nullptr);

    QCheckBox* CBnorm = nullptr;
    QPushButton* Button1 = nullptr;  // "Aplicar"

    // The menu command: the box from the current setting, then show.
    void Fill();
    void Button1Click();

private:
    Program& program_;
};

// "Variabilidades".
class TForm8 : public QWidget {
    Q_OBJECT
public:
    explicit TForm8(Program& program, QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;  // "<"
    QPushButton* Button2 = nullptr;  // ">"
    QLabel* Lnome = nullptr;
    suite::TNEdit* NEvar = nullptr;
    QPushButton* Button3 = nullptr;  // "Mudar todas"

    // Shows the current element, its variability and the list.
    void FormPaint();
    void Button1Click();
    void Button2Click();
    void Button3Click();

private:
    Program& program_;
};

// "Parâmetros".
class TForm9 : public QWidget {
    Q_OBJECT
public:
    explicit TForm9(Program& program, QWidget* parent = nullptr);

    suite::TNEdit* NEtolz = nullptr;
    suite::TNEdit* NEtoly = nullptr;
    suite::TNEdit* NEcm = nullptr;
    suite::TNEdit* NEdc = nullptr;
    QPushButton* Button1 = nullptr;  // "Aplicar"

    // Loads the four fields from the settings.
    void FormPaint();
    void Button1Click();

private:
    Program& program_;
};

}  // namespace moratw
