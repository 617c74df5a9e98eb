#include "analysis/shell/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <cctype>
#include <numbers>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/design/design_run.h"
#include "analysis/display/noise_window.h"
#include "analysis/display/program.h"
#include "analysis/display/response_window.h"
#include "analysis/display/scales_dialog.h"
#include "analysis/display/sensitivity_window.h"
#include "analysis/display/tolerance_window.h"
#include "analysis/shell/design_dialog.h"
#include "analysis/shell/error_window.h"
#include "analysis/shell/output_node_dialog.h"
#include "analysis/shell/report_commands.h"
#include "analysis/shell/settings_dialogs.h"
#include "analysis/shell/spice_import_dialog.h"
#include "analysis/spice/spice_translate.h"
#include "common/errors.h"
#include "common/textfile.h"

namespace moratw {
namespace {

void show_window(QWidget* w) {
    if (!w) return;
    w->show();
    w->raise();
    w->activateWindow();
}

// The wait cursor while a design runs.
struct Busy {
    Busy() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Busy() { QGuiApplication::restoreOverrideCursor(); }
};

// The file of a design's set that is there and was not written by a
// design (run_design refuses to replace it), or the empty string.
std::string foreign_design_file(const analysis::design::DesignRequest& q) {
    namespace design = analysis::design;
    if (design::is_design_netlist(q.stem + ".net")) return {};
    for (const std::string& f : design::design_files(q.stem, !q.mask.has_value()))
        if (suite::file_exists(f)) return f;
    return {};
}

}  // namespace

TForm1::TForm1(Program& program, QWidget* parent) : QMainWindow(parent), program_(program) {
    setObjectName("Form1");
    setWindowTitle("Morat");
    resize(696, 480);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    // Long lines wrap at the window's edge instead of running off to the right.
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setReadOnly(true);  // the log: lines are selected and copied, not typed
    Memo1->setFont(QFont("DejaVu Sans Mono", 9));
    setCentralWidget(Memo1);

    // ".net" as the default extension lets the dialog accept a name typed
    // without one, which "Abrir" completes the same way.
    OpenDialog1 = {"Abrir", "Netlists|*.net|Todos|*.*", 1, "net", "", true};
    OpenDialog2 = {"Importar SPICE", "Decks SPICE|*.cir;*.sp;*.spi;*.ckt;*.net|Todos|*.*", 1, "", "", true};
    SaveDialog1 = {"Salvar", "Resposta em frequência|*.tab", 1, "", "", false};
    SaveDialog2 = {"Salvar tradução como", "Netlists|*.net|Todos|*.*", 1, "net", "", false};

    menuBar()->setObjectName("MainMenu1");
    Arquivo1 = menuBar()->addMenu("Arquivo");
    Arquivo1->setObjectName("Arquivo1");
    Open1 = item(Arquivo1, "Open1", "Abrir", &TForm1::Open1Click);
    ImportarSPICE1 = item(Arquivo1, "ImportarSPICE1", "Importar SPICE", &TForm1::ImportarSPICE1Click);
    Projetarfiltro1 = item(Arquivo1, "Projetarfiltro1", "Projetar filtro", &TForm1::Projetarfiltro1Click);
    Exit1 = item(Arquivo1, "Exit1", "Terminar", &TForm1::Exit1Click);
    Analise1 = menuBar()->addMenu("Análise");
    Analise1->setObjectName("Analise1");
    Analise1->setEnabled(false);
    Analise1->menuAction()->setEnabled(false);
    Grficosderespostaemfreqncia1 =
        item(Analise1, "Grficosderespostaemfreqncia1", "Gráficos de resposta em frequência",
             &TForm1::Grficosderespostaemfreqncia1Click);
    Escalasdosgrficos1 =
        item(Analise1, "Escalasdosgrficos1", "Escalas dos gráficos", &TForm1::Escalasdosgrficos1Click);
    Normalizaopelainclinao1 = item(Analise1, "Normalizaopelainclinao1", "Normalização pela inclinação",
                                   &TForm1::Normalizaopelainclinao1Click);
    Listarsensibilidades1 =
        item(Analise1, "Listarsensibilidades1", "Listar sensibilidades", &TForm1::Listarsensibilidades1Click);
    Faixadinmica1 = item(Analise1, "Faixadinmica1", "Faixa dinâmica", &TForm1::Faixadinmica1Click);
    Salvarrespostaemfreqncianorelatrio1 =
        item(Analise1, "Salvarrespostaemfreqncianorelatrio1", "Salvar resposta em frequência ",
             &TForm1::Salvarrespostaemfreqncianorelatrio1Click);
    Sensibilidadesdeplosezeros1 =
        item(Analise1, "Sensibilidadesdeplosezeros1", "Sensibilidades de polos e zeros",
             &TForm1::Sensibilidadesdeplosezeros1Click);
    Mudarndesada1 = item(Analise1, "Mudarndesada1", "Mudar nó de saída", &TForm1::Mudarndesada1Click);
    Variabilidadedosparmetros1 = item(Analise1, "Variabilidadedosparmetros1", "Variabilidade dos parâmetros",
                                      &TForm1::Variabilidadedosparmetros1Click);
    Tolernciaseparmetros1 = item(Analise1, "Tolernciaseparmetros1", "Tolerâncias e parâmetros",
                                 &TForm1::Tolernciaseparmetros1Click);
    Projetodetolerncias1 =
        item(Analise1, "Projetodetolerncias1", "Projeto de tolerâncias", &TForm1::Projetodetolerncias1Click);
    Rudo1 = item(Analise1, "Rudo1", "Ruído", &TForm1::Rudo1Click);
}

QAction* TForm1::item(QMenu* menu, const char* name, const QString& caption, void (TForm1::*handler)()) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, handler);
    return a;
}

