// The time a GTP controller's clock allows one think. time_settings gives main time, byo-yomi
// time and byo-yomi stones (Canadian byo-yomi; byo-yomi time with no stones means no limit);
// time_left gives a side's remaining seconds and, in byo-yomi, the stones still to play in
// them (0 while main time runs).
//
// The think gets a share of what is left: main time divided by the most moves the side can
// still have to make (half the empty squares, rounded up: every move burns one), or the
// period's time divided by its stones, plus a byo-yomi move's worth while main time runs and
// byo-yomi follows. That share becomes the think's time limit, which only decides whether
// another iteration starts; a deadline a little before the side's time would run out stops a
// think that runs long, so the engine never loses on time by its own doing.
//
// The tournament engine's think takes its budget from the same clock in milliseconds
// (clockBudget, over search/clock_manager.h), and the engine takes the time of each answer off
// its own copy of the clock (spendTime) until the controller's time_left says otherwise.
#pragma once

#include <cstdint>
#include <optional>

#include "model/position.h"
#include "search/clock_manager.h"

namespace wintarvo::gtp {

struct TimeSettings {
    int mainTime = 0;
    int byoYomiTime = 0;
    int byoYomiStones = 0;
    // Byo-yomi time with no stones is GTP's way of saying "no time limit".
    bool limited() const { return !(byoYomiTime > 0 && byoYomiStones == 0); }
};

struct Clock {
    std::int64_t leftMs = 0;  // left on the clock (or in the byo-yomi period)
    int stones = 0;           // moves to play in them; 0 while main time runs
};

// The clock of a side when the settings are new: main time, or the first byo-yomi period.
Clock startingClock(const TimeSettings& settings);

struct Budget {
    int timeLimit = -1;              // whole seconds for the think, -1 for none
    std::optional<double> deadline;  // seconds after which the think is stopped
};

// The budget of a think with `emptySquares` empty squares on the board under settings that
// limit time (under others: ownLimit and no deadline); `ownLimit` (a time per move given to
// the engine, -1 for none) caps it.
Budget budgetFor(const TimeSettings& settings, const Clock& clock, int emptySquares, int ownLimit);

// The tournament engine's soft target and hard deadline for the side to move in p.
MoveBudget clockBudget(const TimeSettings& settings, const Clock& clock, const Position& p,
                       bool splitSolver, std::int64_t marginMs);

// Takes ms off the clock after a move: from main time first, then from the byo-yomi period,
// whose stones count down, a new period starting when they are played.
void spendTime(const TimeSettings& settings, Clock& clock, std::int64_t ms);

}  // namespace wintarvo::gtp
