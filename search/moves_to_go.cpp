#include "search/moves_to_go.h"

#include <algorithm>

namespace wintarvo {

namespace {

int emptySquares(const Position& p) {
    return static_cast<int>(std::count(p.cells.begin(), p.cells.end(), Empty));
}

}  // namespace

// Fitted to the medians of 29 games of the engine against itself at 0.1 to 0.5 seconds a move
// (tests/campaigns/moves_to_go.py; the figures are in docs/PERFORMANCE.md). To the end of the
// game a side made (E - 3) / 2 more moves with E empty squares, nearly all it could. Until the
// board split it made (E - 26) / 2 while more than 56 squares were empty; a board still unsplit
// with fewer took (E + 4) / 4 more moves to split (checked on 100 games between equals at one
// second a move: 12 moves at 44 empty squares, 8 at 28, 6 at 20).
int expectedMovesToThink(const Position& p, bool splitSolver) {
    const int empty = emptySquares(p);
    const int expected =
        splitSolver ? std::max((empty - 26) / 2, (empty + 4) / 4) : (empty - 3) / 2;
    return std::clamp(expected, 1, mostMovesLeft(p));
}

int mostMovesLeft(const Position& p) {
    return std::max(1, (emptySquares(p) + 1) / 2);
}

}  // namespace wintarvo
