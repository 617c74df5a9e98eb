#include "editor/main/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

#include "common/errors.h"
#include "editor/files/circuitfile.h"
#include "editor/formula/formula_dialogs.h"
#include "editor/layout/form3.h"
#include "editor/layout/form4.h"
#include "editor/layout/layout_paint.h"
#include "editor/main/form2.h"
#include "editor/main/form6.h"
#include "editor/main/main_text.h"
#include "editor/netlist/netlist.h"

namespace plaxew {

using namespace editor;

namespace {

const QString save_filter = "Plaxe circuit files|*.cir|Plaxe netlist files|*.net";
const QString open_filter = "Plaxe circuit files|*.cir|Value lists|*.val";

// The platform's fixed-pitch face, or the first fixed-pitch family there is.
QFont fixed_pitch_font() {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontInfo(f).fixedPitch()) return f;
    for (const QString& family : QFontDatabase::families())
        if (QFontDatabase::isFixedPitch(family)) return QFont(family);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form1");
    setWindowTitle("Plaxe");
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont fixed = fixed_pitch_font();
    fixed.setPixelSize(13);
    Memo1->setFont(fixed);
    QPalette pal = Memo1->palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, Qt::white);
    Memo1->setPalette(pal);
    setCentralWidget(Memo1);
    for (const std::string& l : message_area_start()) message(l);

    r_.font_family = default_layout_family().toStdString();
    r_.formula_dialog.show = [this](const std::string& token, bool& ignore) {
        Form7->show_error(token, ignore);
    };

    Form2 = new TForm2(this);
    Form3 = std::make_unique<TForm3>(r_);
    Form4 = new TForm4(Form3.get());
    Form5 = new TForm5(this);
    Form6 = new TForm6(this);
    Form7 = new TForm7(this);

    TForm3& f3 = *Form3;
    f3.Form4 = Form4;
    f3.say = say();
    f3.confirm = [this](const QString& q) { return confirm(q); };
    f3.show_main = [this] {
        show();
        raise();
        activateWindow();
    };
    f3.generate_netlist = [this] { Generatenetlist1Click(); };
    f3.show_nodes = [this] { show_nodes(); };
    f3.list_circuit = [this] { Listcircuitlist1Click(); };
    f3.read_value_list = [this] { Readvaluelist1Click(); };
    Form5->evaluate = [this](const std::string& text) {
        FormulaState f = formula_state();
        test_formula(text, f);
    };
    choose_font = [this](const QFont& current) -> std::optional<QFont> {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, current, this);
        if (!ok) return std::nullopt;
        return f;
    };
    build_menu();
    resize(640, 420);
}

// The layout screen goes first: it works on the records.
TForm1::~TForm1() { Form3.reset(); }

void TForm1::build_menu() {
    const auto item = [this](QMenu* menu, const char* caption, const char* name, void (TForm1::*handler)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    QMenu* file = menuBar()->addMenu("File");
    item(file, "New circuit", "Newcircuit1", &TForm1::Newcircuit1Click);
    item(file, "Read circuit", "Readcircuit1", &TForm1::Readcircuit1Click);
    item(file, "Save circuit", "Savecircuit1", &TForm1::Savecircuit1Click);
    item(file, "Read value list", "Readvaluelist1", &TForm1::Readvaluelist1Click);
    item(file, "Generate netlist", "Generatenetlist1", &TForm1::Generatenetlist1Click);
    item(file, "Open layout screen", "Openeditorwindow1", &TForm1::Openeditorwindow1Click);
    item(file, "Exit", "Exit1", &TForm1::Exit1Click);
    // The layout screen's undo and redo (Ctrl-E and Ctrl-R there as here).
    QMenu* edit = menuBar()->addMenu("Edit");
    Undo1 = item(edit, "Undo", "Undo1", &TForm1::Undo1Click);
    Undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    Redo1 = item(edit, "Redo", "Redo1", &TForm1::Redo1Click);
    Redo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    QMenu* options = menuBar()->addMenu("Options");
    item(options, "List value list", "Listvaluelist1", &TForm1::Listvaluelist1Click);
    item(options, "List circuit list", "Listcircuitlist1", &TForm1::Listcircuitlist1Click);
    item(options, "Change zoom", "Changezoom1", &TForm1::Changezoom1Click);
    item(options, "Center circuit", "Center1", &TForm1::Center1Click);
    item(options, "Invert colors", "Invertcolors1", &TForm1::Invertcolors1Click);
    item(options, "Test formulas", "Testparameters1", &TForm1::Testparameters1Click);
    Savecommentsinnetlist1 =
        item(options, "Comments in netlist", "Savecommentsinnetlist1", &TForm1::Savecommentsinnetlist1Click);
    Vectordrawings1 = item(options, "Vector drawings", "Vectordrawings1", &TForm1::Vectordrawings1Click);
    Grid1 = item(options, "Grid", "Grid1", &TForm1::Grid1Click);
    hinlines1 = item(options, "Thin lines", "hinlines1", &TForm1::hinlines1Click);
    item(options, "Change font", "Font1", &TForm1::Font1Click);
    item(options, "Informations", "Informations1", &TForm1::Informations1Click);
    for (QAction* a : {Savecommentsinnetlist1, Vectordrawings1, Grid1, hinlines1}) a->setCheckable(true);
    const LayoutOptions& o = r_.view.options;
    Savecommentsinnetlist1->setChecked(o.comments_in_netlist);
    Vectordrawings1->setChecked(o.vector_drawings);
    Grid1->setChecked(o.grid_always);
    hinlines1->setChecked(o.thin_lines);
    QMenu* help = menuBar()->addMenu("Help");
    item(help, "Functions", "Functions1", &TForm1::Functions1Click);
    item(help, "About", "About1", &TForm1::About1Click);
}

void TForm1::message(const std::string& line) {
    Memo1->appendPlainText(QString::fromStdString(line));
    Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
}

QStringList TForm1::message_lines() const { return Memo1->toPlainText().split('\n'); }

MessageSink TForm1::say() {
    return [this](const std::string& line) { message(line); };
}

FormulaState TForm1::formula_state() { return FormulaState{r_.values, say(), r_.formula_dialog}; }

bool TForm1::confirm(const QString& question) {
    return suite::dialog_seam().ask(this, "Message", question) == suite::Answer::yes;
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!activated_) QTimer::singleShot(0, this, &TForm1::FormActivate);
}

