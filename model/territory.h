// The territory counter: runs the wave-by-wave territory fill on a working copy of a position
// and counts each side's squares.
//
// Afterwards the copy's cells read WhiteTerritory or BlackTerritory for each side's amazons and
// every square that side reached in an earlier wave than the other, Contested for squares both
// reached in the same wave, and are otherwise as they were (Empty for squares nobody reached).
// The board view tints from the marked copy; the evaluator counts from the same fill.
#pragma once

#include "model/position.h"
#include "model/territory_fill.h"

namespace wintarvo {

class TerritoryCounter {
public:
    int whiteCount = 0;
    int blackCount = 0;

    void computeTerritory(Position& workingCopy);
};

// The fill of a position whose cells hold only play codes, without marking anything.
TerritoryFill territoryOf(const Position& p);

}  // namespace wintarvo
