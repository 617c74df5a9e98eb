// Start-up of the analysis program: the records and the eleven windows,
// created in their order, only the main window shown.
//
//   QApplication app(argc, argv);
//   moratw::Moratw program;   // creates and wires the windows
//   program.show();
//   return app.exec();
#pragma once

#include <memory>

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
    std::unique_ptr<Program> program_;
};

}  // namespace moratw
