// The "Message" window (TForm2): the editor's Yes/No confirmation, and the
// dialog seam that asks its questions there.
#pragma once

#include <QDialog>

#include "common/dialogseam.h"

class QLabel;
class QPushButton;

namespace plaxew {

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    // Shows the question modally; true for "Yes", false for "No".
    bool ask(const QString& question);
    void Button1Click();  // "Yes"
    void BnoClick();      // "No"

    QLabel* Label1;
    QPushButton* Button1;
    QPushButton* Bno;

signals:
    // Emitted with the question shown, before the window waits.
    void shown();

protected:
    void reject() override;

private:
    void answer(bool yes);
    bool answered_ = false;
    bool yes_ = false;
};

// The real dialogs, with the questions asked in TForm2.
class MessageSeam : public suite::QtDialogSeam {
public:
    explicit MessageSeam(TForm2& form) : form_(form) {}
    suite::Answer ask(QWidget* parent, const QString& title, const QString& text, bool with_cancel) override;

private:
    TForm2& form_;
};

}  // namespace plaxew
