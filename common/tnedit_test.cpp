#include "common/tnedit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "common/dialogseam.h"

namespace suite {
namespace {

// A form with one field and a button, shown and active.
class Form : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&form);
        field = new TNEdit(&form);
        button = new QPushButton("OK", &form);
        layout->addWidget(field);
        layout->addWidget(button);
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
        QObject::connect(field, &TNEdit::exited, [this] { ++exits; });
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        field->setFocus();
        ASSERT_TRUE(field->hasFocus());
    }

    // Types `text` over the field's text and leaves with Tab.
    void type_and_leave(const QString& text) {
        field->selectAll();
        QTest::keyClicks(field, text);
        if (text.isEmpty()) field->clear();
        QTest::keyClick(field, Qt::Key_Tab);
    }

    RecordingDialogSeam seam;
    ScopedDialogSeam scoped{seam};
    QWidget form;
    TNEdit* field = nullptr;
    QPushButton* button = nullptr;
    int clicks = 0;
    int exits = 0;
};

TEST_F(Form, RealFieldStoresTheValueAndKeepsTheText) {
    field->set_field_type(real_field);
    type_and_leave("1e3");
    EXPECT_EQ(field->panel_real(), 1000.0L);
    EXPECT_EQ(field->text(), "1e3");
    EXPECT_TRUE(button->hasFocus());
    EXPECT_TRUE(seam.errors.isEmpty());
    EXPECT_EQ(exits, 1);
}

TEST_F(Form, BadTextsRaiseTheErrorAndKeepFocusAndValue) {
    struct Row {
        tipo_campo type;
        const char* text;
    };
    const Row rows[] = {{int_field, "2.5"},  {int_field, "2147483648"}, {int_field, "-2147483649"},
                        {int_field, ""},     {real_field, ""},          {real_field, "2,5"},
                        {real_field, "10k"}, {real_field, "1e"},        {real_field, "12x"}};
    for (const auto& r : rows) {
        seam.errors.clear();
        field->set_field_type(r.type);
        field->set_panel_int(17);
        field->set_panel_real(0.25L);
        type_and_leave(r.text);
        ASSERT_EQ(seam.errors.size(), 1) << r.text;
        EXPECT_EQ(seam.errors[0], QString(r.text) + " is not a valid number");
        EXPECT_TRUE(field->hasFocus()) << r.text;
        EXPECT_EQ(field->panel_int(), 17);
        EXPECT_EQ(field->panel_real(), 0.25L);
        EXPECT_EQ(field->text(), r.text);
    }
    EXPECT_EQ(exits, 0);
}

TEST_F(Form, IntegerFieldTakesThe32BitRange) {
    field->set_field_type(int_field);
    type_and_leave("-2147483648");
    EXPECT_EQ(field->panel_int(), -2147483647 - 1);
    EXPECT_TRUE(seam.errors.isEmpty());
}

TEST_F(Form, TextFieldNeverFails) {
    field->set_field_type(text_field);
    field->set_panel_real(3);
    type_and_leave("anything, 1k");
    EXPECT_TRUE(seam.errors.isEmpty());
    EXPECT_EQ(field->panel_real(), 3);
    EXPECT_TRUE(button->hasFocus());
}

TEST_F(Form, ClickOnAButtonAfterABadTextDoesNotClick) {
    field->set_field_type(real_field);
    field->selectAll();
    QTest::keyClicks(field, "1,5");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(seam.errors, QStringList{"1,5 is not a valid number"});
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(field->hasFocus());
    // With a good text the same click goes through.
    field->selectAll();
    QTest::keyClicks(field, "1.5");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(field->panel_real(), 1.5L);
}

// Answers the next real error box, once it is up, and records its text.
void answer_error_box_soon(QString* text) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        *text = box->text();
        box->accept();
        timer->deleteLater();
    });
    timer->start(20);
}

