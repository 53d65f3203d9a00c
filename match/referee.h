// The referee of one game between two GTP engines: it keeps the game by the rules, sets the
// engines up, asks the side to move for its move, passes every move to the other engine and
// decides the game.
//
// White moves first. Before play, each engine gets set_game Amazons (when it knows the
// command), boardsize 10, clear_board, the clock's time_settings and the opening's moves with
// play. Then, ply by ply: a side without a legal move has lost (it is not asked); otherwise
// its engine gets the clock's time_left and genmove, and the move it answers, once the
// referee has found it legal, goes to the other engine with play. An engine loses, with the
// reason in words, by answering an illegal move, something that is not a move, an error, a
// resignation, output that is not GTP, by ending (a crash or a closed pipe), by staying
// silent past its allowance and a grace period, by thinking longer than its clock allows, or
// by refusing a legal move (an opening move included). Refusals of time_settings and
// time_left are noted but forgiven: an engine without a clock simply plays without one.
//
// The think time is measured on the channel's clock from sending genmove to reading the whole
// answer, so the pipe's delay counts against the engine. Plain function; the engines' channels
// are used by the calling thread only, for the length of the call.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "match/engine_channel.h"
#include "match/game_clock.h"
#include "model/move_list.h"

namespace wintarvo::match {

struct RefereeSettings {
    ClockSettings clock;
    // How long past its allowance a silent engine is waited for before it has lost.
    std::chrono::milliseconds grace{2000};
    // The wait for a move when there is no clock.
    std::chrono::milliseconds moveCap{60000};
    // The wait for the answer to any other command.
    std::chrono::milliseconds commandCap{10000};
};

struct RefereeEngine {
    EngineChannel* channel = nullptr;
    bool knowsSetGame = false;  // from identifyEngine
};

enum class EndReason {
    NoMove,       // the loser had no legal move: the game's own end
    Resigned,     // it answered genmove with resign
    IllegalMove,  // a move against the rules, or pass
    NotAMove,     // an answer to genmove that is no move
    ErrorAnswer,  // "?" to genmove
    Refused,      // "?" to a legal move or to a set-up command the game needs
    Malformed,    // output that is not a GTP response
    Crashed,      // its output ended or it stopped reading
    Silent,       // no answer by the deadline
    TimeOverrun,  // an answer after its allowance
};

// Seconds an engine thought, over the genmoves it answered.
struct ThinkStats {
    int moves = 0;
    std::chrono::nanoseconds total{0};
    std::chrono::nanoseconds largest{0};
    void add(std::chrono::nanoseconds think);
    double averageSeconds() const;
    double largestSeconds() const;
};

struct GameOutcome {
    int winner = 0;  // 0 White, 1 Black
    EndReason reason = EndReason::NoMove;
    std::string reasonText;  // "Black has no move left", "White resigned", ...
    MoveList moves;          // every move of the game, the opening's first
    ThinkStats think[2];     // by colour
    // By colour: the engine's stream can no longer be trusted (it was silent, ended or wrote
    // something else than GTP); it is to be stopped and started again before another game.
    bool spoilt[2] = {false, false};
    // Forgiven refusals, one line each ("Black refused 'time_left black 1 1': ...").
    std::vector<std::string> notes;
};

// Plays one game from the opening's moves, which must be legal from the starting position (a
// move that is not ends the opening there, with a note).
GameOutcome playGame(const MoveList& opening, const RefereeSettings& settings,
                     const RefereeEngine& white, const RefereeEngine& black);

}  // namespace wintarvo::match
