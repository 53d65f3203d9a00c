// A deliberately plain, independent statement of the rules for tests to check the engine's
// fast code against: coordinates as (row, column) pairs, every step checked with arithmetic,
// no tables shared with the program.
#pragma once

#include <cstdint>
#include <vector>

#include "model/move.h"
#include "model/position.h"

namespace wintarvo::testing {

// Squares reached from s in direction order (up-left, up, up-right, left, right, down-left,
// down, down-right), nearest first, through cells that are exactly Empty.
std::vector<Square> slowDestinations(const Position& p, Square s);
std::vector<Move> slowGenerateMoves(const Position& p);
std::uint64_t slowPerft(const Position& p, int depth);

}  // namespace wintarvo::testing
