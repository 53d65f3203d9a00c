// The result of a split board (regions.h): once no region holds amazons of both colours, each
// side can only make the moves of its own regions, and the side to move, with M moves left
// against the other side's N, wins exactly when M > N (it must move first, so with M == N it
// runs out first).
//
// A side's M is the sum over its regions of what RegionSolver counts for each. The solver
// works on proven bounds and stops as soon as they decide: the side to move wins when its
// lower bound beats the other side's upper bound, and loses when its upper bound is at most the
// other's lower bound. Every call is capped by a node budget, so it never holds a search up for
// long; what the budget does not settle stays undecided, and the caller falls back on its own
// judgement.
//
// The score of a decided split is in the search's units and far above any evaluation (which
// stays below 1000) but below WIN_SCORE, so that a root score of exactly +-10000 keeps meaning
// "the game is over": SPLIT_WIN plus the proven margin, for a win the moves the side to move
// can spare (M - N - 1), for a loss the moves it lacks beyond the last (N - M). With exact
// counts, a won split one good move later scores one point less from the same side's view, as
// negamax wants.
//
// Owned by its user (a search, a driver, a test), with its own table of regions that lasts as
// long as it does; one thread.
#pragma once

#include <cstdint>
#include <vector>

#include "endgame/region_solver.h"
#include "endgame/regions.h"
#include "model/board.h"
#include "model/move.h"
#include "model/move_list.h"

namespace wintarvo {

constexpr int SPLIT_WIN = 5000;

// Bounds on the moves one side can still make.
struct SideCount {
    int lower = 0;
    int upper = 0;

    bool exact() const { return lower == upper; }
};

enum class SplitOutcome {
    Mixed,      // a region holds amazons of both colours: not for this solver
    Undecided,  // split, but the bounds overlap
    MoverWins,
    MoverLoses,
};

struct SplitResult {
    SplitOutcome outcome = SplitOutcome::Mixed;
    SideCount mover;     // the side to move
    SideCount opponent;  // the other side

    bool split() const { return outcome != SplitOutcome::Mixed; }
    bool decided() const {
        return outcome == SplitOutcome::MoverWins || outcome == SplitOutcome::MoverLoses;
    }
    // SPLIT_WIN + margin for a win, -(SPLIT_WIN + margin) for a loss, 0 when not decided.
    int score() const;
};

class SplitSolver {
  public:
    // The most nodes one position inside a search may take, the share of every such call on
    // average (see solveAtNode), and the budget of one call about the position on the board
    // (the root), where more time is there to spend. A node takes 1 to 3 microseconds (more
    // in large regions with several amazons), so a root call stays within a few tenths of a
    // second; a driver short of time passes a smaller budget.
    static constexpr std::int64_t SEARCH_NODE_BUDGET = 400;
    static constexpr std::int64_t SEARCH_NODES_PER_CALL = 8;
    static constexpr std::int64_t ROOT_NODE_BUDGET = 100000;

    explicit SplitSolver(int tableBits = RegionSolver::DEFAULT_TABLE_BITS);

    // Bounds for both sides and the outcome, spending at most `budget` nodes. A side's regions
    // are searched smallest first, and only until the outcome is decided, so the counts of a
    // decided result need not be exact. A mixed board costs one split test.
    SplitResult solve(const Board& b, std::int64_t budget = ROOT_NODE_BUDGET);
    // The same, searching on after a decision until both counts are exact or the budget is
    // spent.
    SplitResult count(const Board& b, std::int64_t budget = ROOT_NODE_BUDGET);
    // solve for a search node. Every call adds SEARCH_NODES_PER_CALL nodes to an allowance that
    // holds at most SEARCH_NODE_BUDGET (and starts full), and may spend what it holds. Most
    // calls find their regions in the table and spend nothing, so the allowance is there for
    // the board that needs it; a long run of boards the budget cannot settle costs no more than
    // the share per call, so the search is never held up for long.
    SplitResult solveAtNode(const Board& b);

    // On a split board, the move that keeps the most moves for the side to move: the first in
    // generation order of those that keep the largest proven count. On a won board it keeps the
    // win; with exact counts it keeps all but one move. False (out unchanged) on a mixed
    // board or when the side to move has no move.
    bool bestSplitMove(const Board& b, Move& out, std::int64_t budget = ROOT_NODE_BUDGET);

    RegionSolver& regionSolver() { return regions_; }

  private:
    struct Counted {
        Region region;
        RegionBounds bounds;
        Move first;  // the first move of a sequence of bounds.lower moves
    };

    SplitResult run(const Board& b, std::int64_t& budget, bool toExact);
    void addRegions(const Board& b, int side, std::int64_t& zero);
    SideCount sideCount(int side) const;
    SplitResult resultFor(const Board& b) const;

    // A region still to be searched.
    struct Open {
        int empty;
        int side;
        std::size_t index;
    };

    RegionSolver regions_;
    std::int64_t allowance_ = SEARCH_NODE_BUDGET;
    std::vector<Counted> counted_[2];  // the regions of White [0] and Black [1] from the last run
    // Buffers, kept so that a search node allocates nothing.
    std::vector<Region> found_;
    std::vector<Open> open_;
    MoveList moves_;
};

}  // namespace wintarvo
