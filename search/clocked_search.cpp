#include "search/clocked_search.h"

#include <algorithm>
#include <cstdlib>

#include "diag/trace.h"
#include "endgame/regions.h"
#include "endgame/split_solver.h"
#include "search/stop_flag.h"

namespace wintarvo {

void RootProof::pass(bool failedHigh, const Move& searchedFirst, const Move& rootMove) {
    if (failedHigh && searchedFirst.isValid() && searchedFirst == best_ && rootMove.isValid() &&
        !(rootMove == searchedFirst))
        best_ = rootMove;
}

std::int64_t ClockedSearch::elapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 clock_.origin)
        .count();
}

// One MTD(f) iteration at depth d, keeping what each pass that ended before a stop proved
// about the root moves. A pass that a stop cut short ends the iteration.
ClockedSearch::Iteration ClockedSearch::iterate(int d, const Move& previousBest) {
    struct Watch : PassObserver {
        ClockedSearch& search;
        RootProof proof;
        bool cut = false;
        Watch(ClockedSearch& s, const Move& previous) : search(s), proof(previous) {}
        bool afterPass(bool failedHigh, const Move& rootMove) override {
            if (stopRequested()) {
                cut = true;
                return false;
            }
            proof.pass(failedHigh, search.rootFirstMove(), rootMove);
            search.clearRootFirstMove();
            return true;
        }
    } watch(*this, previousBest);

    Iteration result;
    PrincipalVariation pv;
    clearRootFirstMove();
    const int g = mtdf(position_, d, firstGuess(scores_, d), pv, &watch);
    if (watch.cut) {
        // Below the root the cut pass ran on static values and proves nothing.
        traceLine("Cut at " + intToString(elapsedMs()) + " ms");
        result.move = watch.proof.best();
        result.proved = watch.proof.improved();
        // Without an earlier iteration (the first one was cut), the root's own choice.
        if (!result.move.isValid() && !pv.empty()) result.move = pv.back();
        return result;
    }
    traceRootLine(g, pv);
    result.complete = true;
    result.score = g;
    result.move = pv.empty() ? Move::null() : pv.back();
    return result;
}

bool ClockedSearch::solvedRoot(Move& out) {
    SplitSolver* solver = splitSolver();
    if (solver == nullptr || !isSplit(position_)) return false;
    const SplitResult result = solver->solve(position_);
    if (!result.decided() || !solver->bestSplitMove(position_, out)) return false;
    const int score = result.score();
    statusText_ = "Split  Score = " + std::string(score > 0 ? "+" : "") + intToString(score);
    traceLine("Split board solved: " + intToString(result.mover.lower) + ".." +
              intToString(result.mover.upper) + " moves against " +
              intToString(result.opponent.lower) + ".." + intToString(result.opponent.upper) +
              "; move " + moveText(out) + " after " + intToString(elapsedMs()) + " ms");
    return true;
}

bool ClockedSearch::think(Move& out) {
    struct HelperScope {
        ClockedSearch& engine;
        ~HelperScope() { engine.releaseHelperThread(); }
    } helperScope{*this};

    g_nodeCount.store(0, std::memory_order_relaxed);
    traceLine("Clock: soft " + intToString(clock_.softMs) + " ms, hard " +
              intToString(clock_.hardMs) + " ms");
    if (solvedRoot(out)) return true;
    Move best = Move::null();
    Move hopeful = Move::null();  // the deepest completed iteration's move that was not lost
    int lastScore = 0;
    for (int i = 1;; ++i) {
        setIterationDepth(i);
        const int d = iterationDepth();
        const Iteration it = iterate(d, best);
        if (!it.complete) {
            // An interrupted first iteration keeps its own move, like the program's driver;
            // later ones keep the last completed iteration's move unless they proved better.
            if (i == 1 || it.proved) best = it.move;
            movedByCut_ = i > 1 && it.proved;
            if (i == 1 && !best.isValid()) return false;
            break;
        }
        if (!it.move.isValid()) return false;  // no legal move at the root
        best = it.move;
        lastScore = it.score;
        if (it.score > -SPLIT_WIN) hopeful = it.move;
        scores_[static_cast<std::size_t>(d)] = it.score;
        completedDepth_ = d;
        statusText_ = "Depth = " + intToString(i) + "  Score = " + (it.score > 0 ? "+" : "") +
                      intToString(it.score);
        const std::int64_t elapsed = elapsedMs();
        traceLine("Depth = " + intToString(i) + "  Elapsed = " + intToString(elapsed) +
                  " ms  Nodes = " + intToString(g_nodeCount.load(std::memory_order_relaxed)));
        traceLine("");
        if (std::abs(it.score) == WIN_SCORE) break;
        if (i > MAX_ITERATION_DEPTH || i == depthLimit_) break;
        if (clock_.softMs >= 0 && elapsed >= clock_.softMs) break;
    }
    // A loss that a deeper iteration sees in every line it kept (a lost split, or no move left)
    // is proven only against the replies the ordering kept: the move of the deepest iteration
    // that still saw a game leaves the opponent something to find, where the loss's own move
    // would hand over a won split at once.
    const bool lost = completedDepth_ > 0 && lastScore <= -SPLIT_WIN && !movedByCut_;
    out = lost && hopeful.isValid() ? hopeful : best;
    traceLine("Move " + moveText(out) + (movedByCut_ ? " (proven by the cut iteration)" : "") +
              (lost && hopeful.isValid() ? " (the last iteration that saw no loss)" : "") +
              " after " + intToString(elapsedMs()) + " ms");
    return true;
}

}  // namespace wintarvo