// The newest line comes into sight even when the log was scrolled back.
void TForm1::log(const std::string& line) {
    Memo1->appendPlainText(QString::fromStdString(line));
    QScrollBar* bar = Memo1->verticalScrollBar();
    bar->setValue(bar->maximum());
}

// A translated deck singular at some point is told where, how small its
// pivot was and which setting of "Parâmetros" solves it: macro-models of
// op-amps often hold pivots below the tolerance.
void TForm1::fatal_error(const std::string& message) {
    log("Erro: " + message);
    auto& p = program_;
    if (message == analysis::solve_failure_message(analysis::SolveOutcome::singular) &&
        !p.netlist_file_name.empty() && analysis::spice::is_translated_netlist(p.netlist_file_name)) {
        const analysis::Real omega = p.engine.omega;  // the point that failed
        const analysis::Real least = analysis::smallest_pivot(p.circuit, p.engine);
        const analysis::Real f =
            p.sweep.hertz_units ? omega / (2 * std::numbers::pi_v<analysis::Real>) : omega;
        log(analysis::spice::singular_system_advice(f, p.sweep.hertz_units, least, p.settings.pivot_tolerance,
                                                    true));
    }
    if (Form2) Form2->show_message(QString::fromStdString(message));
}

void TForm1::analysis_started() {
    analysed_ = true;
    if (Form14) Form14->clear();
    Analise1->setEnabled(true);
    Analise1->menuAction()->setEnabled(true);
    for (QAction* a : Analise1->actions()) a->setEnabled(true);
    if (!Form4) return;
    show_window(Form4);
    Form4->repaint_plot();
}

void TForm1::netlist_read() {
    if (analysed_) return;
    Analise1->setEnabled(true);
    Analise1->menuAction()->setEnabled(true);
    for (QAction* a : Analise1->actions()) a->setEnabled(a == Mudarndesada1);
}

// "Abrir": the chosen netlist, ".net" added to a name without a "."; a
// file that cannot be opened leaves everything as it was.
void TForm1::Open1Click() {
    if (program_.failed) return;
    const suite::FileAnswer answer = suite::dialog_seam().open_file(this, OpenDialog1);
    if (!answer.accepted) return;
    program_.handle(this, [&] {
        if (open_netlist_named(analysis::complete_netlist_name(answer.file_name.toStdString())))
            deck_node_field(*Form3)->set_nodes({});  // a netlist of its own has no deck names
    });
}

// A mask read for one netlist goes with it: opening another one asks
// whether to keep it ("Não", the default, drops "Projeto de tolerâncias"
// with its mask and results); without `ask` it is dropped.
void TForm1::keep_mask_for(const std::string& name, bool ask) {
    if (!Form12 || !Form12->mask() || name == program_.netlist_file_name) return;
    const std::string mask = Form12->mask()->file_name;
    if (ask &&
        suite::dialog_seam().ask(
            this, "Abrir",
            QString::fromStdString("A máscara " + mask + " foi lida para " + program_.netlist_file_name +
                                   ". Mantê-la para " + name + "?")) == suite::Answer::yes)
        return;
    delete Form12;  // it takes its mask off the plot
    Form12 = nullptr;
    log("Máscara " + mask + " descartada.");
}

