// The seam between a program and the dialogs that need a person.
//
// File dialogs, the platform's standard error box, confirmations and the
// ending of the program all go through the program's DialogSeam. The
// programs install the real one (QtDialogSeam); tests install a
// RecordingDialogSeam that records what was shown and answers from a
// queue, so a handler can be driven without a person or a real dialog.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QFileDialog;
class QWidget;

namespace suite {

// A file dialog as the programs describe it. `filter` uses the form
// "Netlists|*.net|Todos|*.*"; `filter_index` counts from 1.
struct FileRequest {
    QString title;
    QString filter;
    int filter_index = 1;
    QString default_ext;  // added to a typed name that has no extension
    QString file_name;    // proposed name, possibly with a folder
    bool must_exist = false;
};

struct FileAnswer {
    bool accepted = false;
    QString file_name;
    int filter_index = 1;  // the filter the user left the dialog on
};

enum class Answer { yes, no, cancel };

class DialogSeam {
public:
    virtual ~DialogSeam() = default;
    // The platform's standard error box.
    virtual void error_box(QWidget* parent, const QString& message) = 0;
    virtual FileAnswer open_file(QWidget* parent, const FileRequest& request) = 0;
    virtual FileAnswer save_file(QWidget* parent, const FileRequest& request) = 0;
    // A question with Yes and No (and Cancel when `with_cancel`).
    virtual Answer ask(QWidget* parent, const QString& title, const QString& text,
                       bool with_cancel = false) = 0;
    // Ends the program with `code` (the real seam leaves the event loop).
    virtual void end_program(int code) = 0;
};

// The seam of this program. Until a program installs one, the real seam.
DialogSeam& dialog_seam();
// Installs `seam` (not owned); nullptr restores the real seam.
void set_dialog_seam(DialogSeam* seam);

// "Netlists|*.net|Todos|*.*" -> {"Netlists (*.net)", "Todos (*.*)"}
QStringList qt_filters(const QString& pipe_filter);

// The file dialog the real seam shows, set up from `request`: always Qt's
// own dialog, whose list and name completer take icons and type names from
// names alone and never read a file. (Guessing a type from a file's
// contents blocks on special files such as /proc/kmsg, and the whole
// program with it.)
// Its type names are Qt's, in the program's language ("Pasta", "Arquivo
// net" once speak_portuguese has run); its date column is written in the
// default locale; it opens wide enough for its four columns.
std::unique_ptr<QFileDialog> make_file_dialog(QWidget* parent, const FileRequest& request, bool save);
constexpr int file_dialog_width = 820;
constexpr int places_width = 170;  // the list of places on its left

// The seam with real dialogs.
class QtDialogSeam : public DialogSeam {
public:
    void error_box(QWidget* parent, const QString& message) override;
    FileAnswer open_file(QWidget* parent, const FileRequest& request) override;
    FileAnswer save_file(QWidget* parent, const FileRequest& request) override;
    Answer ask(QWidget* parent, const QString& title, const QString& text, bool with_cancel) override;
    void end_program(int code) override;
};

// The seam for tests: records what the program showed and answers from
// queues; an empty queue cancels the file dialog and answers No.
class RecordingDialogSeam : public DialogSeam {
public:
    QStringList errors;           // messages of the error box, in order
    QList<FileRequest> requests;  // file dialogs shown, in order
    QList<FileAnswer> file_answers;
    QList<Answer> answers;
    QStringList questions;
    int ended = 0;  // how many times the program asked to end
    int end_code = 0;

    void error_box(QWidget* parent, const QString& message) override;
    FileAnswer open_file(QWidget* parent, const FileRequest& request) override;
    FileAnswer save_file(QWidget* parent, const FileRequest& request) override;
    Answer ask(QWidget* parent, const QString& title, const QString& text, bool with_cancel) override;
    void end_program(int code) override;

    // Queues an accepted file dialog answer.
    void answer_file(const QString& file_name, int filter_index = 1) {
        file_answers.append(FileAnswer{true, file_name, filter_index});
    }
};

// The seam of a window program started with a file (a file manager, a
// desktop entry): the first file dialog for opening is answered with that
// file, as if it had been chosen there (made absolute, the request's
// default extension added to a name without one); every other dialog, and
// every later one, goes to `next`.
class StartFileSeam : public DialogSeam {
public:
    StartFileSeam(const QString& file_name, DialogSeam& next) : file_name_(file_name), next_(next) {}
    // Whether the file is still waiting for its dialog.
    bool pending() const { return !file_name_.isEmpty(); }

    void error_box(QWidget* parent, const QString& message) override { next_.error_box(parent, message); }
    FileAnswer open_file(QWidget* parent, const FileRequest& request) override;
    FileAnswer save_file(QWidget* parent, const FileRequest& request) override {
        return next_.save_file(parent, request);
    }
    Answer ask(QWidget* parent, const QString& title, const QString& text, bool with_cancel) override {
        return next_.ask(parent, title, text, with_cancel);
    }
    void end_program(int code) override { next_.end_program(code); }

private:
    QString file_name_;
    DialogSeam& next_;
};

// Installs a seam for the lifetime of the object (tests).
class ScopedDialogSeam {
public:
    explicit ScopedDialogSeam(DialogSeam& seam) { set_dialog_seam(&seam); }
    ~ScopedDialogSeam() { set_dialog_seam(nullptr); }
    ScopedDialogSeam(const ScopedDialogSeam&) = delete;
    ScopedDialogSeam& operator=(const ScopedDialogSeam&) = delete;
};

}  // namespace suite
