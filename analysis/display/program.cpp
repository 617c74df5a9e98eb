#include "analysis/display/program.h"

#include "common/dialogseam.h"
#include "common/errors.h"

namespace moratw {

bool Program::handle(QWidget* parent, const std::function<void()>& body) {
    if (failed) return false;
    try {
        body();
        return true;
    } catch (const suite::FatalError& e) {
        failed = true;
        if (fatal_error) fatal_error(e.what());
    } catch (const suite::IoError& e) {
        suite::dialog_seam().error_box(parent, QString::fromStdString(e.portuguese()));
    }
    return false;
}

}  // namespace moratw