bool TForm1::open_netlist_named(const std::string& name, bool ask_about_mask) {
    auto& p = program_;
    bool opened = false;
    try {
        opened = analysis::open_netlist(p.circuit, name, p.log);
    } catch (...) {
        analysis::forget_response(p.sweep);  // the model is absent now
        p.redraw_plot();
        throw;
    }
    if (!opened) return false;
    analysis::forget_response(p.sweep);
    if (Form14) Form14->clear();
    keep_mask_for(name, ask_about_mask);
    p.netlist_file_name = name;
    p.netlist_base_name = analysis::netlist_base_name(name);
    // Nothing of the previous circuit stays on the screen under the new name.
    p.redraw_plot();
    netlist_read();
    Form3->NEnsaida->set_panel_int(1);
    show_window(Form3);
    return true;
}

// "Importar SPICE": the chosen deck translated, its netlist written beside
// it (asking before replacing a netlist that was not translated from a
// deck), the translation logged, then "Abrir" on that netlist; the deck's
// .ac line, when it has one, becomes the sweep of the scales. A refused
// deck is told in the log and changes nothing.
void TForm1::ImportarSPICE1Click() {
    if (program_.failed) return;
    const suite::FileAnswer answer = suite::dialog_seam().open_file(this, OpenDialog2);
    if (!answer.accepted) return;
    program_.handle(this, [&] {
        namespace spice = analysis::spice;
        const std::string deck = answer.file_name.toStdString();
        if (!suite::file_exists(deck)) {
            log("* Arquivo " + deck + " inexistente.");
            return;
        }
        std::vector<spice::OpAmpReplacement> opamps;
        if (!choose_opamp_replacements(this, deck, opamps)) return;  // "Cancelar"
        spice::SpiceTranslation t;
        try {
            t = spice::translate_spice_file(deck, opamps);
        } catch (const suite::IoError& e) {
            log(std::string("* ") + e.what());
            return;
        }
        const std::string netlist = translation_file(spice::spice_netlist_name(deck));
        if (netlist.empty()) return;
        spice::write_translated_netlist(netlist, t);
        for (const std::string& line : spice::translation_report(t, deck, netlist)) log(line);
        if (!open_netlist_named(netlist)) return;
        deck_node_field(*Form3)->set_nodes(t.node_names);
        if (!t.sweep.present) return;
        analysis::Sweep& sw = program_.sweep;
        sw.log_scale = t.sweep.log_scale;
        sw.hertz_units = true;
        sw.scale_min[analysis::q_frequency] = t.sweep.fmin;
        sw.scale_max[analysis::q_frequency] = t.sweep.fmax;
        program_.circuit.segments = t.sweep.segments;
        log("Escalas ajustadas à varredura do deck.");
    });
}

// Where "Importar SPICE" writes a translation: the netlist beside the deck,
// or, when that one was not translated from a deck and the user does not
// replace it ("Não", the default), a name chosen in SaveDialog2; empty when
// that dialog is cancelled.
std::string TForm1::translation_file(const std::string& beside) {
    namespace spice = analysis::spice;
    if (!suite::file_exists(beside) || spice::is_translated_netlist(beside) ||
        suite::dialog_seam().ask(
            this, "Importar SPICE",
            QString::fromStdString("O arquivo " + beside +
                                   " não foi traduzido de um deck SPICE. Substituí-lo?")) ==
            suite::Answer::yes)
        return beside;
    SaveDialog2.file_name = QString::fromStdString(beside.substr(0, beside.size() - 4) + "-spice.net");
    const suite::FileAnswer answer = suite::dialog_seam().save_file(this, SaveDialog2);
    if (!answer.accepted) return {};
    return analysis::complete_netlist_name(answer.file_name.toStdString());
}

// "Projetar filtro": the dialog of the design's choices.
void TForm1::Projetarfiltro1Click() {
    if (program_.failed) return;
    if (!Form13) {
        Form13 = new TForm13(this);
        Form13->design_asked = [this] { design_filter(); };
        QRect frame(QPoint(0, 0), Form13->size());
        frame.moveCenter(geometry().center());
        Form13->move(frame.topLeft());
    }
    show_window(Form13);
}

// "Projetar": every line of the design in the log. Files there that a
// design did not write are replaced only when the user says so.
void TForm1::design_filter() {
    namespace design = analysis::design;
    program_.handle(Form13, [&] {
        design::DesignRequest q;
        if (!Form13->request(q, program_.log)) return;
        std::string last;
        const analysis::Log log = [&](const std::string& line) {
            last = line;
            program_.log(line);
        };
        design::DesignOutcome d;
        const auto run = [&] {
            const Busy busy;
            d = {};
            return design::run_design(q, d, log);
        };
        if (run() != 0) {
            const std::string foreign = foreign_design_file(q);
            if (foreign.empty() ||
                last != "* O arquivo " + foreign +
                            " já existe e não foi escrito por um projeto: escolha outro nome.")
                return;
            if (suite::dialog_seam().ask(Form13, "Projetar filtro",
                                         QString::fromStdString("O arquivo " + foreign +
                                                                " não foi escrito por um projeto. Substituir "
                                                                "os arquivos do projeto?")) !=
                suite::Answer::yes)
                return;
            q.replace = true;
            if (run() != 0) return;
        }
        Form13->hide();
        open_design(d, q.options);
    });
}

