// "Erro": the window through which every fatal error ends the program.
//
// The fatal-error routine puts its message into Label1 and shows the
// window (not modally). Pressing "Terminar", closing the window, or
// leaving it for another window of the program ends the program at once,
// through the dialog seam.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace moratw {

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    // Shows the window with `message` and starts watching for the user
    // leaving it.
    void show_message(const QString& message);
    // True once the program was asked to end through this window.
    bool ended() const { return ended_; }

    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr;  // "Terminar"

    void Button1Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void end_program();
    void focus_window_changed();

    bool shown_ = false;    // shown by the fatal-error routine
    bool entered_ = false;  // has had the focus since
    bool ended_ = false;
};

}  // namespace moratw
