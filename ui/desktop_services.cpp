#include "ui/desktop_services.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "ui/about_box.h"

namespace wintarvo {
namespace {

// Both choosers: modal, owned by the frame, the system's own titles, no starting folder.
std::optional<std::string> chooseFile(QWidget* owner, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilters(QStringList{RECORD_FILE_FILTER, ALL_FILES_FILTER});
    dialog.selectNameFilter(RECORD_FILE_FILTER);
    dialog.setDefaultSuffix(RECORD_FILE_SUFFIX);
    // Overwriting an existing file is confirmed by the dialog (QFileDialog's default).
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return QFile::encodeName(files.first()).toStdString();
}

}  // namespace

void QtDesktopServices::beep() {
    QApplication::beep();
}

void QtDesktopServices::showInformation(QWidget* owner, const QString& text,
                                        const QString& caption) {
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

std::optional<std::string> QtDesktopServices::chooseFileToOpen(QWidget* owner) {
    return chooseFile(owner, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtDesktopServices::chooseFileToSave(QWidget* owner) {
    return chooseFile(owner, QFileDialog::AcceptSave);
}

void QtDesktopServices::showAbout(QWidget* owner) {
    AboutBox box(owner);
    box.exec();
}

}  // namespace wintarvo
