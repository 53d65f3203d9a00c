// The three built-in test positions (File > Set Board and the command-line tool's test1..3).
// Each is placed on an empty board with White to move and its hash words recomputed.
#pragma once

#include "model/position.h"

namespace wintarvo {

constexpr int TEST_POSITION_COUNT = 3;

// Fills p with test position n (1..3); any other n leaves the board empty. Either way the
// board is cleared first, White is to move and the hash is recomputed.
void setTestPosition(Position& p, int n);

}  // namespace wintarvo
