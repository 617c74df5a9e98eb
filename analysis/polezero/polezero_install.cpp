#include "analysis/polezero/polezero_install.h"

#include "analysis/polezero/form11.h"
#include "analysis/polezero/polezero_window.h"
#include "analysis/shell/main_window.h"
#include "analysis/shell/startup.h"

namespace moratw {

TForm10* install_pole_zero_window(Moratw& program) {
    if (auto* form = qobject_cast<TForm10*>(program.Form10)) return form;
    auto* form = new TForm10(program.program());
    delete program.Form10;
    program.Form10 = form;
    program.Form1->Form10 = form;
    // The deviation plot on the window's pole/zero set.
    auto* plot = new TForm11(program.program(), form->pole_zero_set());
    delete program.Form11;
    program.Form11 = plot;
    program.Form1->Form11 = plot;
    form->Form11 = plot;
    return form;
}

}  // namespace moratw
