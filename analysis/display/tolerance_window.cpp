#include "analysis/display/tolerance_window.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QResizeEvent>
#include <vector>

#include "analysis/display/program.h"
#include "analysis/tolerance/tolerance_report.h"

namespace moratw {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// "120 de 1000" for the dialog; only the count when the whole is not known.
QString progress_count(long long done, long long total) {
    return total > 0 ? QString::number(done) + " de " + QString::number(total) : QString::number(done);
}

}  // namespace

TForm12::TForm12(Program& program, QWidget* parent) : QWidget(parent, Qt::Window), program_(program) {
    setObjectName("Form12");
    setWindowTitle("Projeto de tolerâncias");
    resize(900, 520);
    auto button = [this](const char* name, const QString& caption, QRect at) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setGeometry(at);
        return b;
    };
    auto label = [this](const QString& caption, QRect at) {
        auto* l = new QLabel(caption, this);
        l->setGeometry(at);
        return l;
    };
    auto field = [this](const char* name, suite::tipo_campo type, QRect at) {
        auto* f = new suite::TNEdit(this);
        f->setObjectName(name);
        f->set_field_type(type);
        f->setGeometry(at);
        return f;
    };
    Button1 = button("Button1", "Ler máscara", {8, 8, 120, 27});
    Lmascara = label("Nenhuma máscara lida.", {136, 12, 756, 20});
    Lmascara->setObjectName("Lmascara");
    label("Amostras do modelo linear", {8, 46, 190, 20});
    NEamostras = field("NEamostras", suite::int_field, {200, 44, 90, 23});
    label("Circuitos de Monte Carlo", {310, 46, 190, 20});
    NEcircuitos = field("NEcircuitos", suite::int_field, {502, 44, 90, 23});
    label("Semente", {8, 76, 190, 20});
    NEsemente = field("NEsemente", suite::int_field, {200, 74, 90, 23});
    label("Rendimento desejado (%)", {310, 76, 190, 20});
    NEalvo = field("NEalvo", suite::real_field, {502, 74, 90, 23});
    NEamostras->set_panel_int(static_cast<std::int32_t>(analysis::default_linear_samples));
    NEcircuitos->set_panel_int(1000);
    NEsemente->set_panel_int(1);
    NEalvo->set_panel_real(99);
    CBmascara = new QCheckBox("Máscara no gráfico", this);
    CBmascara->setObjectName("CBmascara");
    CBmascara->setGeometry(8, 104, 200, 23);
    CBmascara->setChecked(true);
    CBpiorcaso = new QCheckBox("Pior caso linear no gráfico", this);
    CBpiorcaso->setObjectName("CBpiorcaso");
    CBpiorcaso->setGeometry(220, 104, 260, 23);
    Button2 = button("Button2", "Calcular rendimento", {8, 136, 170, 27});
    Button3 = button("Button3", "Apertar tolerâncias", {186, 136, 170, 27});
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    // The yield lines run longer than any window: they wrap, not cut.
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo1->setFont(QFont("DejaVu Sans Mono", 9));
    Memo1->setGeometry(0, 172, width(), height() - 172);
    OpenDialog1 = {"Ler máscara", "Máscaras|*.msk|Todos|*.*", 1, "msk", "", true};
    connect(Button1, &QPushButton::clicked, this, &TForm12::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm12::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm12::Button3Click);
    connect(CBmascara, &QCheckBox::clicked, this, &TForm12::CBmascaraClick);
    connect(CBpiorcaso, &QCheckBox::clicked, this, &TForm12::CBpiorcasoClick);
}

TForm12::~TForm12() {
    if (mask_ && program_.view.mask == &*mask_) program_.view.mask = nullptr;
    program_.view.worst_case = false;
}

void TForm12::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Memo1->setGeometry(0, 172, width(), std::max(height() - 172, 40));
}

void TForm12::show_line(const std::string& line) { Memo1->appendPlainText(qs(line)); }

// "Ler máscara": the chosen file read; a file refused or missing is told
// and the mask read before stays.
void TForm12::Button1Click() {
    if (program_.failed) return;
    // The mask read last, else one named after the netlist.
    OpenDialog1.file_name = qs(mask_                                ? mask_->file_name
                               : program_.netlist_base_name.empty() ? ""
                                                                    : program_.netlist_base_name + ".msk");
    const suite::FileAnswer answer = suite::dialog_seam().open_file(this, OpenDialog1);
    if (!answer.accepted) return;
    load_mask(answer.file_name.toStdString());
}

bool TForm12::load_mask(const std::string& file) {
    bool loaded = false;
    program_.handle(this, [&] {
        const analysis::Log log = [this](const std::string& line) { show_line(line); };
        Memo1->clear();
        results_current_ = true;
        analysis::ResponseMask read;
        std::vector<std::string> reasons;
        const analysis::Log told = [&](const std::string& line) {
            reasons.push_back(line);
            show_line(line);
        };
        if (!analysis::read_mask_report(file, read, told)) {
            Lmascara->setText("Máscara recusada: " + qs(file) +
                              (mask_ ? "  (em uso: " + qs(mask_->file_name) + ")" : QString()));
            // The main log keeps the reasons, which the memo loses at the next run.
            if (program_.log) {
                program_.log("* Projeto de tolerâncias: máscara " + file + " recusada.");
                for (const std::string& line : reasons) program_.log(line);
            }
            return;
        }
        if (mask_ && program_.view.mask == &*mask_) program_.view.mask = nullptr;
        mask_ = std::move(read);
        loaded = true;
        Lmascara->setText(qs(mask_->file_name));
        show_on_plot();  // the response window draws it, sweeping when it must
        analysis::LinearModel model;
        if (program_.sweep.response_valid && !program_.failed)
            analysis::report_mask(mask_->file_name, *mask_, program_.circuit, program_.engine, program_.sweep,
                                  model, log);
    });
    return loaded;
}

