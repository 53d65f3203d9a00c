#include "gtp/time_budget.h"

#include <algorithm>
#include <cmath>

#include "search/moves_to_go.h"

namespace wintarvo::gtp {

namespace {

constexpr std::int64_t MS = 1000;

GameClock gameClock(const TimeSettings& settings) {
    return GameClock{settings.mainTime * MS, settings.byoYomiTime * MS, settings.byoYomiStones};
}

}  // namespace

Clock startingClock(const TimeSettings& settings) {
    if (settings.mainTime > 0 || settings.byoYomiStones <= 0)
        return Clock{settings.mainTime * MS, 0};
    return Clock{settings.byoYomiTime * MS, settings.byoYomiStones};
}

Budget budgetFor(const TimeSettings& settings, const Clock& clock, int emptySquares, int ownLimit) {
    Budget budget;
    if (!settings.limited()) {
        budget.timeLimit = ownLimit;
        return budget;
    }
    const double left = static_cast<double>(std::max<std::int64_t>(clock.leftMs, 0)) / MS;
    double share = 0.0;
    double available = 0.0;  // what this move may use before the side runs out
    if (clock.stones > 0) {
        share = left / clock.stones;
        available = std::min(left, 2.0 * share);
    } else {
        const int movesToGo = std::max(1, (std::max(emptySquares, 0) + 1) / 2);
        const double byoYomiMove =
            settings.byoYomiStones > 0 && settings.byoYomiTime > 0
                ? static_cast<double>(settings.byoYomiTime) / settings.byoYomiStones
                : 0.0;
        share = left / movesToGo + byoYomiMove;
        available = left + byoYomiMove;
    }
    // The answer has to reach the controller too: keep a tenth, at most a second, in hand.
    const double deadline = std::max(0.0, available - std::min(1.0, 0.1 * available));
    double limit = std::min(std::floor(share), std::floor(deadline));
    if (ownLimit >= 0) limit = std::min(limit, static_cast<double>(ownLimit));
    limit = std::min(limit, 1e9);  // an int, however large the clock
    budget.timeLimit = static_cast<int>(std::max(0.0, limit));
    budget.deadline = deadline;
    return budget;
}

MoveBudget clockBudget(const TimeSettings& settings, const Clock& clock, const Position& p,
                       bool splitSolver, std::int64_t marginMs) {
    return budgetForClock(gameClock(settings), ClockReading{clock.leftMs, clock.stones},
                          expectedMovesToThink(p, splitSolver), mostMovesLeft(p), marginMs);
}

void spendTime(const TimeSettings& settings, Clock& clock, std::int64_t ms) {
    const GameClock game = gameClock(settings);
    if (!game.limited()) return;
    clock.leftMs -= std::max<std::int64_t>(ms, 0);
    if (clock.stones > 0) {
        // 1. A stone of the period played; the last one starts a new period.
        if (--clock.stones == 0 && clock.leftMs >= 0) clock = {game.byoYomiMs, game.byoYomiStones};
    } else if (clock.leftMs < 0 && game.byoYomiFollows()) {
        // 2. Main time ran out during the move: it was the first stone of the first period.
        clock = {game.byoYomiMs + clock.leftMs, game.byoYomiStones - 1};
        if (clock.stones == 0 && clock.leftMs >= 0) clock = {game.byoYomiMs, game.byoYomiStones};
    }
    clock.leftMs = std::max<std::int64_t>(clock.leftMs, 0);
}

}  // namespace wintarvo::gtp
