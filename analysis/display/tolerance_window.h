// "Projeto de tolerâncias": a response mask read from a file, checked
// against the finished sweep (nominal response and linear worst case), the
// yield against it (first-order and Monte Carlo) with the elements that
// limit it, and the cheapest standard tolerances for a target yield. The
// memo shows the lines that morat logs for --mask, --yield and
// --target-yield; the response window draws the mask and, when asked, the
// worst-case band.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "analysis/tolerance/mask.h"
#include "analysis/tolerance/yield.h"
#include "common/dialogseam.h"
#include "common/tnedit.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressDialog;
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
    // of the response against it. False (told in the memo, and in the
    // label: "Máscara recusada: NAME") when the file is missing or refused;
    // the mask read before then stays in use.
    bool load_mask(const std::string& file);

    // The progress dialog of the run going on ("Cancelar" stops it), else
    // nullptr. A run shows it once it has taken a moment.
    QProgressDialog* progress_dialog() const { return progress_; }
    // Whether the memo shows the results of the last run asked for: false
    // after a cancelled run, whose memo says so above the results of the
    // run before it.
    bool results_current() const { return results_current_; }

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
    // Runs a long computation under the progress dialog. When it is
    // cancelled: the memo shows `before` below the cancel line, marked as
    // the results of an earlier run, and the main log tells it.
    void run_with_progress(const QString& before, const std::function<void(const analysis::Progress&)>& run);

    Program& program_;
    std::optional<analysis::ResponseMask> mask_;
    QProgressDialog* progress_ = nullptr;
    bool results_current_ = true;
    QString earlier_;  // the results shown below a cancel line
};

}  // namespace moratw
