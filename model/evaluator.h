// The static evaluation: territory plus a quarter of the mobility difference, in squares, from
// the point of view of the side to move.
//
// score (White's view) = white territory + (white mobility - black mobility) / 4 - black
// territory, the division truncating toward zero. Mobility is the number of empty squares each
// amazon reaches in one queen move, summed per side. Every evaluation adds one to g_nodeCount;
// every 100000th writes "nodes = N" to the trace.
//
// The search owns one Evaluator on the engine thread; the game document makes a temporary one on
// the user-interface thread for the verbose print-out after an engine move.
#pragma once

#include <atomic>
#include <cstdint>

#include "model/board.h"
#include "model/position.h"

namespace wintarvo {

// Evaluations since the search driver last reset it. Shared by both threads without a lock and
// read only for the trace; 64 bits wide so that an unlimited search never wraps it.
extern std::atomic<std::int64_t>& g_nodeCount;

class Evaluator {
public:
    // The last raw score, White's point of view.
    int score = 0;

    // Score for the side to move. With verbose set, writes the marked territory board and the
    // terms to the trace.
    int evaluate(const Position& p, bool verbose);
    int evaluate(const Board& b) { return record(b, whiteScore(b)); }

    // The raw score of b (White's point of view) alone: no counting, no state, so any thread
    // may work it out.
    static int whiteScore(const Board& b);
    // Takes whiteScore(b), worked out here or elsewhere, as b's evaluation: sets score, counts
    // it, and returns it for the side to move.
    int record(const Board& b, int whiteScore);
};

}  // namespace wintarvo
