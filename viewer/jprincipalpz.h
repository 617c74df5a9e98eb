// Tjprincipalpz: the viewer's main window ("Pólos e Zeros").
//
// Holds the table store and the display state, draws them in the paint box
// `cgrafico`, and handles the menu, the keys and the mouse zoom. It creates
// the message window and the scales dialog; the start sequence runs at the
// first activation (FormActivate).
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QPoint>
#include <QString>

#include "common/paintbox.h"
#include "common/planeplot.h"
#include "viewer/display.h"
#include "viewer/jescalaspz.h"
#include "viewer/jmensagenspz.h"
#include "viewer/tablestore.h"

namespace kelmaw {

class Tjprincipalpz : public QMainWindow {
    Q_OBJECT
public:
    explicit Tjprincipalpz(QWidget* parent = nullptr);
    ~Tjprincipalpz() override;

    // Event handlers.
    void FormActivate();
    void Lertabela1Click();
    void Mensagens1Click();
    void Terminar1Click();
    void cgraficoPaint();
    void FormKeyPress(QChar key);
    void FormKeyDown(int key);
    void cgraficoMouseDown(int x, int y);
    void cgraficoMouseMove(int x, int y);
    void cgraficoMouseUp(int x, int y);

    // Operations.
    void report(const QString& line);
    void read_file();       // open dialog, then the reader, then repaint
    void repaint_plot();    // the whole picture, at once
    void show_selection();  // panel and cursor only
    void scales_dialog();   // Esc
    void fit_all();         // "t": every table in use, with its deviations

    viewer::TableStore store;
    viewer::DisplayState display;
    QPoint cursor_position = suite::kNoCursor;
    bool dragging = false;
    QPoint drag_start, drag_corner;

    suite::PaintBox* cgrafico = nullptr;
    QMenu* Menu1 = nullptr;
    QAction* Lertabela1 = nullptr;
    QAction* Mensagens1 = nullptr;
    QAction* Terminar1 = nullptr;
    Tjmensagenspz* jmensagenspz = nullptr;
    Tjescalaspz* jescalaspz = nullptr;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void apply(const viewer::WindowRequest& w);
    void values_box(bool below);
    suite::PlaneMapping mapping() const;

    bool activated_ = false;
    bool band_drawn_ = false;  // the rubber band is on the screen
    QString last_directory_;
};

}  // namespace kelmaw