void TForm1::FormActivate() {
    if (activated_) return;
    activated_ = true;
    if (!start_file_.isEmpty()) read_circuit_file(start_file_.toStdString());
}

void TForm1::read_circuit_file(const std::string& path) {
    try {
        read_circuit(path, r_.circuit, say());
    } catch (const suite::IoError& e) {
        suite::dialog_seam().error_box(this, QString::fromUtf8(e.what()));
    }
    after_reading();
}

// A circuit read or begun anew has no edits to undo, and no marked block.
void TForm1::forget_edits() {
    clear_history(r_.history);
    r_.view.block = Block{};
}

void TForm1::after_reading() {
    forget_edits();
    r_.view.x0 = r_.view.y0 = 64;
    r_.view.show_nodes = false;
    r_.view.editing = 0;
    Form3->hide();
    Form3->setWindowTitle(QString::fromStdString(r_.circuit.name));
    Form3->show_layout();
    // A drawing that lies wholly outside the window at (64, 64) would show
    // an empty screen: it is centred instead.
    if (r_.circuit.count > 0 && !any_element_visible(r_.circuit, r_.view)) Form3->centre();
}

void TForm1::Newcircuit1Click() {
    if (r_.circuit.changed && !confirm("Circuit changed. Edit another?")) return;
    r_.circuit.name = "new";
    r_.circuit.count = 0;
    r_.circuit.changed = false;
    forget_edits();
    r_.view.x0 = r_.view.y0 = 64;
    message("New file");
    Form3->setWindowTitle(QString::fromStdString(r_.circuit.name));
    Form3->show_layout();
}

void TForm1::Readcircuit1Click() {
    if (r_.circuit.changed && !confirm("Circuit changed. Load another?")) return;
    suite::FileRequest q;
    q.title = "Read circuit";
    q.filter = open_filter;
    q.filter_index = 1;
    q.default_ext = "cir";
    q.must_exist = true;
    const suite::FileAnswer a = suite::dialog_seam().open_file(this, q);
    if (!a.accepted) return;
    read_circuit_file(a.file_name.toStdString());
    r_.circuit.changed = false;
}

void TForm1::Savecircuit1Click() {
    suite::FileRequest q;
    q.title = "Save circuit";
    q.filter = save_filter;
    q.filter_index = 1;
    q.default_ext = "cir";
    q.file_name = QString::fromStdString(r_.circuit.name);
    const suite::FileAnswer a = suite::dialog_seam().save_file(this, q);
    if (!a.accepted) return;
    write_circuit_file(a.file_name.toStdString(), r_.circuit, say());
    Form3->setWindowTitle(QString::fromStdString(r_.circuit.name));
}

void TForm1::Readvaluelist1Click() {
    suite::FileRequest q;
    q.title = "Read value list";
    q.filter = open_filter;
    q.filter_index = 2;
    q.default_ext = "val";
    q.file_name = QString::fromStdString(r_.circuit.name) + ".val";
    q.must_exist = true;
    const suite::FileAnswer a = suite::dialog_seam().open_file(this, q);
    if (!a.accepted) return;
    try {
        read_value_list(a.file_name.toStdString(), r_.values, say());
    } catch (const suite::IoError& e) {
        suite::dialog_seam().error_box(this, QString::fromUtf8(e.what()));
    }
}

