#include "engine/game_document.h"

#include "engine/command_queue.h"
#include "model/evaluator.h"
#include "model/move_generation.h"
#include "search/stop_flag.h"

namespace wintarvo {

GameDocument::GameDocument() {
    position_.setStartPosition();
}

void GameDocument::newGame() {
    position_.setStartPosition();
    lastMove_ = Move::null();
}

void GameDocument::setPosition(const Position& p) {
    position_ = p;
    lastMove_ = Move::null();
}

bool GameDocument::playMove(const Move& m) {
    if (!isLegalMove(position_, m)) return false;
    lastMove_ = m;
    position_.applyMove(m);
    return true;
}

bool GameDocument::hasNoLegalMove() const {
    return wintarvo::hasNoLegalMove(position_);
}

bool GameDocument::requestThink(NotifyHandle window, std::uint32_t message) {
    // 1. A finished game sends nothing and leaves the engine alone.
    if (hasNoLegalMove()) return false;
    // 2. Start the thread on first use; without one, no answer could ever come.
    if (!engine_.isRunning() && !engine_.start()) return false;
    // 3-5.
    engine_.setNotify(std::move(window), message);
    engine_.setPosition(position_);
    engine_.setLimits(depthLimit, timeLimit);
    deadline_.reset();
    if (tournamentEngine) {
        TournamentThink tournament;
        if (timeLimit >= 0) {
            const MoveBudget budget =
                budgetForMoveTime(std::int64_t{timeLimit} * 1000, overhead_.marginMs());
            tournament.clock.softMs = budget.softMs;
            tournament.clock.hardMs = budget.hardMs;
            deadline_ = tournament.clock.origin + std::chrono::milliseconds(budget.hardMs);
        }
        engine_.setTournament(tournament);
    } else {
        engine_.setTournament(std::nullopt);
    }
    // 6. A stop left over from before this request must not cut it short; a stop made from now
    //    on applies to it, whether its search has started yet or not.
    setStopRequested(false);
    engine_.post(CMD_THINK);
    return true;
}

bool GameDocument::takeEngineMove(Move& out) {
    // 1-3.
    engine_.getResultMove(out);
    engine_.getStatusText(statusText_);
    if (deadline_ && engine_.stoppedAtDeadline())
        overhead_.record(std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - *deadline_)
                             .count());
    deadline_.reset();
    // 4. The engine answered for the position it was given; play the answer only if it is
    //    still legal here.
    if (out.isValid() && !isLegalMove(position_, out)) out = Move::null();
    lastMove_ = out;
    if (!out.isValid()) return false;
    position_.applyMove(out);
    return true;
}

void GameDocument::requestStop() {
    setStopRequested(true);
}

int GameDocument::evaluateVerbose() {
    Evaluator evaluator;
    return evaluator.evaluate(position_, true);
}

}  // namespace wintarvo
