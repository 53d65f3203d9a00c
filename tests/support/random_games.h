// Reproducible random play for tests that need many varied positions.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "model/move.h"
#include "model/position.h"

namespace wintarvo::testing {

// Plays up to `plies` random legal moves from p (fewer if the game ends), returning them.
std::vector<Move> playRandomGame(Position& p, int plies, std::mt19937& rng);

// A set of positions from random games: every ply of `games` games of up to 92 plies.
std::vector<Position> randomPositions(int games, std::uint32_t seed);

}  // namespace wintarvo::testing
