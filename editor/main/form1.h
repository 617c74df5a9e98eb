// The editor's main window (TForm1, "Plaxe"): the menu and the message area
// to which every part of the editor prints. It owns the editor's records
// and the other windows, created in this order: TForm2 ("Message"), TForm3
// (layout screen), TForm4 ("Parameters"), TForm5 (formula test), TForm6
// ("About"), TForm7 ("Error in formula"). File dialogs, questions and the
// ending go through the dialog seam.
#pragma once

#include <QFont>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

#include "common/dialogseam.h"
#include "editor/layout/editor_records.h"

class QAction;
class QPlainTextEdit;

namespace plaxew {

class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    editor::EditorRecords& records() { return r_; }
    // Appends a line to the message area.
    void message(const std::string& line);
    QStringList message_lines() const;

    // The circuit file read at the first activation.
    void set_start_file(const QString& path) { start_file_ = path; }
    void FormActivate();

    // Menu handlers.
    void Newcircuit1Click();
    void Readcircuit1Click();
    void Savecircuit1Click();
    void Readvaluelist1Click();
    void Generatenetlist1Click();
    void Openeditorwindow1Click();
    void Exit1Click();
    void Undo1Click();
    void Redo1Click();
    void Listvaluelist1Click();
    void Listcircuitlist1Click();
    void Changezoom1Click();
    void Center1Click();
    void Invertcolors1Click();
    void Testparameters1Click();
    void Savecommentsinnetlist1Click();
    void Vectordrawings1Click();
    void Grid1Click();
    void hinlines1Click();
    void Font1Click();
    void Informations1Click();
    void Functions1Click();
    void About1Click();

    // Ctrl-P of the layout screen: node numbers.
    void show_nodes();

    QPlainTextEdit* Memo1;
    TForm2* Form2;
    std::unique_ptr<TForm3> Form3;  // a window of its own, not kept above this one
    TForm4* Form4;
    TForm5* Form5;
    TForm6* Form6;
    TForm7* Form7;
    QAction* Savecommentsinnetlist1;
    QAction* Vectordrawings1;
    QAction* Grid1;
    QAction* hinlines1;
    QAction* Undo1;
    QAction* Redo1;

    // The font dialog; tests answer it.
    std::function<std::optional<QFont>(const QFont& current)> choose_font;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void build_menu();
    bool confirm(const QString& question);
    void read_circuit_file(const std::string& path);
    void after_reading();
    void forget_edits();
    editor::MessageSink say();
    editor::FormulaState formula_state();

    editor::EditorRecords r_;
    QString start_file_;
    bool activated_ = false;
};

}  // namespace plaxew
