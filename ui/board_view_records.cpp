// The board view's game file commands: Open replays a file's moves from the starting position
// through the legality test, Save writes the whole line of play. Record files (".amz") and SGF
// records are told apart by their content (game_file.h). A file Open cannot use is refused with
// a beep and a box that names the file and the cause; so is a save that fails, for whatever
// reason, so that nobody takes a game for saved that is not.
#include <QFile>
#include <QString>

#include "diag/trace.h"
#include "records/game_file.h"
#include "records/sgf_record.h"
#include "ui/board_view.h"
#include "ui/desktop_services.h"
#include "ui/version_info.h"

namespace wintarvo {

void BoardView::onOpenGame(const std::string& path) {
    if (thinking_) return;
    // 1-3. A file that cannot be read, or holds no move, changes nothing; the box says why.
    traceLine("Open: " + path);
    GameFile file;
    std::string error;
    if (!readGameFile(path, file, error) || !file.holdsMoves()) {
        beep();
        tellRefusal("Cannot open", path, error.empty() ? std::string(NO_MOVES_CAUSE) : error);
        return;
    }
    // 4.
    movesPlayed_.clear();
    movesUndone_.clear();
    origin_.openedWith(file.info);
    document_.newGame();
    updateStatus();
    // 5. A move that is not legal at its turn is skipped; the ones after it are still tried
    //    (the reader has left those out already).
    for (const Move& m : file.moves) {
        if (document_.playMove(m)) {
            shownPosition_.applyMove(m);
            recordMove(m);
        }
    }
    // 6. No last move is marked after loading.
    document_.setPosition(shownPosition_);
    updateStatus();
}

void BoardView::onSaveGame(const std::string& path) {
    onSaveGame(path, formatForSaving(path, GameFileFormat::Record));
}

void BoardView::onSaveGame(const std::string& path, GameFileFormat format) {
    if (thinking_) return;
    traceLine("Save: " + path);
    // The whole line: the moves played, then the ones stepped back over in game order.
    MoveList line = movesPlayed_;
    line.insert(line.end(), movesUndone_.rbegin(), movesUndone_.rend());
    if (line.empty()) {
        beep();
        return;
    }
    SgfGameInfo info;
    std::string cause;
    if (!origin_.infoForSaving(format, info, cause)) {
        beep();
        tellRefusal("Cannot save", path, cause);
        return;
    }
    std::string error;
    if (!writeGameFile(path, format, line, info, error)) {
        beep();
        tellRefusal("Cannot save", path, error);
    }
}

void BoardView::tellRefusal(const char* what, const std::string& path, const std::string& cause) {
    const QString text = QString("%1 %2: %3.")
                             .arg(what, QFile::decodeName(QByteArray::fromStdString(path)),
                                  QString::fromStdString(cause));
    desktop_.showInformation(window(), text, PROGRAM_NAME);
}

}  // namespace wintarvo
