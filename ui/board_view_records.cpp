// The board view's record file commands: Open replays a file's moves from the starting
// position through the legality test (a file it cannot use is refused with a beep and a box
// that names the file and the cause), Save writes the whole line of play.
#include "diag/trace.h"
#include "records/record_file.h"
#include "ui/board_view.h"
#include "ui/desktop_services.h"

namespace wintarvo {

void BoardView::onOpenGame(const std::string& path) {
    if (thinking_) return;
    // 1-3. A file that cannot be read, or holds no move, changes nothing; the box says why.
    traceLine("Open: " + path);
    RecordFile record;
    ReadFailure failure = ReadFailure::None;
    if (!record.readRecord(path, failure)) {
        refuseOpen(path, failure == ReadFailure::None ? "the file is empty" : readFailureText(failure));
        return;
    }
    MoveList moves;
    if (!record.getMoves(moves) || moves.empty()) {
        refuseOpen(path, "it holds no moves");
        return;
    }
    // 4.
    movesPlayed_.clear();
    movesUndone_.clear();
    document_.newGame();
    updateStatus();
    // 5. A move that is not legal at its turn is skipped; the ones after it are still tried.
    for (const Move& m : moves) {
        if (document_.playMove(m)) {
            shownPosition_.applyMove(m);
            recordMove(m);
        }
    }
    // 6. No last move is marked after loading.
    document_.setPosition(shownPosition_);
    updateStatus();
}

void BoardView::refuseOpen(const std::string& path, const std::string& cause) {
    beep();
    desktop_.showInformation(window(), QString::fromLocal8Bit("Cannot open " + path + ": " + cause + "."),
                             "WinTarvo");
}

void BoardView::onSaveGame(const std::string& path) {
    if (thinking_) return;
    traceLine("Save: " + path);
    // The whole line: the moves played, then the ones stepped back over in game order.
    MoveList line = movesPlayed_;
    line.insert(line.end(), movesUndone_.rbegin(), movesUndone_.rend());
    if (line.empty()) {
        beep();
        return;
    }
    RecordFile record;
    record.setMoves(line);
    if (!record.writeRecord(path)) beep();
}

}  // namespace wintarvo
