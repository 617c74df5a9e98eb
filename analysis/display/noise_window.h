// "Ruído": the output noise of the circuit analysed. "Calcular ruído"
// turns the noise on with the window's temperature and op-amp densities,
// sweeps again through the response window (whose noise curve then has
// values) and shows in the memo the lines that morat logs for
// --opamp-noise, --temperature, --noise-band and --swing; "Salvar tabela
// de ruído" saves the noise table. A new netlist or a new analysis clears
// the memo (clear()); the noise stays in the sweep until the next netlist.
#pragma once

#include <QStringList>
#include <QWidget>
#include <optional>

#include "analysis/shell/noise_report.h"
#include "common/dialogseam.h"
#include "common/tnedit.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace moratw {

struct Program;

class TForm14 : public QWidget {
    Q_OBJECT
public:
    explicit TForm14(Program& program, QWidget* parent = nullptr);

    suite::TNEdit* NEtemperatura = nullptr;  // °C
    suite::TNEdit* NEexcursao = nullptr;     // peak swing, V
    suite::TNEdit* NEen = nullptr;           // every op-amp's, V/√Hz
    suite::TNEdit* NEin = nullptr;           // every op-amp's, A/√Hz
    QLabel* Lf1 = nullptr;                   // captions with the sweep's unit
    QLabel* Lf2 = nullptr;
    suite::TNEdit* NEf1 = nullptr;  // the band, in the sweep's unit
    suite::TNEdit* NEf2 = nullptr;
    QCheckBox* CBbanda = nullptr;    // the band is the sweep's
    QCheckBox* CBgrafico = nullptr;  // the noise curve on the response plot
    QPushButton* Button1 = nullptr;  // "Calcular ruído"
    QPushButton* Button2 = nullptr;  // "Salvar tabela de ruído"
    QPlainTextEdit* Memo1 = nullptr;
    suite::FileRequest SaveDialog1;

    // Whether the memo shows a noise computed for the present sweep.
    bool computed() const { return computed_; }
    // A new netlist or analysis: the memo emptied, the band fields the sweep's.
    void clear();

    void Button1Click();
    void Button2Click();
    void CBbandaClick();
    void CBgraficoClick();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void show_line(const std::string& line);
    void clear_memo();
    // The sweep's band and unit in the band's fields and captions.
    void show_sweep_band();
    // The fields as noise settings, swing and band; false (told) when one
    // is out of its range.
    bool read_fields(analysis::NoiseSettings& n, analysis::Real& swing,
                     std::optional<analysis::NoiseBand>& band);

    Program& program_;
    bool computed_ = false;
    QStringList memo_lines_;
};

}  // namespace moratw
