// The engine's working form of a position: the amazons of each side and the arrows as square
// sets, the two hash words and the side to move, 64 bytes in all.
//
// The search, the fast move generator and the evaluator work on boards; everything else works
// on Position, the plain record of cells. Converting either way is exact: a board made from a
// position (codes 0..3 only) gives the same moves, hash values and scores as the position.
#pragma once

#include <cstdint>

#include "model/bitboard.h"
#include "model/move.h"
#include "model/position.h"
#include "model/zobrist_keys.h"

namespace wintarvo {

struct alignas(64) Board {
    Bits amazons[2] = {0, 0};  // [0] White, [1] Black
    Bits arrows = 0;
    std::uint32_t hashKey[2] = {0, 0};
    std::int32_t sideToMove = 0;

    static Board fromPosition(const Position& p);
    Position toPosition() const;

    Bits occupied() const { return amazons[0] | amazons[1] | arrows; }
    Bits emptySquares() const { return bits::ALL & ~occupied(); }
    std::uint32_t hashValue(int w) const {
        return hashKey[w] + static_cast<std::uint32_t>(sideToMove == 1);
    }

    // hashValue(0) of the position after m, without making it: for fetching table lines ahead.
    std::uint32_t childHashValue0(const Move& m) const {
        const CellCode code = sideToMove == 0 ? WhiteAmazon : BlackAmazon;
        return (hashKey[0] ^ ZobristKeys::key(0, code, m.from) ^ ZobristKeys::key(0, code, m.to) ^
                ZobristKeys::key(0, Arrow, m.arrow)) +
               static_cast<std::uint32_t>(sideToMove == 0);
    }

    // Same effect as Position::applyMove; no legality test.
    void applyMove(const Move& m) {
        const int side = sideToMove;
        const CellCode code = side == 0 ? WhiteAmazon : BlackAmazon;
        amazons[side] = (amazons[side] & ~bits::of(m.from)) | bits::of(m.to);
        arrows |= bits::of(m.arrow);
        sideToMove = side ^ 1;
        hashKey[0] ^= ZobristKeys::key(0, code, m.from) ^ ZobristKeys::key(0, code, m.to) ^
                      ZobristKeys::key(0, Arrow, m.arrow);
        hashKey[1] ^= ZobristKeys::key(1, code, m.from) ^ ZobristKeys::key(1, code, m.to) ^
                      ZobristKeys::key(1, Arrow, m.arrow);
    }
};

}  // namespace wintarvo
