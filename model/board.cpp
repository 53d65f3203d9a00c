#include "model/board.h"

namespace wintarvo {

Board Board::fromPosition(const Position& p) {
    Board b;
    for (Square s = 0; s < BOARD_SQUARES; ++s) {
        switch (p.cell(s)) {
            case WhiteAmazon: b.amazons[0] |= bits::of(s); break;
            case BlackAmazon: b.amazons[1] |= bits::of(s); break;
            case Empty: break;
            // Arrows, and any marking code a working copy may hold: they all block.
            default: b.arrows |= bits::of(s); break;
        }
    }
    b.hashKey[0] = p.hashKey[0];
    b.hashKey[1] = p.hashKey[1];
    b.sideToMove = p.sideToMove;
    return b;
}

Position Board::toPosition() const {
    Position p;
    p.clearBoard();
    for (Square s = 0; s < BOARD_SQUARES; ++s) {
        if (bits::has(amazons[0], s)) p.setCell(s, WhiteAmazon);
        else if (bits::has(amazons[1], s)) p.setCell(s, BlackAmazon);
        else if (bits::has(arrows, s)) p.setCell(s, Arrow);
    }
    p.sideToMove = sideToMove;
    p.hashKey[0] = hashKey[0];
    p.hashKey[1] = hashKey[1];
    return p;
}

}  // namespace wintarvo
