// The program's contacts with the desktop that make a sound or wait for the user: the beep,
// the information box, the two file choosers and the About box.
//
// The main frame owns the one DesktopServices object of the program and hands it to the
// board view; both call it on the user-interface thread only. Tests put in an implementation
// that records the calls and answers at once, so that nothing they run ever waits on a modal
// window.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include <QString>

#include "records/game_file.h"

class QFileDialog;
class QWidget;

namespace wintarvo {

// What the save chooser hands back: the path, and the format of the filter that was selected
// when the user accepted (formatForSaving weighs it against the name's ending).
struct SaveChoice {
    std::string path;
    GameFileFormat filter = GameFileFormat::Record;
};

class DesktopServices {
  public:
    virtual ~DesktopServices() = default;

    // The default system sound.
    virtual void beep() = 0;
    // A modal information box with an OK button; returns when it is closed.
    virtual void showInformation(QWidget* owner, const QString& text, const QString& caption) = 0;
    // Modal choosers for game files: the chosen file's full path in the file system's
    // encoding, or nothing when the user cancelled.
    virtual std::optional<std::string> chooseFileToOpen(QWidget* owner) = 0;
    virtual std::optional<SaveChoice> chooseFileToSave(QWidget* owner) = 0;
    // The modal About box; returns when it is closed.
    virtual void showAbout(QWidget* owner) = 0;
};

// The real thing: the system beep, QMessageBox, QFileDialog and the AboutBox.
class QtDesktopServices : public DesktopServices {
  public:
    void beep() override;
    void showInformation(QWidget* owner, const QString& text, const QString& caption) override;
    std::optional<std::string> chooseFileToOpen(QWidget* owner) override;
    std::optional<SaveChoice> chooseFileToSave(QWidget* owner) override;
    void showAbout(QWidget* owner) override;
};

// The chooser for game files, set up but not shown: modal, owned by owner, the system's own
// titles and no starting folder, "Amazon Files (*.amz)" preselected before "SGF Files (*.sgf)"
// and "All Files (*)", names typed without an extension get "amz" (or "sgf" while the SGF
// filter is selected), and saving over a file asks first.
std::unique_ptr<QFileDialog> makeRecordFileDialog(QWidget* owner, bool forSaving);

// The filters' texts.
inline constexpr const char* RECORD_FILTER = "Amazon Files (*.amz)";
inline constexpr const char* SGF_FILTER = "SGF Files (*.sgf)";

}  // namespace wintarvo
