#include "ui/desktop_services.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "ui/about_box.h"

namespace wintarvo {
namespace {

std::optional<std::string> chooseFile(QWidget* owner, bool forSaving) {
    const std::unique_ptr<QFileDialog> dialog = makeRecordFileDialog(owner, forSaving);
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog->selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return QFile::encodeName(files.first()).toStdString();
}

}  // namespace

std::unique_ptr<QFileDialog> makeRecordFileDialog(QWidget* owner, bool forSaving) {
    auto dialog = std::make_unique<QFileDialog>(owner);
    dialog->setModal(true);
    dialog->setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QString records = "Amazon Files (*.amz)";
    dialog->setNameFilters(QStringList{records, "All Files (*)"});
    dialog->selectNameFilter(records);
    dialog->setDefaultSuffix("amz");
    dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    return dialog;
}

void QtDesktopServices::beep() {
    QApplication::beep();
}

void QtDesktopServices::showInformation(QWidget* owner, const QString& text,
                                        const QString& caption) {
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

std::optional<std::string> QtDesktopServices::chooseFileToOpen(QWidget* owner) {
    return chooseFile(owner, false);
}

std::optional<std::string> QtDesktopServices::chooseFileToSave(QWidget* owner) {
    return chooseFile(owner, true);
}

void QtDesktopServices::showAbout(QWidget* owner) {
    AboutBox box(owner);
    box.exec();
}

}  // namespace wintarvo
