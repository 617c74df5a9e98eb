// The "Message" window (TForm2): the editor's Yes/No confirmation, and the
// dialog seam that asks its questions there.
//
// Every question guards something that cannot be undone (unsaved changes,
// the whole drawing, a block), so each one opens with "No" as the marked
// default button and with the focus on it: Return and Space answer No,
// Escape and closing the window answer No, and Tab reaches "Yes". Nothing
// carries over from one question to the next.
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

    // Shows the question modally over the window that asked it; true for
    // "Yes", false for "No". That window is active again afterwards.
    bool ask(const QString& question);
    void Button1Click();  // "Yes"
    void BnoClick();      // "No"

    QLabel* Label1;
    QPushButton* Button1;
    QPushButton* Bno;

signals:
    // Emitted with the question shown and "No" focused, before the window waits.
    void shown();

protected:
    void reject() override;

private:
    void answer(bool yes);
    void place_over(QWidget* asker);

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
