#include "search/alpha_beta_search.h"

#include <algorithm>
#include <cstdlib>

#include "diag/trace.h"
#include "model/move_generation.h"
#include "search/stop_flag.h"

namespace wintarvo {

std::atomic<bool> g_stopRequested{false};

namespace {

// The place of m in a node's list: through the generation groups while the list is still in
// generation order, else by scanning the (at most fifty) ordered moves. A null move is never
// in a list.
int indexOf(const MoveList& moves, const MoveGroups* groups, const Move& m) {
    if (!m.isValid()) return -1;
    if (groups) return indexOfMove(moves, *groups, m);
    for (std::size_t i = 0; i < moves.size(); ++i)
        if (moves[i] == m) return static_cast<int>(i);
    return -1;
}

// Generation indexes of the moves of a list that up to two swaps reordered: at most four places
// hold another move than generation put there.
class Origins {
  public:
    void swap(int a, int b) {
        const int oa = of(a), ob = of(b);
        set(a, ob);
        set(b, oa);
    }
    int of(int place) const {
        for (int x = 0; x < count_; ++x)
            if (place_[x] == place) return origin_[x];
        return place;
    }

  private:
    void set(int place, int origin) {
        for (int x = 0; x < count_; ++x) {
            if (place_[x] == place) {
                origin_[x] = origin;
                return;
            }
        }
        place_[count_] = place;
        origin_[count_++] = origin;
    }
    int place_[4] = {};
    int origin_[4] = {};
    int count_ = 0;
};

}  // namespace

AlphaBetaSearch::AlphaBetaSearch() : plies_(MAX_ITERATION_DEPTH + 2) {
    for (auto& side : killers_)
        side.fill(Move::null());
}

void AlphaBetaSearch::setPosition(const Position& p) {
    position_ = Board::fromPosition(p);
}

// Nodes that expand lie at most 24 plies below the root (depth 25 at the root, depth 2 at the
// deepest ordering node, whose depth-1 re-searches are one further); the buffers are made once,
// so references into them stay valid while deeper nodes run.
AlphaBetaSearch::Ply& AlphaBetaSearch::ply(int n) {
    return plies_[static_cast<std::size_t>(n)];
}

bool AlphaBetaSearch::rootSearch(Move& out) {
    // 1. (The stop request is not cleared here: a stop that arrives between two iterations must
    //    still end the search. A new request starts with the flag cleared.)
    decided_ = false;
    rootPv_.clear();

    // 2. The first guess: the score two iterations back, one for depth 2, none for depth 1.
    const int d = iterationDepth_;

    // 3-4. Search and record.
    const int g = mtdf(position_, d, firstGuess(scoreHistory_, d), rootPv_);
    scoreHistory_[static_cast<std::size_t>(d)] = g;
    if (std::abs(g) == WIN_SCORE) decided_ = true;

    // 5. The root line: score with its sign, then the principal variation from the root move.
    traceRootLine(g, rootPv_);

    // 6. The root's move is the last of the variation.
    if (rootPv_.empty()) return false;
    out = rootPv_.back();
    lastScore_ = g;
    return true;
}

void AlphaBetaSearch::traceRootLine(int g, const PrincipalVariation& pv) {
    traceWrite((g >= 0 ? " +" : " ") + intToString(g) + ": ");
    dumpMoveSequence(pv);
    traceLine("");
}

void AlphaBetaSearch::setSplitSolver(bool on) {
    if (!on) split_.reset();
    else if (!split_) split_ = std::make_unique<SplitSolver>();
}

bool AlphaBetaSearch::solvedLeaf(const Board& p, int& score) {
    const SplitResult r = split_->solveAtNode(p);
    if (!r.decided()) return false;
    score = r.score();
    return true;
}

bool AlphaBetaSearch::solvedNode(const Board& p, int plyIndex, int& score) {
    Ply& here = ply(plyIndex);
    if (plyIndex == 0) {  // the root is searched whatever it is
        here.mixed = !isSplit(p);
        return false;
    }
    const SplitResult r = split_->solveAtNode(p);
    here.mixed = !r.split();
    if (!r.decided() || r.mover.upper == 0) return false;
    score = r.score();
    return true;
}

// A solved split never goes into the cache of static values, so the cache holds evaluations
// only, whatever the setting.
int AlphaBetaSearch::staticValue(const Board& p) {
    int v;
    if (split_ && solvedLeaf(p, v)) return v;
    if (table_.probeEvaluation(p, v)) return v;
    v = evaluator_.evaluate(p);
    table_.storeEvaluation(p, v);
    return v;
}

int AlphaBetaSearch::childValue(const Board& child, std::size_t j, bool inOrder) {
    siblings_.prefetch(j);
    int v;
    if (table_.probeEvaluation(child, v)) return v;
    v = evaluator_.record(child, siblings_.whiteScore(j, child, inOrder));
    table_.storeEvaluation(child, v);
    return v;
}

int AlphaBetaSearch::splitChildValue(const Board& child, const Move& m, bool parentMixed,
                                     std::size_t j, bool inOrder) {
    int v;
    // A child of a mixed node stays mixed unless its arrow cut a region.
    if (!(parentMixed && staysMixed(child, m.arrow)) && solvedLeaf(child, v)) return v;
    return childValue(child, j, inOrder);  // the helper's score of a solved child goes unused
}

int AlphaBetaSearch::alphaBeta(const Board& p, int d, int alpha, int beta, PrincipalVariation& pv,
                               int plyIndex) {
    // 1. Leaf: no depth left, or a stop request below the root. A split board that the solver
    //    decides needs no search.
    if (d < 1 || (plyIndex > 0 && stopRequested())) return staticValue(p);
    int solved;
    if (split_ && solvedNode(p, plyIndex, solved)) return solved;

    // 2-3. The table: a cut-off at sufficient depth, or a narrower window.
    ProbeResult probe;
    const bool hit = table_.probe(p, probe);
    const int storedDepth = hit ? probe.depth : 0;
    if (storedDepth >= d) {
        if (probe.lower >= beta) {
            pv.push_back(probe.move);
            return probe.lower;
        }
        if (probe.upper <= alpha) {
            pv.push_back(probe.move);
            return probe.upper;
        }
        if (probe.lower == probe.upper) {
            pv.push_back(probe.move);
            return probe.lower;
        }
        alpha = std::max(alpha, probe.lower);
        beta = std::min(beta, probe.upper);
    }

    // 4. The moves; a side without one has lost. The helper thread starts on the children
    //    (the leaves, or the static phase of the ordering) while the moves are generated.
    Ply& here = ply(plyIndex);
    MoveList& moves = here.moves;
    siblings_.begin(p);
    generateMoves(p, moves, &here.groups);
    if (moves.empty()) {
        siblings_.end();
        return -WIN_SCORE;
    }

    // 5. Ordering (which also cuts the list) with two or more plies to go.
    const MoveGroups* groups = &here.groups;
    if (d > 1) {
        orderMoves(p, d, moves, plyIndex);
        groups = nullptr;  // the list is no longer in generation order
    }

    // 6. The table's move first. While the list is in generation order the groups find
    //    moves without a scan; the killer's place is taken before the swap changes the list.
    const int side = p.sideToMove;
    const Move killer = killers_[static_cast<std::size_t>(side)][static_cast<std::size_t>(d)];
    const int t = hit ? indexOf(moves, groups, probe.move) : -1;
    const int generatedKiller = groups ? indexOf(moves, groups, killer) : -1;
    Origins origins;  // where the swaps took moves from, for the helper's scores
    if (t >= 0) {
        std::swap(moves[0], moves[static_cast<std::size_t>(t)]);
        origins.swap(0, t);
    }

    // 7. The killer second after a table hit, else first.
    int k;
    if (!groups) {
        k = indexOf(moves, nullptr, killer);
    } else if (generatedKiller == t) {
        k = generatedKiller < 0 ? -1 : 0;  // the killer is the table move
    } else if (generatedKiller == 0 && t > 0) {
        k = t;  // the first move went where the table move stood
    } else {
        k = generatedKiller;
    }
    if (k >= 0) {
        if (hit) {
            if (k != 0) {
                std::swap(moves[1], moves[static_cast<std::size_t>(k)]);
                origins.swap(1, k);
            }
        } else {
            std::swap(moves[0], moves[static_cast<std::size_t>(k)]);
            origins.swap(0, k);
        }
    }

    // 8-9. Search the children; the first of equal values stays best.
    int best = -BOUND_INFINITY;
    Move bestMove = Move::null();
    int a = alpha;
    PrincipalVariation& childPv = here.childPv;
    if (plyIndex == 0) rootFirst_ = moves[0];
    const bool solving = split_ != nullptr;
    auto moveAt = [&moves](std::size_t j) { return moves[j]; };
    fetchFirst(p, moves.size(), moveAt);
    for (std::size_t i = 0; i < moves.size(); ++i) {
        fetchAhead(p, i, moves.size(), moveAt);
        const Move m = moves[i];
        Board child = p;
        child.applyMove(m);
        childPv.clear();
        // With one ply to go every child is a leaf: its static value, without the call.
        int origin = 0;
        if (d == 1) origin = origins.of(static_cast<int>(i));
        const std::size_t j = static_cast<std::size_t>(origin);
        const bool inOrder = origin == static_cast<int>(i);
        const int v = d > 1    ? -alphaBeta(child, d - 1, -beta, -a, childPv, plyIndex + 1)
                      : solving ? -splitChildValue(child, m, here.mixed, j, inOrder)
                                : -childValue(child, j, inOrder);
        if (v > best) {
            best = v;
            bestMove = m;
            pv.assign(childPv.begin(), childPv.end());
            if (v > a) a = v;
            if (v >= beta) {
                killers_[static_cast<std::size_t>(side)][static_cast<std::size_t>(d)] = m;
                break;
            }
        }
    }
    if (d == 1) siblings_.end();

    // 10-11. Record the variation and the result, as bounds of the (narrowed) window.
    pv.push_back(bestMove);
    if (best <= alpha) {
        table_.store(p, d, -BOUND_INFINITY, best, bestMove);
    } else if (best >= beta) {
        table_.store(p, d, best, BOUND_INFINITY, bestMove);
    } else {
        table_.store(p, d, best, best, bestMove);
    }
    return best;
}

}  // namespace wintarvo
