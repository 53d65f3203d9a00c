// How many more moves the side to move is expected to make, for sharing its clock among them.
//
// The most moves a side can still make is half the empty squares (each move burns one, and the
// sides alternate). Real games end much sooner: late in a game most empty squares lie in
// regions a side can never reach or fill. The expectation is learned from games (see
// docs/PERFORMANCE.md): for each count of empty squares, the number of moves the side still
// made, and, for the engine that solves split boards, the moves it made before the board split
// (after that its moves take no thinking).
#pragma once

#include "model/position.h"

namespace wintarvo {

// The moves of the side to move still expected to need a think (at least 1).
int expectedMovesToThink(const Position& p, bool splitSolver);

// The most moves the side to move can still have to make (at least 1).
int mostMovesLeft(const Position& p);

}  // namespace wintarvo