// The designed netlist opened as "Abrir" opens one, swept over the mask's
// span with its parts' tolerances as variabilities, analysed at the
// design's output as "Analisar" does, and the mask checked in "Projeto de
// tolerâncias".
void TForm1::open_design(const analysis::design::DesignOutcome& d, const analysis::design::DesignOptions& o) {
    if (!open_netlist_named(d.netlist_file, false)) return;
    analysis::Circuit& c = program_.circuit;
    analysis::Sweep& sw = program_.sweep;
    sw.log_scale = true;
    sw.hertz_units = d.band.hertz;
    sw.scale_min[analysis::q_frequency] = d.band.f1;
    sw.scale_max[analysis::q_frequency] = d.band.f2;
    c.segments = d.band.segments;
    // The series the design ended with (it may have taken a finer one).
    analysis::change_all_variabilities(
        c, o.resistor_tolerance.value_or(analysis::design::series_tolerance(d.design.resistors)));
    for (int i = 1; i <= c.element_count; ++i) {
        const char kind =
            static_cast<char>(std::toupper(static_cast<unsigned char>(analysis::element_kind(c, i))));
        if (kind == 'C') c.variability[i] = o.capacitor_tolerance;
        if (kind == 'O' || kind == 'A') c.variability[i] = 0;
    }
    Form3->NEnsaida->set_panel_int(d.design.netlist.output_node);
    Form3->Button1Click();
    if (!program_.sweep.response_valid) return;
    Projetodetolerncias1Click();
    Form12->load_mask(d.mask_file);
}

void TForm1::Exit1Click() { suite::dialog_seam().end_program(0); }

void TForm1::closeEvent(QCloseEvent* event) {
    event->accept();
    suite::dialog_seam().end_program(0);
}

void TForm1::Grficosderespostaemfreqncia1Click() { show_window(Form4); }

void TForm1::Escalasdosgrficos1Click() {
    if (Form5) Form5->Fill();
}

void TForm1::Normalizaopelainclinao1Click() {
    if (Form6) Form6->Fill();
}

void TForm1::Listarsensibilidades1Click() {
    if (!program_.sweep.response_valid || !Form7) return;
    Form7->FormPaint();
    show_window(Form7);
}

void TForm1::Faixadinmica1Click() {
    if (!program_.sweep.response_valid) return;
    program_.handle(this, [&] { dynamic_range(program_); });
}

void TForm1::Salvarrespostaemfreqncianorelatrio1Click() {
    if (!program_.sweep.response_valid) return;
    SaveDialog1.file_name = QString::fromStdString(program_.netlist_base_name + ".tab");
    const suite::FileAnswer answer = suite::dialog_seam().save_file(this, SaveDialog1);
    if (!answer.accepted) return;
    program_.handle(this, [&] { save_response_table(program_, answer.file_name.toStdString()); });
}

void TForm1::Sensibilidadesdeplosezeros1Click() { show_window(Form10); }

void TForm1::Mudarndesada1Click() { show_window(Form3); }

void TForm1::Variabilidadedosparmetros1Click() {
    program_.settings.variability_cursor = 1;
    Form8->FormPaint();
    show_window(Form8);
}

void TForm1::Tolernciaseparmetros1Click() {
    Form9->FormPaint();
    show_window(Form9);
}

void TForm1::Projetodetolerncias1Click() {
    if (!Form12) {
        Form12 = new TForm12(program_, this);
        // Over this window, as the others open, but below its menu, which
        // a window of this one's would hide for good (it stays in front).
        QRect frame(QPoint(0, 0), Form12->size());
        frame.moveCenter(geometry().center());
        frame.moveTop(geometry().top() + menuBar()->height() + 40);
        Form12->move(frame.topLeft());
    }
    show_window(Form12);
}

void TForm1::Rudo1Click() {
    if (!Form14) {
        Form14 = new TForm14(program_, this);
        // Over this window but below its menu, which it would hide: a
        // window of this one's stays in front of it.
        QRect frame(QPoint(0, 0), Form14->size());
        frame.moveCenter(geometry().center());
        frame.moveTop(geometry().top() + menuBar()->height() + 40);
        Form14->move(frame.topLeft());
    }
    show_window(Form14);
}

}  // namespace moratw
