#include "analysis/shell/startup.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>

#include "analysis/display/program.h"
#include "analysis/display/response_window.h"
#include "analysis/display/scales_dialog.h"
#include "analysis/display/sensitivity_window.h"
#include "analysis/shell/error_window.h"
#include "analysis/shell/main_window.h"
#include "analysis/shell/output_node_dialog.h"
#include "analysis/shell/settings_dialogs.h"

namespace moratw {
namespace {

// The windows of the pole and zero deviations, until their own forms come.
QWidget* plain_window(const char* name, const QString& caption, int width, int height) {
    auto* w = new QWidget(nullptr, Qt::Window);
    w->setObjectName(name);
    w->setWindowTitle(caption);
    w->resize(width, height);
    return w;
}

}  // namespace

Moratw::Moratw() : program_(std::make_unique<Program>()) {
    QCoreApplication::setApplicationName("Moratw");
    Program& p = *program_;
    Form1 = new TForm1(p);
    Form2 = new TForm2;
    Form3 = new TForm3(p);
    Form4 = new TForm4(p);
    Form5 = new TForm5(p, *Form4);
    Form6 = new TForm6(p);
    Form7 = new TForm7(p);
    Form8 = new TForm8(p);
    Form9 = new TForm9(p);
    Form10 = plain_window("Form10", "Sensibilidades de pólos e zeros", 600, 480);
    Form11 = plain_window("Form11", "Desvios dos pólos ou zeros", 600, 480);

    Form1->Form2 = Form2;
    Form1->Form3 = Form3;
    Form1->Form4 = Form4;
    Form1->Form5 = Form5;
    Form1->Form6 = Form6;
    Form1->Form7 = Form7;
    Form1->Form8 = Form8;
    Form1->Form9 = Form9;
    Form1->Form10 = Form10;
    Form1->Form11 = Form11;
    p.log = [this](const std::string& line) { Form1->log(line); };
    p.fatal_error = [this](const std::string& message) { Form1->fatal_error(message); };
    Form3->analysis_started = [this] { Form1->analysis_started(); };
    Form4->show_sensitivities = [this] {
        Form7->FormPaint();
        Form7->show();
        Form7->raise();
    };
    // After every repaint of the plot: an open sensitivity list follows
    // the cursor, an open "Escalas" the scales.
    Form4->refresh_sensitivities = [this] {
        if (Form7->isVisible()) Form7->FormPaint();
        follow_scales();
    };
    seen_ = {p.sweep.scale_min, p.sweep.scale_max,           p.view.plot_curve,
             p.view.show_grid,  p.view.superpose_deviations, p.view.readout_on_top};
    // A hidden response window draws itself when it is shown next.
    p.plot_changed = [this] {
        if (Form4->isVisible())
            Form4->repaint_plot();
        else
            Form4->PaintBox1->invalidate();
        if (Form7->isVisible()) Form7->FormPaint();
    };
}

void Moratw::follow_scales() {
    const analysis::Sweep& sw = program_->sweep;
    const analysis::PlotView& view = program_->view;
    TForm5& d = *Form5;
    const bool open = d.isVisible();
    suite::TNEdit* const mins[] = {d.NEfmin, d.NEmmin, d.NEfamin, d.NEtmin, d.NEdmmin, d.NEdfamin, d.NErmin};
    suite::TNEdit* const maxs[] = {d.NEfmax, d.NEmmax, d.NEfamax, d.NEtmax, d.NEdmmax, d.NEdfamax, d.NErmax};
    for (int k = 0; k <= analysis::q_noise; ++k) {
        if (open && sw.scale_min[k] != seen_.scale_min[k]) mins[k]->set_panel_real(sw.scale_min[k]);
        if (open && sw.scale_max[k] != seen_.scale_max[k]) maxs[k]->set_panel_real(sw.scale_max[k]);
    }
    // The keys F, T, G, E and B.
    QCheckBox* const curves[] = {nullptr, d.CBmdl, d.CBfas, d.CBtg, d.CBdm, d.CBdf, d.CBru};
    for (int k = 1; k <= analysis::q_noise; ++k)
        if (open && view.plot_curve[k] != seen_.plot_curve[k]) curves[k]->setChecked(view.plot_curve[k]);
    if (open && view.show_grid != seen_.show_grid) d.CBgrade->setChecked(view.show_grid);
    if (open && view.superpose_deviations != seen_.superpose)
        d.CBsuper->setChecked(view.superpose_deviations);
    if (open && view.readout_on_top != seen_.on_top) d.CBacima->setChecked(view.readout_on_top);
    seen_ = {sw.scale_min,       sw.scale_max, view.plot_curve, view.show_grid, view.superpose_deviations,
             view.readout_on_top};
}

Moratw::~Moratw() {
    QWidget* windows[] = {Form11, Form10, Form9, Form8, Form7, Form6, Form5, Form4, Form3, Form2, Form1};
    for (QWidget* w : windows) delete w;
}

// Every window opens centred on the screen; the response window a little
// below and to the right, so that the log stays in sight.
void Moratw::show() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QPoint centre = screen->availableGeometry().center();
        QWidget* windows[] = {Form1, Form2, Form3, Form4, Form5, Form6, Form7, Form8, Form9, Form10, Form11};
        for (QWidget* w : windows) {
            QRect frame(QPoint(0, 0), w->size());
            frame.moveCenter(w == Form4 ? centre + QPoint(60, 60) : centre);
            w->move(frame.topLeft());
        }
    }
    Form1->show();
}

}  // namespace moratw
