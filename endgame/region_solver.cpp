#include "endgame/region_solver.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace wintarvo {
namespace {

// A node and the pieces of its children share a depth: each move goes one deeper, so the depth
// never passes the number of empty squares of a board.
constexpr std::size_t MAX_DEPTH = BOARD_SQUARES + 1;
constexpr std::int32_t EXACT_BUDGET = std::numeric_limits<std::int32_t>::max();
// Children are picked one at a time while few have been tried; a node that goes on past that
// sorts the rest once.
constexpr std::size_t PICKED_BEFORE_SORT = 4;

inline Square squareOfBit(int bit) {
    return bits::squareOf(bit);
}

template <typename F>
inline void forEachBit(Bits set, F&& f) {
    while (set != 0) {
        const int b = bits::lowest(set);
        set &= set - 1;
        f(b);
    }
}

// A move of a region stored at `shift` as a move of the board.
Move boardMove(int from, int to, int arrow, int shift) {
    if (from < 0) return Move::null();
    return Move{squareOfBit(from + shift), squareOfBit(to + shift), squareOfBit(arrow + shift)};
}

}  // namespace

RegionSolver::RegionSolver(int tableBits)
    : table_(tableBits), children_(MAX_DEPTH), pieces_(MAX_DEPTH) {}

RegionBounds RegionSolver::solve(const Region& region, std::int64_t& budget, Move* first) {
    if (first) *first = Move::null();
    if (region.amazons == 0) return RegionBounds{};  // nobody to move
    const int shift = regions::cornerShift(region.squares());
    budget_ = budget;
    MoveBits best;
    const RegionBounds b = search(region.amazons >> shift, region.empty >> shift, 0, &best);
    budget = budget_;
    if (first) *first = boardMove(best.from, best.to, best.arrow, shift);
    return b;
}

RegionBounds RegionSolver::solveSquares(Bits amazons, Bits squares, std::int64_t& budget) {
    budget_ = budget;
    const RegionBounds b = searchPieces(amazons, squares, 0);
    budget = budget_;
    return b;
}

RegionSolver::MoveBits RegionSolver::stepAndShootBack(Bits amazons, Bits empty) {
    // In a connected region with an empty square some amazon touches one: it steps there and
    // shoots back where it stood.
    for (Bits left = amazons; left != 0; left &= left - 1) {
        const int a = bits::lowest(left);
        const Bits beside = regions::grow(bits::one(a)) & empty;
        if (beside != 0) return MoveBits{a, bits::lowest(beside), a};
    }
    return MoveBits{};
}

RegionSolver::MoveBits RegionSolver::firstMoveOf(const RegionEntry& e, Bits amazons, Bits empty) {
    if (e.from >= 0) return MoveBits{e.from, e.to, e.arrow};
    return e.lower > 0 ? stepAndShootBack(amazons, empty) : MoveBits{};
}

RegionBounds RegionSolver::searchPieces(Bits amazons, Bits squares, std::size_t depth) {
    std::vector<Region>& pieces = pieces_[depth];
    pieces.clear();
    regions::appendRegions(amazons, squares, pieces);
    RegionBounds sum;
    for (const Region& piece : pieces) {
        const int shift = regions::cornerShift(piece.squares());
        const RegionBounds b = search(piece.amazons >> shift, piece.empty >> shift, depth, nullptr);
        sum.lower += b.lower;
        sum.upper += b.upper;
    }
    return sum;
}

void RegionSolver::expand(Bits amazons, Bits empty, int n, std::vector<Child>& out) const {
    out.clear();
    const Bits squares = amazons | empty;
    const Bits occupied = ~empty;
    forEachBit(amazons, [&](int from) {
        const Bits open = occupied & ~bits::one(from);
        const Bits vacated = empty | bits::one(from);
        forEachBit(bits::queenReach(squareOfBit(from), occupied), [&](int to) {
            const Bits moved = amazons ^ bits::one(from) ^ bits::one(to);
            const Bits landed = vacated & ~bits::one(to);  // empty before the arrow
            const Bits besideTo = regions::grow(bits::one(to)) & landed;
            const int stepNeighboursBefore = bits::count(besideTo);
            forEachBit(bits::queenReach(squareOfBit(to), open), [&](int arrow) {
                const Bits left = squares & ~bits::one(arrow);
                const unsigned around = regions::neighbourMask(left, arrow);
                int bound = n - 1;
                bool connected = regions::neighboursConnected(around);
                if (!connected) {
                    // The arrow may cut the region: count what stays with the amazons.
                    bound = 0;
                    Bits rest = left;
                    for (Bits seeds = moved; seeds != 0; seeds = moved & rest) {
                        const Bits piece = regions::fill(bits::one(bits::lowest(seeds)), rest);
                        if (piece == left) connected = true;
                        bound += bits::count(piece & ~moved);
                        rest &= ~piece;
                    }
                }
                const int lost = n - 1 - bound;
                const int arrowNeighbours = std::popcount(around);
                const int stepNeighbours =
                    stepNeighboursBefore - static_cast<int>((besideTo >> arrow) & 1);
                out.push_back(Child{moved, landed & ~bits::one(arrow), bound,
                                    lost << 16 | arrowNeighbours << 8 | stepNeighbours,
                                    static_cast<std::int8_t>(from), static_cast<std::int8_t>(to),
                                    static_cast<std::int8_t>(arrow), connected});
            });
        });
    });
}

