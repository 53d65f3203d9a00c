// The game as the user interface sees it: the current position, the last move applied through
// it, the search limits, the engine service and the engine's last status text. The only way
// the user interface reaches the rules and the engine.
//
// Owned by the board view and used only on the user-interface thread. The move history belongs
// to the board view, which replaces the position whole when it steps through it. While a think
// request is outstanding the document does not change its position by itself; an answer that
// is no longer legal when it arrives (another running copy's move may have been played in the
// meantime) is dropped rather than applied.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/engine_thread.h"
#include "engine/notify_window.h"
#include "model/move.h"
#include "model/position.h"
#include "search/clock_manager.h"

namespace wintarvo {

class GameDocument {
  public:
    GameDocument();

    void newGame();
    void setPosition(const Position& p);
    void getPosition(Position& out) const { out = position_; }
    void getLastMove(Move& out) const { out = lastMove_; }
    void getStatusText(std::string& out) const { out = statusText_; }

    // Plays m if it is legal here; false (and no change) otherwise.
    bool playMove(const Move& m);
    // The side to move has no move: the game is over and that side has lost.
    bool hasNoLegalMove() const;

    // Sends the position and limits to the engine thread, starting it on first use; the
    // completion comes as `message` to `window`. False when nothing was sent: the game is over,
    // or the engine thread could not be started.
    bool requestThink(NotifyHandle window, std::uint32_t message);
    // Takes the engine's answer into out and plays it. Returns false when no move was played:
    // the engine found none (out is the null move) or its move is not legal in the current
    // position any more, in which case it is dropped and out is reset to the null move.
    bool takeEngineMove(Move& out);
    // Asks a running search to finish now with its best move so far.
    void requestStop();
    // Writes the territory board and the score terms of the position to the trace; returns
    // the score for the side to move.
    int evaluateVerbose();

    // Handed to the engine with every request; the board view sets them before each one.
    int depthLimit = 0;
    int timeLimit = 0;
    // The tournament engine's think: the time limit is the move's whole time, of which the
    // think keeps back only the margin the document measures between the think's deadline and
    // its answer arriving here; split boards are counted exactly.
    bool tournamentEngine = false;

  private:
    Position position_;
    Move lastMove_;
    EngineThread engine_;
    std::string statusText_;
    OverheadMeter overhead_;
    // The hard deadline of the request in flight, while it is the tournament engine's.
    std::optional<std::chrono::steady_clock::time_point> deadline_;
};

}  // namespace wintarvo
