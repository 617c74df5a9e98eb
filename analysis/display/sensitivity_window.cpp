#include "analysis/display/sensitivity_window.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "analysis/display/program.h"
#include "analysis/display/response_plot.h"
#include "analysis/shell/sensitivity_list.h"

namespace moratw {

std::vector<std::string> sensitivity_lines(Program& prog) {
    const auto& c = prog.circuit;
    const auto& e = prog.engine;
    const auto& sw = prog.sweep;
    const int p = sw.cursor;
    if (!sw.prepared || p < 0 || p > c.segments || !sw.points[p].computed ||
        e.block_size != c.element_count || p >= e.block_count)
        return {};
    return analysis::sensitivity_list(c, prog.engine, sw, prog.settings);
}

TForm7::TForm7(Program& program, QWidget* parent) : QWidget(parent, Qt::Window), program_(program) {
    setObjectName("Form7");
    setWindowTitle("Sensibilidades");
    resize(620, 420);
    Label1 = new QLabel("Frequência", this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(8, 8, 90, 20);
    Button1 = new QPushButton("<", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(8, 32, 42, 27);
    Button2 = new QPushButton(">", this);
    Button2->setObjectName("Button2");
    Button2->setGeometry(56, 32, 42, 27);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFont(analysis::plot_font());
    connect(Button1, &QPushButton::clicked, this, &TForm7::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm7::Button2Click);
}

void TForm7::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Memo1->setGeometry(106, 0, width() - 106, height());
}

void TForm7::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormPaint();
}

void TForm7::FormPaint() {
    program_.handle(this, [&] {
        Memo1->clear();
        for (const std::string& line : sensitivity_lines(program_))
            Memo1->appendPlainText(QString::fromStdString(line));
        Memo1->moveCursor(QTextCursor::Start);
    });
}

void TForm7::Button1Click() {
    if (program_.sweep.cursor > 0) --program_.sweep.cursor;
    FormPaint();
}

void TForm7::Button2Click() {
    if (program_.sweep.cursor < program_.sweep.last_point) ++program_.sweep.cursor;
    FormPaint();
}

}  // namespace moratw
