#include "ui/desktop_services.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "ui/about_box.h"

namespace wintarvo {
namespace {

// The accepted dialog's first file, or nothing when the user cancelled.
std::optional<std::string> chosenFile(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return QFile::encodeName(files.first()).toStdString();
}

}  // namespace

std::unique_ptr<QFileDialog> makeRecordFileDialog(QWidget* owner, bool forSaving) {
    auto dialog = std::make_unique<QFileDialog>(owner);
    dialog->setModal(true);
    dialog->setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setNameFilters(QStringList{RECORD_FILTER, SGF_FILTER, "All Files (*)"});
    dialog->selectNameFilter(RECORD_FILTER);
    dialog->setDefaultSuffix("amz");
    QFileDialog* shown = dialog.get();
    QObject::connect(shown, &QFileDialog::filterSelected, shown, [shown](const QString& filter) {
        shown->setDefaultSuffix(filter == SGF_FILTER ? "sgf" : "amz");
    });
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
    const std::unique_ptr<QFileDialog> dialog = makeRecordFileDialog(owner, false);
    return chosenFile(*dialog);
}

std::optional<SaveChoice> QtDesktopServices::chooseFileToSave(QWidget* owner) {
    const std::unique_ptr<QFileDialog> dialog = makeRecordFileDialog(owner, true);
    const std::optional<std::string> path = chosenFile(*dialog);
    if (!path) return std::nullopt;
    const bool sgf = dialog->selectedNameFilter() == SGF_FILTER;
    return SaveChoice{*path, sgf ? GameFileFormat::Sgf : GameFileFormat::Record};
}

void QtDesktopServices::showAbout(QWidget* owner) {
    AboutBox box(owner);
    box.exec();
}

}  // namespace wintarvo
