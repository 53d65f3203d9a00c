#include "model/territory.h"

#include "model/board.h"

namespace wintarvo {
namespace {

TerritoryFill fillOf(const Board& b, Bits extraWhite, Bits extraBlack) {
    TerritoryFill f;
    fill::runFast(b.amazons[0], b.amazons[1], b.emptySquares(), f, extraWhite, extraBlack);
    return f;
}

}  // namespace

TerritoryFill territoryOf(const Position& p) { return fillOf(Board::fromPosition(p), 0, 0); }

void TerritoryCounter::computeTerritory(Position& w) {
    // Cells already marked WhiteFront or BlackFront block the first wave and then become
    // sources, as the wave-by-wave marking would treat them.
    Bits frontWhite = 0, frontBlack = 0;
    for (Square s = 0; s < BOARD_SQUARES; ++s) {
        if (w.cell(s) == WhiteFront) frontWhite |= bits::of(s);
        if (w.cell(s) == BlackFront) frontBlack |= bits::of(s);
    }
    const TerritoryFill f = fillOf(Board::fromPosition(w), frontWhite, frontBlack);
    whiteCount = f.whiteCount;
    blackCount = f.blackCount;
    for (Square s = 0; s < BOARD_SQUARES; ++s) {
        if (bits::has(f.white, s)) w.setCell(s, WhiteTerritory);
        else if (bits::has(f.black, s)) w.setCell(s, BlackTerritory);
        else if (bits::has(f.contested, s)) w.setCell(s, Contested);
    }
}

}  // namespace wintarvo
