// "Projeto de tolerâncias": a response mask read from a file, checked
// against the finished sweep (nominal response and linear worst case), the
// yield against it (first-order and Monte Carlo) with the elements that
// limit it, and the cheapest standard tolerances for a target yield. The
// memo shows the lines that morat logs for --mask, --yield and
// --target-yield; the response window draws the mask and, when asked, the
// worst-case band.
#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>

#include "analysis/tolerance/mask.h"
#include "analysis/tolerance/yield.h"
#include "common/dialogseam.h"
#include "common/tnedit.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace moratw {

struct Program;

class TForm12 : public QWidget {
    Q_OBJECT
public:
    explicit TForm12(Program& program, QWidget* parent = nullptr);
    ~TForm12() override;

    QPushButton* Button1 = nullptr;        // "Ler máscara"
    QLabel* Lmascara = nullptr;            // the mask's file name
    suite::TNEdit* NEamostras = nullptr;   // samples of the linear model
    suite::TNEdit* NEcircuitos = nullptr;  // Monte Carlo circuits
    suite::TNEdit* NEsemente = nullptr;    // seed of both
    suite::TNEdit* NEalvo = nullptr;       // target yield, %
    QCheckBox* CBmascara = nullptr;        // the mask on the plot
    QCheckBox* CBpiorcaso = nullptr;       // the worst-case band on the plot
    QPushButton* Button2 = nullptr;        // "Calcular rendimento"
    QPushButton* Button3 = nullptr;        // "Apertar tolerâncias"
    QPlainTextEdit* Memo1 = nullptr;
    suite::FileRequest OpenDialog1;

    // The mask read, if any.
    const std::optional<analysis::ResponseMask>& mask() const { return mask_; }

    // Reads a mask file as "Ler máscara" does, without its dialog: the
    // memo shows the reading and, when the sweep has finished, the check
    // of the response against it. False (told in the memo) when the file
    // is missing or refused; the mask read before then stays.
    bool load_mask(const std::string& file);

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void CBmascaraClick();
    void CBpiorcasoClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void show_line(const std::string& line);
    // The mask checked against the sweep into `model`: false (told) when
    // there is no mask or no finished sweep, or the mask covers no point.
    bool checked_mask(analysis::LinearModel& model);
    // The sampling fields; false (told) when one is out of its range.
    bool sampling(long long& samples, int& circuits, std::uint64_t& seed);
    void show_on_plot();

    Program& program_;
    std::optional<analysis::ResponseMask> mask_;
};

}  // namespace moratw
