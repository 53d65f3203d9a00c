// The board view: the square child window of the main frame in which the game is shown and
// played. It draws its own copy of the position (shownPosition) with the pointer highlight,
// the pieces, the move being entered with its reachable squares, the last move and, on
// request, both sides' territory; it turns three left clicks into a move, asks the engine for
// answers and takes them, keeps the game's history for stepping back and forward, carries out
// the frame's game commands, and writes the status line.
//
// Owned by value by the main frame; it owns the game document (and through it the engine
// thread), the history and the options. Its window (BoardViewWindow) is created and destroyed
// by the frame; the object outlives it, so the document and the engine thread are shut down
// only after the event loop has ended. Everything here runs on the user-interface thread; the
// engine's completion arrives as a queued event on the window and ends up in onEngineMove.
// While a think request is outstanding (thinking), nothing that would change the game is
// carried out: clicks and most commands beep (with Sound on) or do nothing, and only Force
// Move acts, by asking the search to stop.
//
// Where the game came from (GameOrigin) and the bookkeeping of engine answers between
// interlinked copies (InterlinkedReplies) are objects of their own, held by value, without Qt.
#pragma once

#include <cstdint>
#include <string>

#include <QBrush>
#include <QColor>
#include <QCursor>
#include <QPen>
#include <QPointer>

#include "engine/game_document.h"
#include "model/move.h"
#include "model/move_list.h"
#include "model/position.h"
#include "records/game_file.h"
#include "ui/game_origin.h"
#include "ui/interlinked_replies.h"

class QPainter;
class QWidget;

namespace wintarvo {

class BoardViewWindow;
class DesktopServices;
class MoveBroadcast;

class BoardView {
  public:
    BoardView(DesktopServices& desktop, MoveBroadcast& broadcast);
    ~BoardView();
    BoardView(const BoardView&) = delete;
    BoardView& operator=(const BoardView&) = delete;

    // The window: created as a child of parent, shown by the caller; destroyWindow takes it
    // away at once (no engine answer reaches the view afterwards) while the object stays.
    void createWindow(QWidget* parent);
    void destroyWindow();
    QWidget* window() const;

    // What the window reports.
    void onCreate(int clientHeight);
    void onSize(int width, int height);
    // Draws the whole board into painter: the window's paint, or an image of the board.
    void onPaint(QPainter& painter);
    void onMouseMove(int x, int y);
    void onClick(int x, int y);
    void onCancelEntry();
    int onEngineMove();

    // Drawing.
    void setHover(int column, int row);
    void updateCursor();
    void fillSquare(Square square, const QColor& colour, int innerSize);
    void drawAmazon(Square square, bool black);

    // The frame's game commands.
    void onNewGame();
    void onTestPosition(int n);
    // Open reads a record file or an SGF record, by content; Save writes the format given, or
    // without one the format the name's ending asks for (a record file unless ".sgf").
    void onOpenGame(const std::string& path);
    void onSaveGame(const std::string& path);
    void onSaveGame(const std::string& path, GameFileFormat format);
    void onPlayMove();
    void onForceMove();
    bool onUndoMove();
    bool onStepBack();
    bool onStepForward();
    // A move announced by an engine of any running copy, this one included.
    bool onBroadcastMove(std::uintptr_t wParam, std::intptr_t lParam);

    // Shared steps.
    void updateStatus();
    bool checkGameOver();
    void askEngine();
    void recordMove(const Move& m);

    // Options, written by the frame. The limits reach the engine with the next request.
    int depthLimit = 0;
    int timeLimit = 0;
    bool soundOn = true;
    bool autoPlay = true;
    bool showTerritory = false;
    bool interlinked = true;
    // Off: the program's engine. On: the tournament engine, which uses the time per move to
    // the full (never more) and counts split boards exactly.
    bool tournamentEngine = false;

    // State, for the frame and for tests.
    int squareSize() const { return squareSize_; }
    const Position& shownPosition() const { return shownPosition_; }
    const Move& shownLastMove() const { return shownLastMove_; }
    const MoveList& movesPlayed() const { return movesPlayed_; }
    const MoveList& movesUndone() const { return movesUndone_; }
    const Move& entry() const { return entry_; }
    bool thinking() const { return thinking_; }
    int hoverColumn() const { return hoverColumn_; }
    int hoverRow() const { return hoverRow_; }
    GameDocument& document() { return document_; }

  private:
    void beep();
    // The information box that says why a file was refused: "WHAT PATH: CAUSE."
    void tellRefusal(const char* what, const std::string& path, const std::string& cause);
    void setStatusText(const std::string& text);
    void invalidate();
    void drawBoard();
    void drawTerritory(const Position& working);

    DesktopServices& desktop_;
    MoveBroadcast& broadcast_;
    QPointer<BoardViewWindow> window_;

    QPainter* paintDC_ = nullptr;  // only while a paint is in progress
    int squareSize_ = 0;
    GameDocument document_;
    Position shownPosition_;
    MoveList movesPlayed_;
    MoveList movesUndone_;
    GameOrigin origin_;
    Move entry_;
    Move shownLastMove_;
    bool thinking_ = false;
    InterlinkedReplies replies_;
    int hoverColumn_ = -1;
    int hoverRow_ = -1;
    QBrush blackBrush_;
    QBrush whiteBrush_;
    QPen redPen_;
    QPen bluePen_;
    QCursor thinkingCursor_;
    QCursor arrowCursor_;
};

}  // namespace wintarvo
