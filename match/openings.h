// The match's openings and which game plays which: random legal plies from a seed, each
// opening played twice with the colours swapped.
//
// The random numbers come from a generator of our own (SplitMix64, reduced to a range by
// rejection), not from <random>'s distributions, whose results differ between standard
// libraries: the same seed gives the same openings on every build. Openings are distinct as
// positions and never leave the side to move without a move. Plain functions, any thread.
#pragma once

#include <cstdint>
#include <vector>

#include "model/move_list.h"

namespace wintarvo::match {

class SplitMix64 {
  public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // Uniform in 0..n-1; n > 0.
    std::uint64_t below(std::uint64_t n);

  private:
    std::uint64_t state_;
};

// `count` distinct openings of `plies` random legal plies each from the starting position.
// Fewer when the draws run out before that many distinct ones are found (a count larger than
// the number of openings there are, such as two openings of no plies).
std::vector<MoveList> generateOpenings(int count, int plies, std::uint64_t seed);

struct GameAssignment {
    int opening = 0;             // index into the openings
    bool engineOneWhite = true;  // engine 1 has White
};

// Game `index` (from 0) plays opening (index / 2) modulo the count, engine 1 White in the first
// game of each pair and Black in the second.
GameAssignment assignmentFor(int index, int openingCount);

}  // namespace wintarvo::match
