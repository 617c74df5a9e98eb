// The "Parameters" dialog (TForm4): the name and the parameter text of one
// element, with the meaning of the text above the field.
#pragma once

#include <QDialog>
#include <QEventLoop>

#include "editor/files/messages.h"
#include "editor/layout/circuit_access.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace plaxew {

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    // Shows the dialog for element i and waits for "Apply" or "Cancel".
    // True when the edit was applied.
    bool edit(editor::Circuit& circuit, int i, const editor::MessageSink& say);

    void Button1Click();  // "Apply"
    void Button2Click();  // "Cancel"
    // Whether the dialog has been answered (a refused "Apply" leaves it open).
    bool answered() const { return done_; }

    QLabel* Label1;
    QLineEdit* Enome;
    QLabel* Lpar;
    QLineEdit* Eparametros;
    QPushButton* Button1;
    QPushButton* Button2;
    // The last refusal of "Apply", shown in the dialog as well as in the
    // message area (which the layout screen may cover); empty otherwise.
    QLabel* Lmessage;

signals:
    // Emitted with the dialog filled and shown, before it waits.
    void shown();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void finish(bool applied);

    QEventLoop loop_;
    editor::Circuit* circuit_ = nullptr;
    int index_ = 0;
    editor::MessageSink say_;
    bool running_ = false;
    bool done_ = false;
    bool applied_ = false;
};

}  // namespace plaxew
