// TNEdit: the numeric edit field of the analysis program and the viewer.
//
// A single-line edit box that keeps a typed value beside the text the user
// sees. Dialogs write values through the setters (which refresh the text)
// and read the stored value back; they never parse the text themselves.
// When the field loses the focus inside its window, the text is converted:
// on success the value is stored and the text left as typed; on failure the
// error box shows the text followed by " is not a valid number", the value
// is kept and the focus returns to the field. A click that moved the focus
// away is swallowed then, so a dialog's button never acts on a bad field.
//
//   auto* f = new TNEdit(form);
//   f->set_field_type(int_field);
//   f->set_panel_int(400);           // text "400"
//   ... user types, presses a button ...
//   int n = f->panel_int();
#pragma once

#include <QLineEdit>
#include <cstdint>

#include "common/real.h"

class QAbstractButton;

namespace suite {

enum tipo_campo { real_field = 0, int_field = 1, text_field = 2 };

class TNEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TNEdit(QWidget* parent = nullptr);

    Real panel_real() const { return panel_real_; }
    void set_panel_real(Real x);
    std::int32_t panel_int() const { return panel_int_; }
    void set_panel_int(std::int32_t n);
    tipo_campo field_type() const { return field_type_; }
    void set_field_type(tipo_campo t);

    // The exit conversion. Returns false, after showing the error, when the
    // text is not a number of the field's type.
    bool exit_field();

signals:
    // The control's normal exit processing: emitted after a successful exit.
    void exited();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    Real panel_real_ = 0;
    std::int32_t panel_int_ = 0;
    tipo_campo field_type_ = real_field;
    bool in_exit_ = false;
};

// Makes `button` the default button of `form`: Return or Enter pressed in
// the form, where no control takes the key itself, presses it. A numeric
// field that has the focus is converted first, as a click on the button
// would do by moving the focus; a bad text shows its error and presses
// nothing.
void set_default_button(QWidget* form, QAbstractButton* button);

}  // namespace suite