// With a real modal error box the release of the click that left the
// field goes to the box's window, never to the button: the box's nested
// event loop runs between the press and whatever the user does next.
TEST_F(Form, AfterARealErrorBoxTheNextClickActs) {
    suite::set_dialog_seam(nullptr);  // the real box
    field->set_field_type(real_field);
    field->selectAll();
    QTest::keyClicks(field, "1,5");
    QString shown;
    answer_error_box_soon(&shown);
    QTest::mousePress(button, Qt::LeftButton);  // the release is lost in the box
    // The window system gives the form back its activation (offscreen has no
    // window manager to do it).
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(shown, "1,5 is not a valid number");
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(button->isDown());
    EXPECT_TRUE(field->hasFocus());
    // The user mends the text and clicks once: that click acts.
    field->selectAll();
    QTest::keyClicks(field, "1.5");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(field->panel_real(), 1.5L);
    // A bad text again, the release arriving after the box: still no click,
    // and the click after it acts.
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, "x");
    answer_error_box_soon(&shown);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_TRUE(field->hasFocus());
    field->selectAll();
    QTest::keyClicks(field, "2");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
}

// A focus taken "by the mouse" without a press reaching the program (a
// press the platform kept for itself): once the event loop has run, the
// next click of the user is not swallowed.
TEST_F(Form, NoClickIsSwallowedOnceTheEventLoopRan) {
    field->set_field_type(int_field);
    field->selectAll();
    QTest::keyClicks(field, "7x");
    button->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(seam.errors.size(), 1);
    EXPECT_TRUE(field->hasFocus());
    QTest::qWait(5);
    field->selectAll();
    QTest::keyClicks(field, "7");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(field->panel_int(), 7);
}

TEST_F(Form, ReturnPressesTheDefaultButtonAfterConvertingTheField) {
    set_default_button(&form, button);
    field->set_field_type(real_field);
    field->selectAll();
    QTest::keyClicks(field, "2e-3");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(field->panel_real(), 2e-3L);
    field->selectAll();
    QTest::keyClicks(field, "2e-");
    QTest::keyClick(field, Qt::Key_Enter);
    EXPECT_EQ(seam.errors, QStringList{"2e- is not a valid number"});
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(field->hasFocus());
    // A check box with the focus lets Return through to the form too.
    auto* box = new QCheckBox("x", &form);
    box->show();
    box->setFocus();
    field->setText("3");
    field->exit_field();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(clicks, 2);
}

TEST_F(Form, SettersRefreshOnlyTheTextOfTheirType) {
    field->set_field_type(real_field);
    field->set_panel_real(0.2L);
    EXPECT_EQ(field->text(), "0.2");
    field->set_panel_int(400);  // a real field keeps its text
    EXPECT_EQ(field->text(), "0.2");
    EXPECT_EQ(field->panel_int(), 400);
    field->set_panel_real(1e-7L);
    EXPECT_EQ(field->text(), "1E-7");
    field->set_field_type(int_field);
    EXPECT_EQ(field->text(), "400");
    field->set_panel_real(5);  // an integer field keeps its text
    EXPECT_EQ(field->text(), "400");
    field->set_field_type(text_field);
    EXPECT_EQ(field->text(), "400");
    field->set_field_type(real_field);
    EXPECT_EQ(field->text(), "5");
}

TEST_F(Form, SetterTextsReadBackExactly) {
    field->set_field_type(real_field);
    for (Real x : {0.2L, 400.0L, 1e-7L, -3.0103L, 1.5e20L, 6.28e6L / 75.0L}) {
        field->setFocus();
        field->set_panel_real(x);
        const QString shown = field->text();
        QTest::keyClick(field, Qt::Key_Tab);
        EXPECT_TRUE(seam.errors.isEmpty()) << shown.toStdString();
        EXPECT_EQ(field->text(), shown);
        EXPECT_NEAR(static_cast<double>(field->panel_real() / x), 1.0, 1e-14);
    }
}

}  // namespace
}  // namespace suite
