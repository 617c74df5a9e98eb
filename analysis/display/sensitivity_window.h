// "Sensibilidades": the sensitivities of the response to every element at
// the point under the plot's cursor, with the point's quantities and the
// normal and adjoint output values. "<" and ">" step the cursor.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace moratw {

struct Program;

// The lines of the list for the cursor point; empty when no analysed
// point is there. Sets the engine's point_index and Σ to that point.
std::vector<std::string> sensitivity_lines(Program& program);

class TForm7 : public QWidget {
    Q_OBJECT
public:
    explicit TForm7(Program& program, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;          // "Frequência"
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;    // "<"
    QPushButton* Button2 = nullptr;    // ">"

    // Rebuilds the list.
    void FormPaint();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Program& program_;
};

}  // namespace moratw
