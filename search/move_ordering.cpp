// Move ordering at interior nodes: static values of all children, two-ply values of the best
// of them from depth 4 (3 at the root), then a cut to at most 50 moves.
#include <algorithm>

#include "search/alpha_beta_search.h"

namespace wintarvo {
namespace {

constexpr int RESCORE_LIMIT = 101;
constexpr int RESCORE_LIMIT_SHALLOW = 50;
constexpr int QUEUE_BEFORE_WINDOW = 10;
constexpr int KEEP_AT_MOST = 50;
constexpr int KEEP_AT_LEAST = 10;
constexpr int KEY_MARGIN = 8;

}  // namespace

void AlphaBetaSearch::orderMoves(const Board& p, int d, MoveList& moves, int plyIndex) {
    Ply& here = ply(plyIndex);
    std::vector<Keyed>& ranked = here.keyed;

    // 1. Static phase: every child's static value is its key (the opponent's view, so smaller
    //    is better for the mover). Sorting by key and then by generation order is the ordered
    //    multimap with equal keys in insertion order.
    ranked.clear();
    const std::size_t n = moves.size();
    auto moveAt = [&moves](std::size_t j) { return moves[j]; };
    fetchFirst(p, n, moveAt);
    // The helper's scores are for p's moves in generation order, which the list is when the
    // search generated it for this node; a list handed in on its own (tests, benchmarks) is
    // valued here.
    if (!siblings_.isListOf(p)) siblings_.end();
    const bool solving = split_ != nullptr;
    for (std::size_t i = 0; i < n; ++i) {
        fetchAhead(p, i, n, moveAt);
        Board child = p;
        child.applyMove(moves[i]);
        const int key =
            solving ? splitChildValue(child, moves[i], here.mixed, i) : childValue(child, i);
        ranked.push_back(Keyed{key, static_cast<int>(i), moves[i]});
    }
    siblings_.end();
    auto byKey = [](const Keyed& x, const Keyed& y) {
        return x.key != y.key ? x.key < y.key : x.order < y.order;
    };
    // Only the front of the order is ever read (at most 101 moves are re-scored, at most 50
    // kept), and (key, order) is a total order, so sorting that front alone gives the same.
    const bool rescore = (d >= 3 && d == iterationDepth_) || d >= 4;
    const std::size_t limit = static_cast<std::size_t>(d <= 3 ? RESCORE_LIMIT_SHALLOW : RESCORE_LIMIT);
    const std::size_t front = rescore ? limit : static_cast<std::size_t>(KEEP_AT_MOST);
    if (ranked.size() > front) {
        std::nth_element(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(front),
                         ranked.end(), byKey);
        ranked.resize(front);
    }
    std::sort(ranked.begin(), ranked.end(), byKey);

    // 2. Re-scoring phase: depth-1 searches of the best candidates, each against a window that
    //    only has to tell whether the move beats the tenth best so far.
    if (rescore) {
        std::vector<Keyed>& rescored = here.rescored;
        rescored.clear();
        int w = -BOUND_INFINITY;
        int best = -BOUND_INFINITY;
        int largestKey = -BOUND_INFINITY;  // the largest key in the queue so far
        const std::size_t walked = std::min(ranked.size(), limit);
        auto rankedAt = [&ranked](std::size_t j) { return ranked[j].move; };
        fetchFirst(p, walked, rankedAt);
        for (std::size_t c = 0; c < walked; ++c) {
            fetchAhead(p, c, walked, rankedAt);
            Board child = p;
            child.applyMove(ranked[c].move);
            if (rescored.size() >= QUEUE_BEFORE_WINDOW) {
                w = -largestKey - 1;
                if (w >= best - KEY_MARGIN) w = best - (KEY_MARGIN + 1);
            }
            here.scratchPv.clear();
            const int r = alphaBeta(child, 1, -BOUND_INFINITY, -w, here.scratchPv, plyIndex + 1);
            if (-r > best) best = -r;
            if (rescored.empty() || r > largestKey) largestKey = r;
            rescored.push_back(Keyed{r, static_cast<int>(c), ranked[c].move});
        }
        std::sort(rescored.begin(), rescored.end(), byKey);
        ranked.swap(rescored);
    }

    // 3. Truncation: at least the first ten, at most fifty, and from the tenth on stop at the
    //    first move whose key is KEY_MARGIN or more behind the best key.
    moves.clear();
    const int k0 = ranked.front().key;
    for (const Keyed& item : ranked) {
        moves.push_back(item.move);
        const std::size_t n = moves.size();
        if (n >= static_cast<std::size_t>(KEEP_AT_MOST)) break;
        if (n >= static_cast<std::size_t>(KEEP_AT_LEAST) && item.key >= k0 + KEY_MARGIN) break;
    }
}

}  // namespace wintarvo
