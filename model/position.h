// A game position: the side to move, the 100 cells and two 32-bit Zobrist hash words.
//
// A trivially copyable value that every layer copies freely (the document, the board view and
// the engine thread each hold their own). The hash words cover the cells only and are kept
// incrementally by applyMove and undoMove; hashValue adds the side to move. None of the
// operations allocates.
#pragma once

#include <array>
#include <cstdint>

#include "model/move.h"
#include "model/square.h"

namespace wintarvo {

struct SquareList;

struct Position {
    std::int32_t sideToMove = 0;  // 0 White, 1 Black
    std::array<CellCode, BOARD_SQUARES> cells{};
    std::array<std::uint32_t, 2> hashKey{};

    // White to move and every cell empty; the hash words are left as they were.
    void clearBoard();
    // The starting position (amazons on D10, G10, A7, J7 and A4, J4, D1, G1), White to move,
    // hash words computed.
    void setStartPosition();
    // Word w = XOR of the keys of every arrow and amazon (0 for an empty board).
    void recomputeHash();
    // No legality test: the caller guarantees the move is legal here (for undo: that it was
    // the last move played into this position).
    void applyMove(const Move& m);
    void undoMove(const Move& m);
    // Word w, plus 1 with wrap-around when Black is to move: the transposition table's key.
    std::uint32_t hashValue(int w) const {
        return hashKey[static_cast<std::size_t>(w)] + static_cast<std::uint32_t>(sideToMove == 1);
    }
    // Compares the side to move, hash word 0, hash word 1, then the cells.
    bool differs(const Position& other) const;
    int arrowCount() const;

    // Queen-move queries on the current cells (see move_generation.h).
    int mobility(Square s) const;
    void destinations(Square s, SquareList& list) const;

    CellCode cell(Square s) const { return cells[static_cast<std::size_t>(s)]; }
    void setCell(Square s, CellCode code) { cells[static_cast<std::size_t>(s)] = code; }
};

// Writes the board to the debug trace: a letter line, ten rows (rank 10 labelled X), the letter
// line again, the side to play and an empty line.
void dumpPosition(const Position& position);

}  // namespace wintarvo
