// The two sides of a game, for the code that names them: in messages, in SGF's W and B, in
// GTP's colours. The position itself keeps the side to move as the number the engine uses
// (Position::sideToMove, 0 White, 1 Black); sideOf and sideIndex convert.
//
// Plain constant functions; any thread.
#pragma once

#include <cstdint>
#include <string_view>

namespace wintarvo {

enum class Side : std::int32_t { White = 0, Black = 1 };

// The side of Position::sideToMove (anything but 0 is Black, as the engine reads it).
constexpr Side sideOf(std::int32_t sideToMove) {
    return sideToMove == 0 ? Side::White : Side::Black;
}
constexpr std::int32_t sideIndex(Side side) {
    return static_cast<std::int32_t>(side);
}
constexpr Side otherSide(Side side) {
    return side == Side::White ? Side::Black : Side::White;
}

// "White" or "Black", as messages and the board dump write them.
constexpr std::string_view sideName(Side side) {
    return side == Side::White ? "White" : "Black";
}
// "white" or "black", GTP's colour.
constexpr std::string_view gtpColour(Side side) {
    return side == Side::White ? "white" : "black";
}

}  // namespace wintarvo
