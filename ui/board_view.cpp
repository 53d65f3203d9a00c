// The board view's life, its window's messages, move entry, the engine's requests and answers,
// the history and the game commands.
#include "ui/board_view.h"

#include <algorithm>

#include <QPainter>
#include <QString>

#include "diag/trace.h"
#include "model/move_generation.h"
#include "model/test_positions.h"
#include "ui/board_view_window.h"
#include "ui/command_ids.h"
#include "ui/desktop_services.h"
#include "ui/move_broadcast.h"
#include "ui/queued_notify_window.h"
#include "ui/status_line.h"

namespace wintarvo {

BoardView::BoardView(DesktopServices& desktop, MoveBroadcast& broadcast)
    : desktop_(desktop),
      broadcast_(broadcast),
      blackBrush_(QColor(0, 0, 0)),
      whiteBrush_(QColor(255, 255, 255)),
      redPen_(QColor(192, 64, 64), 1, Qt::SolidLine),
      bluePen_(QColor(64, 64, 192), 1, Qt::SolidLine),
      thinkingCursor_(Qt::BusyCursor),
      arrowCursor_(Qt::ArrowCursor) {
    shownPosition_.clearBoard();
}

BoardView::~BoardView() {
    // The window normally went with the frame's; if not, it must not outlive its view.
    destroyWindow();
}

// --- the window -----------------------------------------------------------------------------

void BoardView::createWindow(QWidget* parent) {
    window_ = new BoardViewWindow(*this, parent);
    onCreate(window_->height());
}

void BoardView::destroyWindow() {
    if (!window_) return;
    BoardViewWindow* window = window_;
    window_ = nullptr;
    // Cut the window off at once, delete it when control is back in the event loop: this may
    // run inside one of the window's own event handlers.
    window->release();
    window->hide();
    window->deleteLater();
}

QWidget* BoardView::window() const {
    return window_;
}

void BoardView::onCreate(int clientHeight) {
    squareSize_ = clientHeight / 10;
    updateStatus();
}

void BoardView::onSize(int width, int height) {
    squareSize_ = std::min(width, height) / 10;
    invalidate();
}

void BoardView::onMouseMove(int x, int y) {
    if (squareSize_ <= 0) return;
    // Divided as unsigned numbers, so a point left of or above the board lands far outside
    // 0..9 like one right of or below it; all of those are column or row 10, no square.
    const unsigned s = static_cast<unsigned>(squareSize_);
    setHover(static_cast<int>(std::min(static_cast<unsigned>(x) / s, 10u)),
             static_cast<int>(std::min(static_cast<unsigned>(y) / s, 10u)));
}

void BoardView::invalidate() {
    if (window_) window_->update();
}

void BoardView::beep() {
    if (soundOn) desktop_.beep();
}

void BoardView::setStatusText(const std::string& text) {
    if (!window_ || window_->parentWidget() == nullptr) return;
    auto* status = window_->parentWidget()->findChild<StatusLine*>(controlName(ID_STATUS_BAR),
                                                                   Qt::FindDirectChildrenOnly);
    if (status != nullptr) status->setText(QString::fromStdString(text));
}

// --- shared steps ---------------------------------------------------------------------------

void BoardView::recordMove(const Move& m) {
    movesPlayed_.push_back(m);
    movesUndone_.clear();
}

void BoardView::updateStatus() {
    // 1-2.
    const bool over = document_.hasNoLegalMove();
    if (over)
        setStatusText("Game Over");
    else if (thinking_)
        setStatusText("Thinking...");
    // 3.
    document_.getPosition(shownPosition_);
    document_.getLastMove(shownLastMove_);
    // 4.
    if (!over && !thinking_)
        setStatusText("Ply number " + intToString(shownPosition_.arrowCount() + 1));
    // 5.
    invalidate();
}

bool BoardView::checkGameOver() {
    // 1.
    if (!document_.hasNoLegalMove()) return false;
    // 2-3. The side to move has lost.
    Position p;
    document_.getPosition(p);
    const QString text =
        QString("Game Over - ") + (p.sideToMove != 0 ? "White wins" : "Black wins");
    desktop_.showInformation(window_, text, "WinTarvo");
    // 4.
    updateStatus();
    return true;
}

void BoardView::askEngine() {
    // 1-3.
    if (thinking_) {
        beep();
        return;
    }
    if (checkGameOver()) return;
    entry_.reset();
    // 4. Handing over the shown position also clears the document's last move, so no markers
    //    stand on the board while the engine thinks.
    document_.setPosition(shownPosition_);
    // 5.
    document_.depthLimit = depthLimit;
    document_.timeLimit = timeLimit;
    document_.tournamentEngine = tournamentEngine;
    // 6. Without a window no answer could be delivered, so nothing is asked.
    if (window_ && document_.requestThink(window_->notifyHandle(), WM_ENGINE_MOVE)) {
        thinking_ = true;
        replies_.askedFor(shownPosition_);
        updateCursor();
    } else if (window_) {
        // The game is not over, so the engine's thread could not be started. The game goes
        // on by hand; the next request tries again.
        updateStatus();
        beep();
        setStatusText("Engine could not start");
        return;
    }
    // 7.
    updateStatus();
}

// --- input ----------------------------------------------------------------------------------

void BoardView::onClick(int x, int y) {
    // 1-2.
    if (checkGameOver()) return;
    if (thinking_) {
        beep();
        return;
    }
    // 3. Divided as unsigned numbers; a point outside the 10 x 10 squares is no square.
    if (squareSize_ <= 0) return;
    const unsigned column = static_cast<unsigned>(x) / static_cast<unsigned>(squareSize_);
    const unsigned row = static_cast<unsigned>(y) / static_cast<unsigned>(squareSize_);
    if (column > 9 || row > 9) return;
    const Square sq = static_cast<Square>(column + 10 * row);
    // 4.
    const CellCode cell = shownPosition_.cell(sq);
    if (entry_.from < 0) {
        // 5. Nothing picked: only an amazon of the side to move can be.
        const CellCode own = shownPosition_.sideToMove == 0 ? WhiteAmazon : BlackAmazon;
        if (cell == own)
            entry_.from = sq;
        else
            beep();
    } else if (entry_.to < 0) {
        // 6. Amazon picked: a square it reaches becomes the destination; anything else, the
        //    amazon itself included, cancels.
        SquareList reachable;
        destinations(shownPosition_, entry_.from, reachable);
        if (reachable.contains(sq)) {
            entry_.to = sq;
        } else {
            entry_.reset();
            beep();
        }
    } else {
        // 7. Destination chosen: an empty square or the one the amazon left; the legality
        //    test below decides the rest.
        if (sq != entry_.to && (cell == Empty || sq == entry_.from)) {
            entry_.arrow = sq;
        } else {
            entry_.reset();
            beep();
        }
    }
    // 8.
    if (entry_.arrow >= 0) {
        const Move m = entry_;
        entry_.reset();
        if (document_.playMove(m)) {
            shownPosition_.applyMove(m);
            recordMove(m);
            // The request ends with its own status update, which step 9 would only repeat,
            // or overwrite when it has to say that the engine could not start.
            if (autoPlay) {
                askEngine();
                return;
            }
        } else {
            beep();
        }
    }
    // 9.
    updateStatus();
}

void BoardView::onCancelEntry() {
    entry_.reset();
    updateStatus();
}

int BoardView::onEngineMove() {
    // 1.
    thinking_ = false;
    updateCursor();
    // 2-4. The answer belongs to the position the engine was given. A move received from
    //      another copy during the search has changed the game since: the answer is dropped
    //      unread, legal or not, since it was not chosen for this position. Otherwise the
    //      document plays it, and refuses it only if it is not a legal move here.
    Move m;
    const bool played = replies_.answerFits(shownPosition_) && document_.takeEngineMove(m);
    updateStatus();
    const bool replyOwed = replies_.takeWithheldReply();
    if (!played) {
        // Nothing happened to the game: no history, no announcement, no engine text. The
        // game may still have ended meanwhile. If not, the reply that Auto Play withheld
        // from the last move received during the search is asked for now, for the position
        // this copy has; otherwise the game would wait here for a person.
        if (!checkGameOver() && replyOwed && autoPlay) askEngine();
        return 0;
    }
    // 5. Recorded and, in Interlinked Mode, announced now rather than last: the end-of-game
    //    box below waits for the user, and the other copies must not wait with it.
    recordMove(m);
    if (interlinked) {
        broadcast_.post(packMove(m));
        replies_.announced(m, shownPosition_);
    }
    // 6-7.
    checkGameOver();
    document_.evaluateVerbose();
    // 8. The engine's text stays until the next status update.
    std::string text;
    document_.getStatusText(text);
    setStatusText(text);
    // 9.
    beep();
    return 0;
}

bool BoardView::onBroadcastMove(std::uintptr_t, std::intptr_t lParam) {
    // 1-3.
    if (!interlinked) return false;
    // A value with bits above the 24 of a packed move is no move this program sends.
    if (lParam == 0 || (static_cast<std::uint64_t>(lParam) & ~std::uint64_t{0xFFFFFF}) != 0)
        return false;
    Move m;
    unpackMove(static_cast<std::uint32_t>(lParam), m);
    if (!m.isValid()) return false;
    // 4. Not legal here (this copy's own announcement, or another game): ignored quietly.
    if (!document_.playMove(m)) {
        if (replies_.isAnotherCopysEcho(m, shownPosition_) && autoPlay && !thinking_ &&
            !document_.hasNoLegalMove())
            askEngine();
        return false;
    }
    // 5.
    shownPosition_.applyMove(m);
    recordMove(m);
    updateStatus();
    // 6-8. Answer it, unless already thinking (then only a beep, and the answer to this
    //      move is asked for once the search's answer has come) or the game is over.
    if (!autoPlay) return true;
    if (thinking_) replies_.withholdReply();
    askEngine();
    return true;
}

// --- commands -------------------------------------------------------------------------------

void BoardView::onNewGame() {
    if (thinking_) return;
    movesPlayed_.clear();
    movesUndone_.clear();
    origin_.startNewGame();
    document_.newGame();
    updateStatus();
}

void BoardView::onTestPosition(int n) {
    if (thinking_) return;
    traceLine("Test Position " + intToString(n));
    traceLine("------------------------");
    Position p;
    setTestPosition(p, n);
    document_.setPosition(p);
    movesPlayed_.clear();
    movesUndone_.clear();
    origin_.startAtTestPosition();
    updateStatus();
}

void BoardView::onPlayMove() {
    askEngine();
}

void BoardView::onForceMove() {
    if (thinking_)
        document_.requestStop();
    else
        beep();
}

bool BoardView::onStepBack() {
    if (thinking_) {
        beep();
        return false;
    }
    if (movesPlayed_.empty()) return false;
    const Move m = movesPlayed_.back();
    movesPlayed_.pop_back();
    movesUndone_.push_back(m);
    shownPosition_.undoMove(m);
    document_.setPosition(shownPosition_);
    updateStatus();
    return true;
}

bool BoardView::onStepForward() {
    if (thinking_) {
        beep();
        return false;
    }
    if (movesUndone_.empty()) return false;
    const Move m = movesUndone_.back();
    movesUndone_.pop_back();
    movesPlayed_.push_back(m);
    shownPosition_.applyMove(m);
    document_.setPosition(shownPosition_);
    updateStatus();
    return true;
}

bool BoardView::onUndoMove() {
    if (thinking_) {
        beep();
        return false;
    }
    // With a single move there is no move and reply to take back.
    if (movesPlayed_.size() < 2) return false;
    onStepBack();
    onStepBack();
    return true;
}

}  // namespace wintarvo
