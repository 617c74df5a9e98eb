// The About box (TForm6): an icon, the program's name and its version line.
#pragma once

#include <QDialog>

class QLabel;

namespace plaxew {

class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Lversion;
};

// The editor's icon: the resistor's picture on white.
QPixmap plaxe_icon(int scale);

}  // namespace plaxew
