// "Morat": the main window of the analysis program. Its memo is the log;
// its two menus open netlists and reach every other window.
#pragma once

#include <QMainWindow>
#include <string>

#include "common/dialogseam.h"

class QAction;
class QMenu;
class QPlainTextEdit;

namespace analysis::design {
struct DesignOptions;
struct DesignOutcome;
}  // namespace analysis::design

namespace moratw {

struct Program;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class TForm12;
class TForm13;
class TForm14;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(Program& program, QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
    QMenu* Arquivo1 = nullptr;
    QMenu* Analise1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* ImportarSPICE1 = nullptr;
    QAction* Projetarfiltro1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* Grficosderespostaemfreqncia1 = nullptr;
    QAction* Escalasdosgrficos1 = nullptr;
    QAction* Normalizaopelainclinao1 = nullptr;
    QAction* Listarsensibilidades1 = nullptr;
    QAction* Faixadinmica1 = nullptr;
    QAction* Salvarrespostaemfreqncianorelatrio1 = nullptr;
    QAction* Sensibilidadesdeplosezeros1 = nullptr;
    QAction* Mudarndesada1 = nullptr;
    QAction* Variabilidadedosparmetros1 = nullptr;
    QAction* Tolernciaseparmetros1 = nullptr;
    QAction* Projetodetolerncias1 = nullptr;
    QAction* Rudo1 = nullptr;
    suite::FileRequest OpenDialog1;
    suite::FileRequest OpenDialog2;  // SPICE decks
    suite::FileRequest SaveDialog1;
    suite::FileRequest SaveDialog2;  // the translation of a deck under another name

    // The other windows, set by the start-up.
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    TForm4* Form4 = nullptr;
    TForm5* Form5 = nullptr;
    TForm6* Form6 = nullptr;
    TForm7* Form7 = nullptr;
    TForm8* Form8 = nullptr;
    TForm9* Form9 = nullptr;
    QWidget* Form10 = nullptr;
    QWidget* Form11 = nullptr;
    // "Projeto de tolerâncias", made the first time it is asked for (a
    // window of this one's, closed with it).
    TForm12* Form12 = nullptr;
    // "Projetar filtro", made the first time it is asked for.
    TForm13* Form13 = nullptr;
    // "Ruído", made the first time it is asked for (a window of this one's).
    TForm14* Form14 = nullptr;

    // Appends one line to the log.
    void log(const std::string& line);
    // The window side of the fatal-error routine.
    void fatal_error(const std::string& message);
    // An analysis has started ("Analisar"): the menu, then the response.
    void analysis_started();
    // A netlist has been read: until the first analysis starts, "Análise"
    // offers "Mudar nó de saída" alone, to bring back a closed "Nó de saída".
    void netlist_read();

    void Open1Click();
    void ImportarSPICE1Click();
    void Projetarfiltro1Click();
    void Exit1Click();
    void Grficosderespostaemfreqncia1Click();
    void Escalasdosgrficos1Click();
    void Normalizaopelainclinao1Click();
    void Listarsensibilidades1Click();
    void Faixadinmica1Click();
    void Salvarrespostaemfreqncianorelatrio1Click();
    void Sensibilidadesdeplosezeros1Click();
    void Mudarndesada1Click();
    void Variabilidadedosparmetros1Click();
    void Tolernciaseparmetros1Click();
    void Projetodetolerncias1Click();
    void Rudo1Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* item(QMenu* menu, const char* name, const QString& caption, void (TForm1::*handler)());
    // What "Abrir" does with the chosen netlist (inside a handler); true
    // when it was read. A mask read for another netlist is kept only when
    // the user says so (asked when `ask_about_mask`).
    bool open_netlist_named(const std::string& name, bool ask_about_mask = true);
    void keep_mask_for(const std::string& name, bool ask);
    // The netlist "Importar SPICE" writes for a deck whose netlist would be `beside`.
    std::string translation_file(const std::string& beside);
    // "Projetar" of Form13: the design run, then its netlist opened and analysed.
    void design_filter();
    void open_design(const analysis::design::DesignOutcome& d, const analysis::design::DesignOptions& o);
    Program& program_;
    bool analysed_ = false;  // an analysis has started: the whole menu works
};

}  // namespace moratw