bool TForm12::checked_mask(analysis::LinearModel& model) {
    if (!mask_) {
        show_line("* Leia uma máscara primeiro.");
        return false;
    }
    if (!program_.sweep.response_valid) {
        show_line("* A resposta em frequência ainda não foi calculada.");
        return false;
    }
    const analysis::Log log = [this](const std::string& line) { show_line(line); };
    return analysis::report_mask(mask_->file_name, *mask_, program_.circuit, program_.engine, program_.sweep,
                                 model, log);
}

bool TForm12::sampling(long long& samples, int& circuits, std::uint64_t& seed) {
    samples = NEamostras->panel_int();
    circuits = NEcircuitos->panel_int();
    const std::int32_t s = NEsemente->panel_int();
    if (samples < analysis::min_linear_samples || samples > analysis::max_linear_samples) {
        show_line("* Amostras do modelo linear: de 1000 a 10000000.");
        return false;
    }
    if (circuits < 2 || circuits > analysis::max_yield_circuits) {
        show_line("* Circuitos de Monte Carlo: de 2 a 1000000.");
        return false;
    }
    if (s < 0) {
        show_line("* A semente deve ser zero ou positiva.");
        return false;
    }
    seed = static_cast<std::uint64_t>(s);
    return true;
}

// "Calcular rendimento": the mask's lines, both yields and the ranking.
void TForm12::Button2Click() {
    program_.handle(this, [&] {
        // After a cancel the memo's results are older still: those stay the earlier ones.
        const QString before = results_current_ ? Memo1->toPlainText() : earlier_;
        Memo1->clear();
        results_current_ = true;
        long long samples = 0;
        int circuits = 0;
        std::uint64_t seed = 0;
        analysis::LinearModel model;
        if (!sampling(samples, circuits, seed) || !checked_mask(model)) return;
        const analysis::Log log = [this](const std::string& line) { show_line(line); };
        run_with_progress(before, [&](const analysis::Progress& progress) {
            analysis::report_yield(program_.circuit, program_.engine, program_.sweep, program_.settings,
                                   model, samples, circuits, seed, log, progress);
        });
    });
}

// "Apertar tolerâncias": the mask's lines, then the tolerances for the
// target yield with their Monte Carlo confirmation.
void TForm12::Button3Click() {
    program_.handle(this, [&] {
        // After a cancel the memo's results are older still: those stay the earlier ones.
        const QString before = results_current_ ? Memo1->toPlainText() : earlier_;
        Memo1->clear();
        results_current_ = true;
        long long samples = 0;
        int circuits = 0;
        std::uint64_t seed = 0;
        if (!sampling(samples, circuits, seed)) return;
        const analysis::Real target = NEalvo->panel_real();
        if (!(target > 0 && target < 100)) {
            show_line("* O rendimento desejado deve estar entre 0 e 100 %.");
            return;
        }
        analysis::LinearModel model;
        if (!checked_mask(model)) return;
        const analysis::Log log = [this](const std::string& line) { show_line(line); };
        run_with_progress(before, [&](const analysis::Progress& progress) {
            analysis::report_tightening(program_.circuit, program_.engine, program_.sweep, program_.settings,
                                        model, target / 100, samples, circuits, seed, log, progress);
        });
    });
}

void TForm12::run_with_progress(const QString& before,
                                const std::function<void(const analysis::Progress&)>& run) {
    QProgressDialog dialog(this);
    dialog.setObjectName("Progresso");
    dialog.setWindowTitle("Projeto de tolerâncias");
    dialog.setCancelButtonText("Cancelar");
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(300);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setMinimumWidth(360);
    progress_ = &dialog;
    struct Forget {
        QProgressDialog*& dialog;
        ~Forget() { dialog = nullptr; }
    } forget{progress_};
    QElapsedTimer since;
    bool first = true;
    std::string last_stage;
    long long last_done = 0, last_total = 0;
    const analysis::Progress progress = [&](const std::string& stage, long long done, long long total) {
        last_stage = stage;
        last_done = done;
        last_total = total;
        // The window and the dialog are served a few times a second, not at every call.
        if (!first && since.isValid() && since.elapsed() < 40) return !dialog.wasCanceled();
        first = false;
        since.restart();
        const int whole = static_cast<int>(std::min<long long>(total, 2000000000));
        if (dialog.maximum() != whole) dialog.setRange(0, whole);
        dialog.setLabelText(qs(stage) + ": " + progress_count(done, total));
        dialog.setValue(static_cast<int>(std::clamp<long long>(done, 0, whole)));
        QCoreApplication::processEvents();
        return !dialog.wasCanceled();
    };
    try {
        run(progress);
    } catch (const analysis::RunCancelled&) {
        earlier_ = before;
        results_current_ = false;
        const std::string where = last_stage + ", " + progress_count(last_done, last_total).toStdString();
        Memo1->clear();
        show_line("* Cálculo cancelado (" + where + ").");
        if (!earlier_.trimmed().isEmpty()) {
            show_line("* Os resultados abaixo são do cálculo anterior, não deste:");
            Memo1->appendPlainText(earlier_);
        }
        if (program_.log) program_.log("* Projeto de tolerâncias: cálculo cancelado (" + where + ").");
    }
}

void TForm12::CBmascaraClick() { show_on_plot(); }

void TForm12::CBpiorcasoClick() { show_on_plot(); }

void TForm12::show_on_plot() {
    program_.view.mask = CBmascara->isChecked() && mask_ ? &*mask_ : nullptr;
    program_.view.worst_case = CBpiorcaso->isChecked();
    program_.redraw_plot();
}

}  // namespace moratw
