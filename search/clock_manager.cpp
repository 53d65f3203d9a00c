#include "search/clock_manager.h"

#include <algorithm>

namespace wintarvo {

namespace {

MoveBudget bounded(std::int64_t soft, std::int64_t hard) {
    hard = std::max<std::int64_t>(hard, 1);
    return MoveBudget{std::clamp<std::int64_t>(soft, 0, hard), hard};
}

// A share of time that later moves keep when this one does not spend it.
MoveBudget keptShare(std::int64_t share, std::int64_t cap) {
    return bounded(share / SOFT_PART, std::min(cap, HARD_SHARES * share));
}

}  // namespace

MoveBudget budgetForClock(const GameClock& clock, const ClockReading& now, int movesToGo,
                          int movesLeft, std::int64_t marginMs) {
    if (!clock.limited()) return MoveBudget{};
    const std::int64_t left = std::max<std::int64_t>(now.leftMs, 0);
    movesToGo = std::max(movesToGo, 1);
    movesLeft = std::max(movesLeft, movesToGo);

    if (now.stones > 0) {
        // 1. In a byo-yomi period: its time shared among its stones; the last stone takes all.
        const std::int64_t available = left - marginMs;
        if (now.stones == 1) return bounded(available, available);
        const std::int64_t share = left / now.stones;
        const std::int64_t cap = available - (now.stones - 1) * MIN_MOVE_MS;
        return keptShare(share, cap);
    }

    // 2. In main time: a share of what is left for each move still to think about, and a
    //    byo-yomi move's worth on top when byo-yomi follows. A move running into byo-yomi must
    //    end within the first period's share of its stones.
    std::int64_t share = left / movesToGo;
    std::int64_t cap = left - marginMs - (movesLeft - 1) * MIN_MOVE_MS;
    if (clock.byoYomiFollows()) {
        const std::int64_t byoYomiMove = clock.byoYomiMs / clock.byoYomiStones;
        share += byoYomiMove;
        cap = left + byoYomiMove - marginMs;
    }
    // Near the end of the clock the reserve for later moves may eat the whole share: still
    // think for what is left rather than not at all.
    cap = std::max(cap, std::min(share, left - marginMs));
    return keptShare(share, cap);
}

MoveBudget budgetForMoveTime(std::int64_t moveMs, std::int64_t marginMs) {
    const std::int64_t available = moveMs - marginMs;
    return bounded(available, available);
}

void OverheadMeter::record(std::int64_t tailMs) {
    recent_[static_cast<std::size_t>(count_ % static_cast<int>(recent_.size()))] =
        std::max<std::int64_t>(tailMs, 0);
    ++count_;
}

std::int64_t OverheadMeter::marginMs() const {
    if (count_ == 0) return INITIAL_MS;
    const int n = std::min(count_, static_cast<int>(recent_.size()));
    const std::int64_t longest = *std::max_element(recent_.begin(), recent_.begin() + n);
    return std::max(FLOOR_MS, longest * 3 / 2 + 5);
}

}  // namespace wintarvo
