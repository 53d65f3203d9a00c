#include "endgame/split_solver.h"

#include <algorithm>
#include <limits>

#include "model/move_generation.h"

namespace wintarvo {

int SplitResult::score() const {
    switch (outcome) {
        case SplitOutcome::MoverWins:
            return SPLIT_WIN + (mover.lower - opponent.upper - 1);
        case SplitOutcome::MoverLoses:
            return -(SPLIT_WIN + (opponent.lower - mover.upper));
        default:
            return 0;
    }
}

SplitSolver::SplitSolver(int tableBits) : regions_(tableBits) {}

SplitResult SplitSolver::solve(const Board& b, std::int64_t budget) {
    return run(b, budget, false);
}

SplitResult SplitSolver::count(const Board& b, std::int64_t budget) {
    return run(b, budget, true);
}

SplitResult SplitSolver::solveAtNode(const Board& b) {
    allowance_ = std::min(allowance_ + SEARCH_NODES_PER_CALL, SEARCH_NODE_BUDGET);
    return run(b, allowance_, false);
}

void SplitSolver::addRegions(const Board& b, int side, std::int64_t& zero) {
    found_.clear();
    regions::appendRegions(b.amazons[side], freeSquares(b), found_);
    std::vector<Counted>& list = counted_[side];
    list.clear();
    for (const Region& r : found_) {
        Counted c{r, {}, Move::null()};
        c.bounds = regions_.solve(r, zero, &c.first);  // what the table already knows
        list.push_back(c);
    }
}

SideCount SplitSolver::sideCount(int side) const {
    SideCount n;
    for (const Counted& c : counted_[side]) {
        n.lower += c.bounds.lower;
        n.upper += c.bounds.upper;
    }
    return n;
}

SplitResult SplitSolver::resultFor(const Board& b) const {
    SplitResult r;
    r.mover = sideCount(b.sideToMove);
    r.opponent = sideCount(b.sideToMove ^ 1);
    if (r.mover.lower > r.opponent.upper)
        r.outcome = SplitOutcome::MoverWins;
    else if (r.mover.upper <= r.opponent.lower)
        r.outcome = SplitOutcome::MoverLoses;
    else
        r.outcome = SplitOutcome::Undecided;
    return r;
}

SplitResult SplitSolver::run(const Board& b, std::int64_t& budget, bool toExact) {
    if (!isSplit(b)) return SplitResult{};

    // 1. Every region with what the table knows of it, without searching.
    std::int64_t zero = 0;
    addRegions(b, 0, zero);
    addRegions(b, 1, zero);
    SplitResult result = resultFor(b);
    if (result.decided() && !toExact) return result;

    // 2. The open regions, smallest first: they are the cheapest to settle, and settling them
    //    often decides.
    std::vector<Open>& open = open_;
    open.clear();
    for (int side = 0; side < 2; ++side) {
        for (std::size_t i = 0; i < counted_[side].size(); ++i) {
            const Counted& c = counted_[side][i];
            if (!c.bounds.exact()) open.push_back(Open{bits::count(c.region.empty), side, i});
        }
    }
    std::stable_sort(open.begin(), open.end(),
                     [](const Open& x, const Open& y) { return x.empty < y.empty; });
    for (const Open& o : open) {
        if (budget <= 0) break;
        Counted& c = counted_[o.side][o.index];
        c.bounds = regions_.solve(c.region, budget, &c.first);
        result = resultFor(b);
        if (result.decided() && !toExact) return result;
    }
    return result;
}

bool SplitSolver::bestSplitMove(const Board& b, Move& out, std::int64_t budget) {
    const SplitResult result = run(b, budget, true);
    if (!result.split()) return false;
    generateMoves(b, moves_);
    if (moves_.empty()) return false;

    // No move can keep more than the largest upper bound of a region less one, with the other
    // regions at their lower bounds.
    const std::vector<Counted>& mine = counted_[b.sideToMove];
    const int total = result.mover.lower;
    int limit = std::numeric_limits<int>::min();
    for (const Counted& c : mine)
        if (c.bounds.upper > 0)
            limit = std::max(limit, total - c.bounds.lower + c.bounds.upper - 1);

    int bestKeep = std::numeric_limits<int>::min();
    for (const Move& m : moves_) {
        const Counted* home = nullptr;
        for (const Counted& c : mine)
            if (bits::has(c.region.amazons, m.from)) home = &c;
        const Bits amazons = home->region.amazons ^ bits::of(m.from) ^ bits::of(m.to);
        const Bits squares = home->region.squares() & ~bits::of(m.arrow);
        int kept = regions_.solveSquares(amazons, squares, budget).lower;
        // The sequence that proved the region's lower bound starts with its first move.
        if (m == home->first) kept = std::max(kept, home->bounds.lower - 1);
        const int keep = total - home->bounds.lower + kept;
        if (keep > bestKeep) {
            bestKeep = keep;
            out = m;
            if (keep >= limit) break;
        }
    }
    return true;
}

}  // namespace wintarvo
