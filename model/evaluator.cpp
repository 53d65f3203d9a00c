#include "model/evaluator.h"

#include "diag/trace.h"
#include "model/territory.h"
#include "model/territory_fill.h"

namespace wintarvo {

namespace {
// The counter fills a cache line of its own: it changes with every evaluation, and the thread
// that evaluates children ahead of the search must not lose the line of whatever lies next to
// it each time.
struct alignas(64) CounterLine {
    std::atomic<std::int64_t> count{0};
};
CounterLine g_counterLine;
}  // namespace

std::atomic<std::int64_t>& g_nodeCount = g_counterLine.count;

namespace {

// One more evaluation. Not a locked increment: the counter only feeds the trace, and the two
// threads never evaluate at the same time.
inline void countEvaluation() {
    const std::int64_t n = g_nodeCount.load(std::memory_order_relaxed) + 1;
    g_nodeCount.store(n, std::memory_order_relaxed);
    if (n % 100000 == 0) traceWrite("nodes = " + intToString(n) + "\n");
}

}  // namespace

int Evaluator::whiteScore(const Board& b) {
    const FillCounts c = fill::countFast(b.amazons[0], b.amazons[1], b.emptySquares());
    return c.whiteCount + (c.whiteMobility - c.blackMobility) / 4 - c.blackCount;
}

int Evaluator::record(const Board& b, int whiteScore) {
    score = whiteScore;
    countEvaluation();
    return b.sideToMove == 0 ? score : -score;
}

int Evaluator::evaluate(const Position& p, bool verbose) {
    if (!verbose) return evaluate(Board::fromPosition(p));

    int wm = 0, bm = 0;
    for (Square s = 0; s < BOARD_SQUARES; ++s) {
        if (p.cell(s) == WhiteAmazon) wm += p.mobility(s);
        if (p.cell(s) == BlackAmazon) bm += p.mobility(s);
    }
    Position marked = p;
    TerritoryCounter counter;
    counter.computeTerritory(marked);
    const int wt = counter.whiteCount, bt = counter.blackCount;
    traceLine("Territory board:");
    dumpPosition(marked);
    score = wt + (wm - bm) / 4 - bt;
    traceWrite("White territory = " + intToString(wt));
    traceLine("  mobility = " + intToString(wm));
    traceWrite("Black territory = " + intToString(bt));
    traceLine("  mobility = " + intToString(bm));
    traceLine("Total score = " + intToString(score));
    countEvaluation();
    return p.sideToMove == 0 ? score : -score;
}

}  // namespace wintarvo
