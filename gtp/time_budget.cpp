#include "gtp/time_budget.h"

#include <algorithm>
#include <cmath>

namespace wintarvo::gtp {

Clock startingClock(const TimeSettings& settings) {
    if (settings.mainTime > 0 || settings.byoYomiStones <= 0) return Clock{settings.mainTime, 0};
    return Clock{settings.byoYomiTime, settings.byoYomiStones};
}

Budget budgetFor(const TimeSettings& settings, const Clock& clock, int emptySquares, int ownLimit) {
    Budget budget;
    if (!settings.limited()) {
        budget.timeLimit = ownLimit;
        return budget;
    }
    const double left = std::max(clock.seconds, 0);
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

}  // namespace wintarvo::gtp
