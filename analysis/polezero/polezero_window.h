// "Sensibilidades de pólos e zeros": reads a pole or zero file, lists how
// each pole or zero moves with the elements, and saves the deviation
// table. The computation is the core's run_pole_zero; the window reads its
// controls, answers the file dialogs through the dialog seam and shows the
// memo lines.
//
// The pole/zero set lives here (its sensitivities in the sweep's storage);
// the deviation plot window reads it through pole_zero_set().
#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "analysis/polezero/polezero_run.h"
#include "analysis/polezero/polezero_set.h"
#include "common/dialogseam.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace moratw {

struct Program;
class TForm11;

class TForm10 : public QWidget {
    Q_OBJECT
public:
    explicit TForm10(Program& program, QWidget* parent = nullptr);
    ~TForm10() override;

    QLabel* Label1 = nullptr;  // "Elemento observador para pólos: "
    QLineEdit* Eobs = nullptr;
    QPushButton* Button2 = nullptr;  // "<"
    QPushButton* Button3 = nullptr;  // ">"
    // "Observador automático": each pole gets an observer that sees it.
    QCheckBox* CBauto = nullptr;
    QPushButton* Button1 = nullptr;  // "Ler pólos ou zeros e calcular"
    QPushButton* Button4 = nullptr;  // "Salvar desvios calculados"
    QPushButton* Button5 = nullptr;  // "Plotar desvios calculados"
    QPushButton* Button6 = nullptr;  // "Calcular pólos e zeros"
    QGroupBox* RGspz = nullptr;      // "Sensibilidades de:" with "Pólos", "Zeros"
    QRadioButton* RGspzPolos = nullptr;
    QRadioButton* RGspzZeros = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    suite::FileRequest OpenDialog1;
    suite::FileRequest SaveDialog1;

    // 0 "Pólos", 1 "Zeros".
    int RGspzItemIndex() const;
    void setRGspzItemIndex(int index);

    void FormPaint();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    // Finds the poles (zeros at the output node), writes them beside the
    // netlist and runs the computation on that file.
    void Button6Click();
    void RGspzClick();
    void CBautoClick();

    analysis::PoleZeroSet& pole_zero_set() { return *set_; }
    // The deviation plot window that "Plotar desvios calculados" shows.
    TForm11* Form11 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void memo(const std::string& line);
    analysis::PoleZeroContext context();
    Program& program_;
    std::unique_ptr<analysis::PoleZeroSet> set_;
};

}  // namespace moratw
