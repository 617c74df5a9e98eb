// The formula dialogs of the editor: "Error in formula" (TForm7), shown
// when a formula fails while the netlist is listed, and "Test for
// parameters or formulas" (TForm5), which reduces a typed text.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace plaxew {

class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);

    // Shows the failing token modally until "Continue"; `ignore` is the
    // "Ignore other errors" box before and after.
    void show_error(const std::string& token, bool& ignore);
    void Button1Click();

    QLabel* Label1;
    QCheckBox* CBignorar;
    QPushButton* Button1;

signals:
    // Emitted with the dialog filled, before it waits for the user.
    void shown();

private:
    bool answered_ = false;
};

class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);

    void BapplyClick();

    QLineEdit* Eformula;
    QPushButton* Bapply;
    // Reduces the text, printing the original and the reduced expression.
    std::function<void(const std::string&)> evaluate;
};

}  // namespace plaxew