RegionBounds RegionSolver::search(Bits amazons, Bits empty, std::size_t depth, MoveBits* bestOut) {
    // 1. Regions with at most one empty square need no search: an amazon touches the square.
    const int n = bits::count(empty);
    if (n <= 1) {
        if (bestOut && n == 1) *bestOut = stepAndShootBack(amazons, empty);
        return RegionBounds{n, n};
    }

    // 2. The table: a final result, or bounds that were searched with at least half this budget.
    //    Searching a region again only with twice the budget keeps the work on a region that
    //    keeps coming back to at most twice its largest budget.
    const RegionEntry* known = table_.find(amazons, empty);
    RegionEntry entry{};
    entry.lower = 1;  // an amazon touches an empty square
    entry.upper = static_cast<std::int8_t>(n);
    entry.from = entry.to = entry.arrow = -1;
    if (known) entry = *known;
    if (budget_ <= 0 || (known && (known->exact() || 2 * std::int64_t{known->budget} > budget_))) {
        if (bestOut) *bestOut = firstMoveOf(entry, amazons, empty);
        return RegionBounds{entry.lower, entry.upper};
    }

    // 3. Expand: every move with its bound; tried best key first, picked as needed, since
    //    most nodes stop after their first few children.
    const std::int64_t startBudget = budget_;
    const std::int64_t startNodes = nodes_;
    --budget_;
    ++nodes_;
    std::vector<Child>& children = children_[depth];
    expand(amazons, empty, n, children);

    // 4. Search the children. A child whose bound cannot beat the best so far is not searched;
    //    once the budget is gone, the rest count with their bounds.
    int best = 0;
    int upper = 0;
    MoveBits bestMove;
    auto byKey = [](const Child& x, const Child& y) { return x.key < y.key; };
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (i < PICKED_BEFORE_SORT) {
            std::swap(children[i],
                      *std::min_element(children.begin() + static_cast<std::ptrdiff_t>(i),
                                        children.end(), byKey));
        } else if (i == PICKED_BEFORE_SORT) {
            std::sort(children.begin() + static_cast<std::ptrdiff_t>(i), children.end(), byKey);
        }
        const Child c = children[i];
        if (1 + c.bound <= best) {
            upper = std::max(upper, 1 + c.bound);
            continue;
        }
        if (budget_ <= 0) {
            for (std::size_t j = i; j < children.size(); ++j)
                upper = std::max(upper, 1 + children[j].bound);
            break;
        }
        RegionBounds b;
        if (c.connected) {
            const int shift = regions::cornerShift(c.amazons | c.empty);
            b = search(c.amazons >> shift, c.empty >> shift, depth + 1, nullptr);
        } else {
            b = searchPieces(c.amazons, c.amazons | c.empty, depth + 1);
        }
        if (1 + b.lower > best) {
            best = 1 + b.lower;
            bestMove = MoveBits{c.from, c.to, c.arrow};
        }
        upper = std::max(upper, 1 + b.upper);
        if (best == n) {
            upper = n;
            break;
        }
    }

    // 5. Keep the better of the old and the new bounds; both are proven.
    if (best > entry.lower || (best == entry.lower && entry.from < 0)) {
        entry.lower = static_cast<std::int8_t>(best);
        entry.from = static_cast<std::int8_t>(bestMove.from);
        entry.to = static_cast<std::int8_t>(bestMove.to);
        entry.arrow = static_cast<std::int8_t>(bestMove.arrow);
    }
    entry.upper = static_cast<std::int8_t>(std::min<int>(upper, entry.upper));
    entry.budget =
        entry.exact()
            ? EXACT_BUDGET
            : static_cast<std::int32_t>(std::min<std::int64_t>(startBudget, EXACT_BUDGET - 1));
    entry.nodes =
        static_cast<std::int32_t>(std::min<std::int64_t>(nodes_ - startNodes, EXACT_BUDGET));
    table_.store(amazons, empty, entry);
    if (bestOut) *bestOut = firstMoveOf(entry, amazons, empty);
    return RegionBounds{entry.lower, entry.upper};
}

}  // namespace wintarvo
