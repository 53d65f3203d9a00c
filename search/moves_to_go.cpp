#include "search/moves_to_go.h"

#include <algorithm>

namespace wintarvo {

namespace {

int emptySquares(const Position& p) {
    return static_cast<int>(std::count(p.cells.begin(), p.cells.end(), Empty));
}

}  // namespace

int expectedMovesToThink(const Position& p, bool splitSolver) {
    const int empty = emptySquares(p);
    const int expected = splitSolver ? (empty - 30) / 2 : (empty - 10) / 2;
    return std::clamp(expected, 1, mostMovesLeft(p));
}

int mostMovesLeft(const Position& p) {
    return std::max(1, (emptySquares(p) + 1) / 2);
}

}  // namespace wintarvo
