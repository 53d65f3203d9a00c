// The tournament engine's think: iterative deepening over the same MTD(f) searcher as
// SearchEngine, but driven by a clock in milliseconds instead of whole seconds.
//
// The clock gives a soft target and a hard deadline, both measured from the moment the move
// was asked for (ThinkClock::origin). Another iteration starts while the time spent is below the
// soft target, even one that cannot be expected to finish; whoever owns the think raises the
// stop flag at the hard deadline (runThinkRequest runs a watch thread for it), which cuts the
// running iteration short.
//
// The move played is the best move of the last completed iteration, unless the cut iteration
// has already proven a better one. MTD(f) proves things a pass at a time: a pass that ended
// before the stop is exact for its test value. When such a pass fails high with a root move m
// other than the one the root searched first, and that first move was the best move proven so
// far, then the first move scored below the test value and m at least the test value at the
// deeper depth: m is better, and becomes the best proven move. (The root searches the table's
// move first, which is the last iteration's best move or the one a pass just proved.) A first
// iteration that is cut keeps its own move, as the program's driver does.
//
// When the last completed iteration finds every move lost (a lost split at the end of every
// line it kept, or no move left), the move of the deepest iteration that did not is played:
// the search keeps only some of the replies at each node, so the loss is proven against those
// alone, and a move that splits the board into a lost position at once leaves the opponent
// nothing to get wrong.
//
// With the split solver on (AlphaBetaSearch::setSplitSolver), a root whose board is split and
// decided is not searched: the solver's move, which keeps the most moves, is played at once,
// and the status reads "Split  Score = s". Below the root the search takes solved scores.
//
// Built for one think on the thread that runs it, like SearchEngine; nothing survives it.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "search/alpha_beta_search.h"

namespace wintarvo {

// What the passes of one iteration have proven about the root moves, starting from the best
// move of the iteration before (the null move in the first iteration).
class RootProof {
  public:
    explicit RootProof(const Move& previousBest) : best_(previousBest), previous_(previousBest) {}
    // A pass that ended before any stop: whether it failed high, the move the root searched
    // first (null after a table cut-off) and the root move it returned.
    void pass(bool failedHigh, const Move& searchedFirst, const Move& rootMove);
    const Move& best() const { return best_; }
    bool improved() const { return !(best_ == previous_); }

  private:
    Move best_;
    Move previous_;
};

struct ThinkClock {
    std::chrono::steady_clock::time_point origin = std::chrono::steady_clock::now();
    std::int64_t softMs = -1;  // another iteration starts only while below it; -1 for none
    std::int64_t hardMs = -1;  // the stop flag goes up here; -1 for none
};

class ClockedSearch : public AlphaBetaSearch {
  public:
    ClockedSearch() = default;

    bool chooseMove(Move& out) override { return think(out); }

    // Plies at which to stop, -1 for none.
    void setDepthLimit(int plies) { depthLimit_ = plies; }
    void setClock(const ThinkClock& clock) { clock_ = clock; }

    // out is written: true when it holds the chosen move, false when the position has no move.
    bool think(Move& out);

    // "Depth = n  Score = s" of the last completed iteration.
    const std::string& statusText() const { return statusText_; }
    // The depth of the last completed iteration (0 when even the first was cut).
    int completedDepth() const { return completedDepth_; }
    // Whether the move came from a cut iteration's proof rather than a completed iteration.
    bool movedByCutIteration() const { return movedByCut_; }

  private:
    struct Iteration {
        bool complete = false;
        int score = 0;
        Move move = Move::null();  // the iteration's best move, or the cut one's proven best
        bool proved = false;       // a cut iteration proved move better than the one it began with
    };
    Iteration iterate(int depth, const Move& previousBest);
    // A split root that the solver decides: its move, which keeps the most moves, at once.
    bool solvedRoot(Move& out);
    std::int64_t elapsedMs() const;

    int depthLimit_ = -1;
    ThinkClock clock_;
    std::string statusText_;
    int completedDepth_ = 0;
    bool movedByCut_ = false;
    std::array<int, MAX_ITERATION_DEPTH + 2> scores_{};
};

}  // namespace wintarvo
