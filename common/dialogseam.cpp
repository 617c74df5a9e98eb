#include "common/dialogseam.h"

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>
#include <QSplitter>
#include <QTreeView>
#include <algorithm>

namespace suite {
namespace {

DialogSeam* installed = nullptr;

// Qt's own translation of a type name: under its provider's context, or
// under the file dialog's, where older translations keep it ("Folder"
// with the remark "All other platforms").
QString translated(const char* text) {
    for (const char* context : {"QAbstractFileIconProvider", "QFileDialog"})
        for (const char* remark : {static_cast<const char*>(nullptr), "All other platforms"}) {
            const QString t = QCoreApplication::translate(context, text, remark);
            if (t != QLatin1String(text)) return t;
        }
    return QString::fromLatin1(text);
}

QString with_default_ext(const QString& name, const QString& ext) {
    if (ext.isEmpty() || !QFileInfo(name).suffix().isEmpty()) return name;
    return ext.startsWith('.') ? name + ext : name + '.' + ext;
}

// Icons and type names from what a directory listing tells (folder, file,
// the name's suffix), never from a file's contents.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override {
        if (info.isRoot()) return icon(Drive);
        return icon(info.isDir() ? Folder : File);
    }
    // In the program's language: Qt's own texts for these names.
    QString type(const QFileInfo& info) const override {
        if (info.isRoot()) return translated("Drive");
        if (info.isDir()) return translated("Folder");
        const QString suffix = info.suffix();
        return suffix.isEmpty() ? translated("File") : translated("%1 File").arg(suffix);
    }
};

// The date column in the program's locale (QLocale's default), where the
// file system model would take the system's.
class LocalDates : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (files && role == Qt::DisplayRole && index.column() == 3) {
            const QDateTime when = files->lastModified(mapToSource(index));
            return when.isValid() ? QLocale().toString(when, QLocale::ShortFormat) : QString();
        }
        return QIdentityProxyModel::data(index, role);
    }
};

// One for every dialog of the program, kept to its end: a dialog's
// file-system model may still ask it while the dialog goes away.
NameOnlyIconProvider& name_only_icons() {
    static auto* provider = new NameOnlyIconProvider;
    return *provider;
}

FileAnswer run_file_dialog(QWidget* parent, const FileRequest& r, bool save) {
    const std::unique_ptr<QFileDialog> dialog = make_file_dialog(parent, r, save);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    FileAnswer a;
    a.accepted = true;
    a.filter_index = static_cast<int>(qt_filters(r.filter).indexOf(dialog->selectedNameFilter())) + 1;
    a.file_name = with_default_ext(dialog->selectedFiles().first(), r.default_ext);
    return a;
}

}  // namespace

std::unique_ptr<QFileDialog> make_file_dialog(QWidget* parent, const FileRequest& r, bool save) {
    auto dialog = std::make_unique<QFileDialog>(parent, r.title);
    dialog->setIconProvider(&name_only_icons());
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontUseCustomDirectoryIcons);
    dialog->setProxyModel(new LocalDates(dialog.get()));
    // Name, size, type and date side by side without a scroll bar, the
    // last three as wide as what they show, the places beside them whole.
    dialog->resize(std::max(dialog->width(), file_dialog_width), std::max(dialog->height(), 460));
    if (auto* list = dialog->findChild<QTreeView*>("treeView")) {
        QHeaderView* header = list->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int c = 1; c < 4; ++c) header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    }
    if (auto* splitter = dialog->findChild<QSplitter*>("splitter"); splitter && splitter->count() == 2)
        splitter->setSizes({places_width, dialog->width() - places_width});
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile
                             : (r.must_exist ? QFileDialog::ExistingFile : QFileDialog::AnyFile));
    const QStringList filters = qt_filters(r.filter);
    dialog->setNameFilters(filters);
    if (r.filter_index >= 1 && r.filter_index <= filters.size())
        dialog->selectNameFilter(filters[r.filter_index - 1]);
    // A typed name without extension gets the default one before the
    // dialog checks that the file exists.
    if (!r.default_ext.isEmpty())
        dialog->setDefaultSuffix(r.default_ext.startsWith('.') ? r.default_ext.mid(1) : r.default_ext);
    if (!r.file_name.isEmpty()) dialog->selectFile(r.file_name);
    return dialog;
}

DialogSeam& dialog_seam() {
    static QtDialogSeam real;
    return installed ? *installed : real;
}

void set_dialog_seam(DialogSeam* seam) { installed = seam; }

QStringList qt_filters(const QString& pipe_filter) {
    const QStringList parts = pipe_filter.split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    return out;
}

void QtDialogSeam::error_box(QWidget* parent, const QString& message) {
    QMessageBox::critical(parent, QApplication::applicationDisplayName(), message);
}

FileAnswer QtDialogSeam::open_file(QWidget* parent, const FileRequest& request) {
    return run_file_dialog(parent, request, false);
}

FileAnswer QtDialogSeam::save_file(QWidget* parent, const FileRequest& request) {
    return run_file_dialog(parent, request, true);
}

Answer QtDialogSeam::ask(QWidget* parent, const QString& title, const QString& text, bool with_cancel) {
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (with_cancel) buttons |= QMessageBox::Cancel;
    // Every question of the programs asks before replacing or losing
    // something: "Não" is the answer a stray Return gives.
    switch (QMessageBox::question(parent, title, text, buttons, QMessageBox::No)) {
        case QMessageBox::Yes:
            return Answer::yes;
        case QMessageBox::No:
            return Answer::no;
        default:
            return Answer::cancel;
    }
}

void QtDialogSeam::end_program(int code) { QCoreApplication::exit(code); }

FileAnswer StartFileSeam::open_file(QWidget* parent, const FileRequest& request) {
    if (file_name_.isEmpty()) return next_.open_file(parent, request);
    FileAnswer a;
    a.accepted = true;
    a.filter_index = request.filter_index;
    a.file_name = with_default_ext(QFileInfo(file_name_).absoluteFilePath(), request.default_ext);
    file_name_.clear();
    return a;
}

void RecordingDialogSeam::error_box(QWidget*, const QString& message) { errors << message; }

FileAnswer RecordingDialogSeam::open_file(QWidget*, const FileRequest& request) {
    requests << request;
    return file_answers.isEmpty() ? FileAnswer{} : file_answers.takeFirst();
}

FileAnswer RecordingDialogSeam::save_file(QWidget*, const FileRequest& request) {
    requests << request;
    return file_answers.isEmpty() ? FileAnswer{} : file_answers.takeFirst();
}

Answer RecordingDialogSeam::ask(QWidget*, const QString&, const QString& text, bool) {
    questions << text;
    return answers.isEmpty() ? Answer::no : answers.takeFirst();
}

void RecordingDialogSeam::end_program(int code) {
    ++ended;
    end_code = code;
}

}  // namespace suite
