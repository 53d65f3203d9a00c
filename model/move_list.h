// Lists of squares and of moves.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/move.h"
#include "model/square.h"

namespace wintarvo {

// Up to 255 squares and their count. The caller sets count to 0 before the first fill;
// destinations appends after the squares already there (at most 35 per call).
struct SquareList {
    static constexpr int CAPACITY = 255;
    std::array<Square, CAPACITY> squares{};
    int count = 0;

    void append(Square s) {
        if (count < CAPACITY) squares[static_cast<std::size_t>(count++)] = s;
    }
    Square operator[](int i) const { return squares[static_cast<std::size_t>(i)]; }
    bool contains(Square s) const {
        for (int i = 0; i < count; ++i)
            if (squares[static_cast<std::size_t>(i)] == s) return true;
        return false;
    }
};

// Moves in generation order.
using MoveList = std::vector<Move>;

// Writes the moves from the last towards the first, each followed by two blanks; after eleven,
// "... " if any remain. No line end.
void dumpMoveSequence(const MoveList& moves);

}  // namespace wintarvo