void TForm1::Openeditorwindow1Click() { Form3->show_layout(); }

void TForm1::Undo1Click() { Form3->undo(); }
void TForm1::Redo1Click() { Form3->redo(); }

void TForm1::Exit1Click() {
    if (!r_.circuit.changed || confirm("Circuit changed. Exit anyway?")) suite::dialog_seam().end_program(0);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (r_.circuit.changed) {
        event->ignore();
        if (confirm("Circuit changed. Exit anyway?")) suite::dialog_seam().end_program(0);
        return;
    }
    event->accept();
    suite::dialog_seam().end_program(0);
}

void TForm1::Generatenetlist1Click() {
    NetlistState net;
    if (!prepare_netlist(r_.circuit, net, say())) return;
    FormulaState formulas = formula_state();
    list_netlist(r_.circuit, net, formulas);
    r_.view.show_nodes = true;
    Form3->show_layout();
    suite::FileRequest q;
    q.title = "Generate netlist";
    q.filter = save_filter;
    q.filter_index = 2;
    q.default_ext = "net";
    q.file_name = QString::fromStdString(r_.circuit.name);
    const suite::FileAnswer a = suite::dialog_seam().save_file(this, q);
    if (!a.accepted) return;
    const bool written = write_netlist(a.file_name.toStdString(), r_.circuit, net, formulas,
                                       r_.view.options.comments_in_netlist);
    Form3->setWindowTitle(QString::fromStdString(r_.circuit.name));
    write_circuit_file(r_.circuit.name + ".cir", r_.circuit, say());
    // The error dialogs are behind; the last line says what the file holds.
    if (!written) return;
    if (formulas.unevaluated > 0) message(unevaluated_message(formulas.unevaluated));
    if (const auto values = values_not_numbers(r_.circuit, net); !values.empty())
        message(not_numbers_message(values));
}

void TForm1::show_nodes() {
    if (r_.circuit.count == 0) return;
    sort_elements(r_.circuit, say());
    NetlistState net;
    if (!determine_nodes(r_.circuit, net, say())) return;
    r_.view.show_nodes = true;
    Form3->repaint_layout();
}

void TForm1::Listcircuitlist1Click() { list_circuit_list(r_.circuit, say()); }

void TForm1::Listvaluelist1Click() { list_value_list(r_.values, say()); }

void TForm1::Changezoom1Click() { Form3->change_zoom(); }
void TForm1::Center1Click() { Form3->centre(); }
void TForm1::Invertcolors1Click() { Form3->invert_colours(); }

void TForm1::Testparameters1Click() {
    Form5->show();
    Form5->raise();
}

void TForm1::Savecommentsinnetlist1Click() {
    bool& on = r_.view.options.comments_in_netlist;
    on = !on;
    Savecommentsinnetlist1->setChecked(on);
    message(option_message(EditorOption::comments, on));
}

void TForm1::Vectordrawings1Click() {
    bool& on = r_.view.options.vector_drawings;
    on = !on;
    Vectordrawings1->setChecked(on);
    message(option_message(EditorOption::vector_drawings, on));
    Form3->repaint_layout();
}

void TForm1::Grid1Click() {
    bool& on = r_.view.options.grid_always;
    on = !on;
    Grid1->setChecked(on);
    message(option_message(EditorOption::grid, on));
    Form3->repaint_layout();
}

void TForm1::hinlines1Click() {
    bool& on = r_.view.options.thin_lines;
    on = !on;
    hinlines1->setChecked(on);
    message(option_message(EditorOption::thin_lines, on));
    Form3->repaint_layout();
}

void TForm1::Font1Click() {
    QFont current(QString::fromStdString(r_.font_family));
    const std::optional<QFont> f = choose_font(current);
    if (!f) return;
    r_.font_family = f->family().toStdString();
    Form3->repaint_layout();
}

void TForm1::Informations1Click() {
    StatusFigures s;
    s.circuit_name = r_.circuit.name;
    s.elements = r_.circuit.count;
    s.values = r_.values.count;
    s.x0 = r_.view.x0;
    s.y0 = r_.view.y0;
    s.columns = r_.view.columns;
    s.rows = r_.view.rows;
    for (const std::string& l : status_report(s)) message(l);
}

void TForm1::Functions1Click() {
    for (const std::string& l : help_text()) message(l);
}

void TForm1::About1Click() {
    Form6->Lversion->setText(version_line);
    Form6->show();
    Form6->raise();
}

}  // namespace plaxew
