// One Amazons move: the amazon's square, its destination and the arrow square.
//
// A plain value. All three fields -1 is the null move; a move is valid when all three fields
// are squares (>= 0). Written D1-D4 (D7); packed into 24 bits from << 16 | to << 8 | arrow for
// the announcements between running copies.
#pragma once

#include <cstdint>
#include <string>

#include "model/square.h"

namespace wintarvo {

struct Move {
    Square from = NO_SQUARE;
    Square to = NO_SQUARE;
    Square arrow = NO_SQUARE;

    constexpr bool isValid() const { return from >= 0 && to >= 0 && arrow >= 0; }
    constexpr void reset() { from = to = arrow = NO_SQUARE; }
    static constexpr Move null() { return Move{}; }

    friend constexpr bool operator==(const Move&, const Move&) = default;
};

// "D1-D4 (D7)".
std::string moveText(const Move& m);

// Reads a move of a record file in either notation: six characters are three two-character
// squares ("A1B2C3", each read as parseSquare does); more than six are the full form
// "D1-D4 (D7)", in which the blanks before the parenthesis are optional, the closing
// parenthesis is not needed and whatever follows the third square is ignored, and a letter
// and number that name no square are read as -1 without failing. Fewer than six characters
// fail. On failure the fields filled so far keep their new values; the caller resets the move
// first. Moves a person typed are read with parseTypedMove (typed_move.h) instead.
bool parseMove(const std::string& text, Move& m);

std::uint32_t packMove(const Move& m);
void unpackMove(std::uint32_t value, Move& m);

}  // namespace wintarvo
