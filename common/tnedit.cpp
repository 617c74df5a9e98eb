#include "common/tnedit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

#include "common/dialogseam.h"
#include "common/numtext.h"

namespace suite {
namespace {

// Swallows the press of the click that took the focus from a field whose
// text failed, so that the clicked control does not act. That press is
// still on its way when the field loses the focus (the focus moves first),
// and it is delivered right after the error box, before control returns
// to the event loop; a release that follows finds the control not pressed
// and does nothing. The filter ends at that press or when the event loop
// runs again, so the next click of the user always goes through, whether
// a real error box swallowed the release of the first click or not.
class SwallowPress : public QObject {
public:
    SwallowPress() {
        QApplication::instance()->installEventFilter(this);
        QTimer::singleShot(0, this, [this] { finish(); });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const auto type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick) return false;
        finish();
        return true;
    }

private:
    void finish() {
        QApplication::instance()->removeEventFilter(this);
        deleteLater();
    }
};

// Return and Enter that reach the form unhandled press its default button.
class DefaultButton : public QObject {
public:
    DefaultButton(QWidget* form, QAbstractButton* button) : QObject(form), form_(form), button_(button) {
        form->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != form_ || event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        if (!button_ || !button_->isEnabled() || !button_->isVisible()) return false;
        if (auto* field = qobject_cast<TNEdit*>(QApplication::focusWidget()))
            if (field->window() == form_ && !field->exit_field()) return true;
        button_->click();
        return true;
    }

private:
    QWidget* form_;
    QPointer<QAbstractButton> button_;
};

}  // namespace

void set_default_button(QWidget* form, QAbstractButton* button) { new DefaultButton(form, button); }

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
    if (reason == Qt::MouseFocusReason && thief && thief != this) new SwallowPress;
    setFocus(Qt::OtherFocusReason);
    in_exit_ = false;
}

}  // namespace suite
