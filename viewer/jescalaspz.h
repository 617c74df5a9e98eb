// Tjescalaspz: the viewer's scales dialog ("Escalas").
//
// Modal: "Aplicar" accepts the dialog when the three fields hold numbers
// and the width is positive; closing it any other way changes nothing.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "common/tnedit.h"
#include "viewer/display.h"

namespace kelmaw {

class Tjescalaspz : public QDialog {
    Q_OBJECT
public:
    explicit Tjescalaspz(QWidget* parent = nullptr);

    void Button1Click();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    suite::TNEdit* NEremin = nullptr;
    suite::TNEdit* NEimmin = nullptr;
    suite::TNEdit* NEdelta = nullptr;
    QPushButton* Button1 = nullptr;
};

// The message of a width that is not positive.
inline const QString kWidthMessage = QString::fromStdString(viewer::kWidthMessage);

}  // namespace kelmaw
