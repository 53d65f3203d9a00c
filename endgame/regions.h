// Regions of a board: the connected components, under 8-neighbour adjacency, of the squares
// that are empty or hold an amazon.
//
// A queen move or an arrow runs square by square, each touching the last, over empty squares
// only, so nothing crosses from one region into another: each region is a game of its own. An amazon's square belongs to its
// region, because the square opens when the amazon moves away; two amazons of opposite colours
// that touch are therefore in one region. A region with amazons of both colours is mixed; a
// board is split when no region is. On a split board each side can only ever use its own
// regions, and the game comes down to how many moves each side still has (split_solver.h).
//
// Everything here is a pure function of square sets (bitboard.h); any thread may call it. The
// split test runs at search nodes: it grows one side's regions a king step at a time and stops
// at the first step that meets an amazon of the other side, which in a mixed middle game is
// after a step or two.
#pragma once

#include <array>
#include <vector>

#include "model/bitboard.h"
#include "model/board.h"

namespace wintarvo {

// One region as the solver sees it: the amazons in it and its empty squares.
struct Region {
    Bits amazons = 0;
    Bits empty = 0;

    Bits squares() const { return amazons | empty; }
    friend bool operator==(const Region&, const Region&) = default;
};

namespace regions {

// b together with every square a king step away, squares of the board only.
inline Bits grow(Bits b) {
    const Bits row = b | (b << 1) | (b >> 1);
    return (row | (row << bits::ROW_STRIDE) | (row >> bits::ROW_STRIDE)) & bits::ALL;
}

// The squares of `within` connected to `seed` (seed must lie inside within).
inline Bits fill(Bits seed, Bits within) {
    for (;;) {
        const Bits next = grow(seed) & within;
        if (next == seed) return seed;
        seed = next;
    }
}

// Appends to out the regions among `squares` that hold amazons (a subset of squares), in the
// order of their lowest amazon. Squares connected to no amazon belong to no region.
void appendRegions(Bits amazons, Bits squares, std::vector<Region>& out);

// The neighbours of bit x that lie in set, one bit each: NW, N, NE, W, E, SW, S, SE from bit 0.
// Read from one window of the set around x.
inline unsigned neighbourMask(Bits set, int x) {
    const Bits window = x >= 13 ? set >> (x - 13) : set << (13 - x);
    const auto v = static_cast<unsigned>(window);  // bits 0..2 the row above, 12 and 14 beside
    return (v & 7u) | ((v >> 9) & 8u) | ((v >> 10) & 16u) | ((v >> 19) & 0xE0u);
}
// Whether removing x from a connected set leaves it connected, judged from the neighbour mask
// of x alone: true when those neighbours touch one another in one chain, which proves it.
// False means "maybe not": the caller fills to find out.
extern const std::array<bool, 256> NEIGHBOURS_CONNECTED;
inline bool neighboursConnected(unsigned mask) {
    return NEIGHBOURS_CONNECTED[mask & 0xFFu];
}

// The translation that moves a set to the top left corner, as a bit count: a set shifted right
// by it has a square in row 0 and one in column 0. Regions that differ by a translation play
// alike, so the solver's table stores them shifted.
int cornerShift(Bits set);

}  // namespace regions

// The squares that are empty or hold an amazon.
inline Bits freeSquares(const Board& b) {
    return bits::ALL & ~b.arrows;
}

// No region holds amazons of both colours. A side without amazons has no regions, so a board
// on which either side has none is split.
bool isSplit(const Board& b);

// For a board made by a legal move from a mixed board: whether it is still mixed because the
// arrow of that move cut no region in two (the squares around it still touch one another). An
// amazon's move leaves the squares of the regions as they are and stays in its region, so only
// the arrow can split a board. False means "maybe split".
inline bool staysMixed(const Board& child, Square arrow) {
    const unsigned around = regions::neighbourMask(freeSquares(child), bits::bitOf(arrow));
    return regions::neighboursConnected(around);
}

}  // namespace wintarvo
