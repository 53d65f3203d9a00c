// The search driver: iterative deepening over the MTD(f) searcher, one root search per depth,
// until the depth limit, the time limit, a decided score, a stop request or 26 iterations.
//
// The engine thread builds one for every think request: construct, set the limits and the
// position, think once, read the status text and print the table statistics, destroy. Nothing
// carries over to the next request. The time limit never interrupts an iteration: it only
// decides whether another one starts (elapsed time times the branch factor estimate 8 must not
// pass the limit).
#pragma once

#include <string>

#include "search/alpha_beta_search.h"

namespace wintarvo {

constexpr int BRANCH_FACTOR_ESTIMATE = 8;
constexpr int MAX_ITERATIONS = 26;

class SearchEngine : public AlphaBetaSearch {
public:
    SearchEngine() = default;

    bool chooseMove(Move& out) override { return think(out); }

    // Plies at which to stop, -1 for none.
    void setDepthLimit(int plies) { depthLimit_ = plies; }
    // Whole seconds, -1 for none.
    void setTimeLimit(int seconds) { timeLimit_ = seconds; }

    // out is read and written: true when it holds the chosen move, false when the position has
    // no legal move (out unchanged).
    bool think(Move& out);

    // "Depth = n  Score = s" after each iteration.
    const std::string& statusText() const { return statusText_; }

private:
    int depthLimit_ = 0;
    int timeLimit_ = 0;
    std::string statusText_;
};

}  // namespace wintarvo
