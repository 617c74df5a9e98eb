// The real seam's file dialog: set up from the request, and never reading
// the files it lists.
#include "common/dialogseam.h"

#include <gtest/gtest.h>

#include <QAbstractFileIconProvider>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListView>
#include <QSettings>
#include <QStandardPaths>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeView>
#include <filesystem>

#include "common/scratch_dir.h"
#include "common/translations.h"

namespace suite {
namespace {

QString scratch(const char* test) {
    const QString dir = QString::fromStdString(::testing::TempDir()) + "/common_FileDialog_" + test;
    QDir(dir).removeRecursively();
    QDir().mkpath(dir + "/sub");
    return dir;
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(FileDialog, FollowsTheRequest) {
    const QString dir = scratch("FollowsTheRequest");
    FileRequest r;
    r.title = "Read circuit";
    r.filter = "Plaxe circuit files|*.cir|Value lists|*.val";
    r.filter_index = 2;
    r.default_ext = ".val";
    r.file_name = dir + "/rc.val";
    r.must_exist = true;
    const auto open = make_file_dialog(nullptr, r, false);
    EXPECT_EQ(open->windowTitle(), "Read circuit");
    EXPECT_EQ(open->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(open->nameFilters(), (QStringList{"Plaxe circuit files (*.cir)", "Value lists (*.val)"}));
    EXPECT_EQ(open->selectedNameFilter(), "Value lists (*.val)");
    EXPECT_EQ(open->defaultSuffix(), "val");
    EXPECT_EQ(QFileInfo(open->directory().path()).canonicalFilePath(), QFileInfo(dir).canonicalFilePath());
    const auto save = make_file_dialog(nullptr, r, true);
    EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save->fileMode(), QFileDialog::AnyFile);
    EXPECT_FALSE(save->testOption(QFileDialog::DontConfirmOverwrite));  // replacing a file is asked
}

// Guessing a type from a file's contents blocks on special files (reading
// /proc/kmsg waits for the next kernel message), and the dialog with it. A
// file that holds a PNG picture under a name without a suffix shows here
// as a plain "File": its contents were not looked at.
TEST(FileDialog, ListsFilesByTheirNamesOnly) {
    const QString dir = scratch("ListsFilesByTheirNamesOnly");
    write(dir + "/picture", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    write(dir + "/rc.cir", "R1 16705 16449 1\r\n");
    FileRequest r;
    r.filter = "Plaxe circuit files|*.cir|All|*";
    r.filter_index = 2;
    r.file_name = dir + "/rc.cir";
    const auto dialog = make_file_dialog(nullptr, r, false);
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
    const QAbstractFileIconProvider* icons = dialog->iconProvider();
    ASSERT_NE(icons, nullptr);
    // In English, or in Portuguese once the program speaks it (another
    // test of this program may have made it so).
    const bool english =
        QCoreApplication::translate("QFileDialog", "Folder", "All other platforms") == "Folder";
    const QString file = english ? "File" : "Arquivo";
    EXPECT_EQ(icons->type(QFileInfo(dir + "/picture")), file);
    EXPECT_EQ(icons->type(QFileInfo(dir + "/rc.cir")), english ? "cir File" : "Arquivo cir");
    EXPECT_EQ(icons->type(QFileInfo(dir + "/sub")), english ? "Folder" : "Pasta");
    EXPECT_FALSE(icons->icon(QFileInfo(dir + "/picture")).isNull());

    // The list (and the name completer, which shares its model) says the same.
    const auto* model = dialog->findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    QTRY_COMPARE(model->type(model->index(dir + "/picture")), file);
    QTRY_COMPARE(model->type(model->index(dir + "/sub")), english ? QString("Folder") : QString("Pasta"));
}

// The file dialog says nothing in English: the type names of its list,
// its column headings and its dates (a fixed date written with the
// Brazilian short format, in the dialog's own date column).
TEST(Portuguese, FileDialogListsTypesAndDatesInPortuguese) {
    ASSERT_TRUE(speak_portuguese(*QCoreApplication::instance()));
    const testing::ScratchDir dir;
    // The dialog keeps its columns in the user's settings: here in a
    // folder of this test's own, so that no earlier dialog's columns count.
    struct OwnSettings {
        explicit OwnSettings(const QString& folder) {
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
        }
        ~OwnSettings() {
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                               QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        }
    } own_settings(QString::fromStdString(dir.path("settings")));
    const std::string net = dir.write("rc.net", "2\r\n");
    std::filesystem::create_directories(dir.path("sub"));
    dir.write("sub/plain", "");
    // A long type name and a size in kilobytes, wider than the columns' first widths.
    dir.write("notas.relatoriocompleto", std::string(123456, 'x'));
    QFile file(QString::fromStdString(net));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QDateTime when(QDate(2026, 3, 7), QTime(14, 5));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    file.close();
    FileRequest r;
    r.filter = "Netlists|*.net|Todos|*.*";
    r.filter_index = 2;
    r.file_name = QString::fromStdString(net);
    const auto dialog = make_file_dialog(nullptr, r, false);
    const QAbstractFileIconProvider* icons = dialog->iconProvider();
    EXPECT_EQ(icons->type(QFileInfo(QString::fromStdString(net))).toStdString(), "Arquivo net");
    EXPECT_EQ(icons->type(QFileInfo(QString::fromStdString(dir.path("sub")))).toStdString(), "Pasta");
    EXPECT_EQ(icons->type(QFileInfo(QString::fromStdString(dir.path("sub/plain")))).toStdString(), "Arquivo");

    dialog->show();
    auto* list = dialog->findChild<QTreeView*>("treeView");
    ASSERT_NE(list, nullptr);
    QAbstractItemModel* model = list->model();
    QStringList headings;
    for (int c = 0; c < model->columnCount(); ++c)
        headings << model->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headings.join(", ").toStdString(), "Nome, Tamanho, Tipo, Data de modificação");
    QModelIndex row;
    QTRY_VERIFY(
        (row = model->match(model->index(0, 0, list->rootIndex()), Qt::DisplayRole, "rc.net").value(0))
            .isValid());
    EXPECT_EQ(model->index(row.row(), 2, row.parent()).data().toString().toStdString(), "Arquivo net");
    EXPECT_EQ(model->index(row.row(), 3, row.parent()).data().toString().toStdString(), "07/03/2026 14:05");
    // Every column's heading and contents fit without a horizontal scroll
    // bar, and none of size, type and date is cut.
    EXPECT_GE(dialog->width(), file_dialog_width);
    QTRY_VERIFY(list->header()->length() <= list->viewport()->width());
    QModelIndex notes;
    QTRY_VERIFY(
        (notes =
             model->match(model->index(0, 0, list->rootIndex()), Qt::DisplayRole, "notas.relatoriocompleto")
                 .value(0))
            .isValid());
    EXPECT_EQ(model->index(notes.row(), 2, notes.parent()).data().toString().toStdString(),
              "Arquivo relatoriocompleto");
    for (const QModelIndex& name : {row, notes})
        for (int c = 1; c < 4; ++c) {
            const QModelIndex cell = model->index(name.row(), c, name.parent());
            QStyleOptionViewItem option;
            option.initFrom(list);
            QTRY_VERIFY(list->header()->sectionSize(c) >=
                        list->itemDelegateForIndex(cell)->sizeHint(option, cell).width());
            EXPECT_GE(list->header()->sectionSize(c),
                      list->fontMetrics().horizontalAdvance(cell.data().toString()))
                << c;
            EXPECT_GE(list->header()->sectionSize(c), list->header()->sectionSizeHint(c)) << c;
        }
    auto* places = dialog->findChild<QListView*>("sidebar");
    ASSERT_NE(places, nullptr);
    EXPECT_GE(places->width(), places->sizeHintForColumn(0));
}

}  // namespace
}  // namespace suite
