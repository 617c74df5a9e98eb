// Start-up of the analysis program: the records and the eleven windows,
// created in their order, only the main window shown.
//
//   QApplication app(argc, argv);
//   moratw::Moratw program;   // creates and wires the windows
//   program.show();
//   return app.exec();
#pragma once

#include <array>
#include <memory>

#include "common/real.h"

class QWidget;

namespace moratw {

struct Program;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;

class Moratw {
public:
    Moratw();
    ~Moratw();
    Moratw(const Moratw&) = delete;
    Moratw& operator=(const Moratw&) = delete;

    // Shows the main window centred on the screen.
    void show();

    Program& program() { return *program_; }
    // The windows, in the order of their creation.
    TForm1* Form1 = nullptr;
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    TForm4* Form4 = nullptr;
    TForm5* Form5 = nullptr;
    TForm6* Form6 = nullptr;
    TForm7* Form7 = nullptr;
    TForm8* Form8 = nullptr;
    TForm9* Form9 = nullptr;
    QWidget* Form10 = nullptr;
    QWidget* Form11 = nullptr;

private:
    // The plot moved a scale (pan, zoom, scale keys) or turned a curve, the
    // grid or the readout's place (keys): an open "Escalas" shows it, so
    // that its "Aplicar" keeps the curves and the axis of the same band and
    // undoes nothing the keys did. Fields and boxes the plot did not change
    // keep what was typed or ticked in them.
    void follow_scales();

    std::unique_ptr<Program> program_;
    // What the plot showed at its last repaint.
    struct Seen {
        std::array<suite::Real, 7> scale_min{}, scale_max{};
        std::array<bool, 7> plot_curve{};
        bool show_grid = false, superpose = false, on_top = false;
    } seen_;
};

}  // namespace moratw
