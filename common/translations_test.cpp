#include "common/translations.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace suite {
namespace {

// The standard dialogs as the analysis program and the viewer show them.
TEST(Portuguese, StandardDialogsAndButtons) {
    ASSERT_TRUE(speak_portuguese(*QCoreApplication::instance()));
    EXPECT_TRUE(speak_portuguese(*QCoreApplication::instance()));  // once is enough
    QMessageBox question(QMessageBox::Question, "Morat", "?",
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(question.button(QMessageBox::Yes)->text().remove('&'), "Sim");
    EXPECT_EQ(question.button(QMessageBox::No)->text().remove('&'), QString::fromUtf8("Não"));
    EXPECT_EQ(question.button(QMessageBox::Cancel)->text().remove('&'), "Cancelar");

    QFileDialog open;
    open.setOption(QFileDialog::DontUseNativeDialog);
    open.setAcceptMode(QFileDialog::AcceptOpen);
    auto* buttons = open.findChild<QDialogButtonBox*>();
    ASSERT_TRUE(buttons);
    QStringList texts;
    for (QAbstractButton* b : buttons->buttons()) texts << b->text().remove('&');
    EXPECT_TRUE(texts.contains("Abrir")) << texts.join(", ").toStdString();
    EXPECT_TRUE(texts.contains("Cancelar")) << texts.join(", ").toStdString();
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), "Salvar como");
}

}  // namespace
}  // namespace suite
