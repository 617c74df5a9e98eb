#include "common/tnedit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPointer>

#include "common/dialogseam.h"
#include "common/numtext.h"

namespace suite {
namespace {

// Swallows the release of the click that took the focus from a field whose
// text failed, so that the clicked control does not act.
class SwallowRelease : public QObject {
public:
    explicit SwallowRelease(QWidget* target) : QObject(target) { target->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonRelease) return false;
        if (auto* button = qobject_cast<QAbstractButton*>(watched)) button->setDown(false);
        watched->removeEventFilter(this);
        deleteLater();
        return true;
    }
};

}  // namespace

TNEdit::TNEdit(QWidget* parent) : QLineEdit(parent) {}

void TNEdit::set_panel_real(Real x) {
    panel_real_ = x;
    if (field_type_ == real_field) setText(QString::fromStdString(format_general(x)));
}

void TNEdit::set_panel_int(std::int32_t n) {
    panel_int_ = n;
    if (field_type_ == int_field) setText(QString::number(n));
}

void TNEdit::set_field_type(tipo_campo t) {
    field_type_ = t;
    if (t == real_field)
        setText(QString::fromStdString(format_general(panel_real_)));
    else if (t == int_field)
        setText(QString::number(panel_int_));
}

bool TNEdit::exit_field() {
    if (field_type_ == text_field) return true;
    const std::string typed = text().toStdString();
    bool ok = false;
    if (field_type_ == int_field) {
        std::int32_t n = 0;
        ok = parse_int(typed, n);
        if (ok) panel_int_ = n;
    } else {
        Real x = 0;
        ok = parse_real(typed, x);
        if (ok) panel_real_ = x;
    }
    if (!ok) dialog_seam().error_box(window(), text() + " is not a valid number");
    return ok;
}

void TNEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Leaving the window or opening a menu is not leaving the field.
    const auto reason = event->reason();
    if (in_exit_ || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
        reason == Qt::MenuBarFocusReason)
        return;
    in_exit_ = true;
    QPointer<QWidget> thief = QApplication::focusWidget();
    if (exit_field()) {
        in_exit_ = false;
        emit exited();
        return;
    }
    if (reason == Qt::MouseFocusReason && thief && thief != this) new SwallowRelease(thief);
    setFocus(Qt::OtherFocusReason);
    in_exit_ = false;
}

}  // namespace suite
