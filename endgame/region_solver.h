// Counts the moves the amazons of one region can still make on their own: the longest sequence
// of moves (a queen step to an empty square of the region, then an arrow from there, the
// vacated square open again) that they can play one after another.
//
// A depth-first search over the region's moves with a table of results (region_table.h). Each
// move burns one square, so a region never has more moves than empty squares; the search
// stops at a node as soon as it finds a sequence that uses every one. After an arrow the
// region may fall apart: the pieces are searched on their own and added up, and a piece
// without an amazon is lost, which bounds the move from above before it is searched. Moves
// are tried so that such losses come last and arrows go first where few neighbours are left,
// which finds a sequence that fills the region at the first try for most regions.
//
// The work is capped by a node budget (a node: one position of the region expanded). When it
// runs out the result is a pair of proven bounds: the lower one a sequence that was actually
// found, the upper one the largest count any move could still lead to. Small regions come out
// exact.
//
// Owned by one SplitSolver (or a test); one thread.
#pragma once

#include <cstdint>
#include <vector>

#include "endgame/region_table.h"
#include "endgame/regions.h"
#include "model/move.h"

namespace wintarvo {

struct RegionBounds {
    int lower = 0;
    int upper = 0;

    bool exact() const { return lower == upper; }
    friend bool operator==(const RegionBounds&, const RegionBounds&) = default;
};

class RegionSolver {
  public:
    static constexpr int DEFAULT_TABLE_BITS = 16;  // 65536 entries of 48 bytes

    explicit RegionSolver(int tableBits = DEFAULT_TABLE_BITS);

    // The region must be connected and hold at least one amazon. Searches at most `budget`
    // nodes and takes what it used off budget. With first, also the first move of a sequence
    // of `lower` moves (the null move when lower is 0).
    RegionBounds solve(const Region& region, std::int64_t& budget, Move* first = nullptr);
    // The same added up over the regions that the given squares (the amazons among them) fall
    // into; squares connected to no amazon count nothing.
    RegionBounds solveSquares(Bits amazons, Bits squares, std::int64_t& budget);

    // Nodes expanded since construction.
    std::int64_t nodes() const { return nodes_; }
    const RegionTable& table() const { return table_; }

  private:
    // A move of a region, in the region's own (shifted) bits, and what is known of its result
    // before it is searched.
    struct Child {
        Bits amazons;
        Bits empty;
        int bound;  // the empty squares left connected to an amazon: at most this many moves
        int key;    // smaller is tried first
        std::int8_t from;
        std::int8_t to;
        std::int8_t arrow;
        bool connected;  // the region is still one piece
    };
    struct MoveBits {
        int from = -1;
        int to = -1;
        int arrow = -1;
    };

    RegionBounds search(Bits amazons, Bits empty, std::size_t depth, MoveBits* best);
    RegionBounds searchPieces(Bits amazons, Bits squares, std::size_t depth);
    void expand(Bits amazons, Bits empty, int emptyCount, std::vector<Child>& out) const;
    // A move that a lower bound of one stands for, when no other is known.
    static MoveBits stepAndShootBack(Bits amazons, Bits empty);
    // The first move of the sequence an entry's lower bound stands for.
    static MoveBits firstMoveOf(const RegionEntry& e, Bits amazons, Bits empty);

    RegionTable table_;
    // Buffers of every depth, made once: the children of a node and the pieces of a child.
    std::vector<std::vector<Child>> children_;
    std::vector<std::vector<Region>> pieces_;
    std::int64_t budget_ = 0;
    std::int64_t nodes_ = 0;
};

}  // namespace wintarvo
