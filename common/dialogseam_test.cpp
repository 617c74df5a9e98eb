// The real seam's file dialog: set up from the request, and never reading
// the files it lists.
#include "common/dialogseam.h"

#include <gtest/gtest.h>

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QTest>

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
    EXPECT_EQ(icons->type(QFileInfo(dir + "/picture")), "File");
    EXPECT_EQ(icons->type(QFileInfo(dir + "/rc.cir")), "cir File");
    EXPECT_EQ(icons->type(QFileInfo(dir + "/sub")), "Folder");
    EXPECT_FALSE(icons->icon(QFileInfo(dir + "/picture")).isNull());

    // The list (and the name completer, which shares its model) says the same.
    const auto* model = dialog->findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    QTRY_COMPARE(model->type(model->index(dir + "/picture")), QString("File"));
    QTRY_COMPARE(model->type(model->index(dir + "/sub")), QString("Folder"));
}

}  // namespace
}  // namespace suite
