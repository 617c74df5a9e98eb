// "Nó de saída": chooses the output node and the adjoint node listed in
// the sensitivity window, and starts the analysis.
#pragma once

#include <QWidget>
#include <functional>

#include "common/tnedit.h"

class QPushButton;

namespace moratw {

struct Program;

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(Program& program, QWidget* parent = nullptr);

    suite::TNEdit* NEnsaida = nullptr;
    suite::TNEdit* NEasaida = nullptr;
    QPushButton* Button1 = nullptr;  // "Analisar"

    // Called when an analysis has started: the main window enables its
    // analysis menu and shows the response.
    std::function<void()> analysis_started;

    void Button1Click();

private:
    Program& program_;
};

}  // namespace moratw
