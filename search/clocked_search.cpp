#include "search/clocked_search.h"

#include <algorithm>
#include <cstdlib>

#include "diag/trace.h"
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

// One MTD(f) iteration at depth d, pass by pass as AlphaBetaSearch::mtdf runs them, keeping what
// each pass that ended before a stop proved about the root moves.
ClockedSearch::Iteration ClockedSearch::iterate(int d, int firstGuess, const Move& previousBest) {
    traceLine("Depth = " + intToString(d));
    traceLine("First = " + intToString(firstGuess));
    Iteration result;
    RootProof proof(previousBest);
    PrincipalVariation pv;
    int lower = -BOUND_INFINITY;
    int upper = BOUND_INFINITY;
    int g = firstGuess;
    int highs = 0;
    int lows = 0;
    while (lower < upper) {
        int beta = g == lower ? g + 1 : g;
        if (lows > 2) beta = std::max(beta + 1 - lows, lower + 1);
        if (highs > 2) beta = std::min(beta + highs - 1, upper);
        clearRootFirstMove();
        g = alphaBeta(position_, d, beta - 1, beta, pv, 0);
        if (stopRequested()) {
            // The pass was cut: below the root it ran on static values and proves nothing.
            traceLine("Cut at " + intToString(elapsedMs()) + " ms");
            result.move = proof.best();
            result.proved = proof.improved();
            // Without an earlier iteration (the first one was cut), the root's own choice.
            if (!result.move.isValid() && !pv.empty()) result.move = pv.back();
            return result;
        }
        const Move rootMove = pv.empty() ? Move::null() : pv.back();
        if (!pv.empty()) traceWrite(moveText(rootMove));
        if (g < beta) {
            upper = g;
            traceLine(" iUpperBound = " + intToString(g));
            ++lows;
            highs = 0;
        } else {
            lower = g;
            traceLine(" iLowerBound = " + intToString(g));
            ++highs;
            lows = 0;
        }
        proof.pass(g >= beta, rootFirstMove(), rootMove);
    }
    traceLine("iScore = " + intToString(g));
    traceWrite((g >= 0 ? " +" : " ") + intToString(g) + ": ");
    dumpMoveSequence(pv);
    traceLine("");
    result.complete = true;
    result.score = g;
    result.move = pv.empty() ? Move::null() : pv.back();
    return result;
}

bool ClockedSearch::think(Move& out) {
    struct HelperScope {
        ClockedSearch& engine;
        ~HelperScope() { engine.releaseHelperThread(); }
    } helperScope{*this};

    g_nodeCount.store(0, std::memory_order_relaxed);
    traceLine("Clock: soft " + intToString(clock_.softMs) + " ms, hard " +
              intToString(clock_.hardMs) + " ms");
    Move best = Move::null();
    for (int i = 1;; ++i) {
        setIterationDepth(i);
        const int d = iterationDepth();
        const int firstGuess = d >= 3   ? scores_[static_cast<std::size_t>(d - 2)]
                               : d == 2 ? scores_[1]
                                        : 0;
        const Iteration it = iterate(d, firstGuess, best);
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
    out = best;
    traceLine("Move " + moveText(out) + (movedByCut_ ? " (proven by the cut iteration)" : "") +
              " after " + intToString(elapsedMs()) + " ms");
    return true;
}

}  // namespace wintarvo
