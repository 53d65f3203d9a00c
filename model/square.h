// Squares and cell codes.
//
// A square is a board index 0..99: index = 10 * row + column, row 0 at the top (rank 10),
// column 0 at the left (file A); -1 means no square. Written as a letter A..J and the rank
// number 1..10: A10 is index 0 (top left), J1 is index 99 (bottom right).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace wintarvo {

using Square = std::int32_t;

constexpr Square NO_SQUARE = -1;
constexpr int BOARD_SQUARES = 100;

// The value of one cell. Codes 4 and above occur only in the working copy that the territory
// fill marks up, and in its dump.
using CellCode = std::int32_t;
constexpr CellCode Empty = 0;
constexpr CellCode Arrow = 1;
constexpr CellCode WhiteAmazon = 2;
constexpr CellCode BlackAmazon = 3;
constexpr CellCode WhiteTerritory = 4;
constexpr CellCode BlackTerritory = 5;
constexpr CellCode WhiteFront = 6;
constexpr CellCode BlackFront = 7;
constexpr CellCode Contested = 13;

constexpr int squareRow(Square s) { return s / 10; }
constexpr int squareColumn(Square s) { return s % 10; }

// "A10" .. "J1"; the empty text for anything outside 0..99.
std::string squareText(Square s);

// The square named by a file letter (A..J, or a..j for the same file) and a rank number
// (1..10); -1 for any other letter or number.
Square squareFromParts(char letter, int number);

// The whole text must name a square: one letter A..J or a..j followed at once by the rank
// 1..10 written without sign, blank or leading zero ("a9" is A9). Anything else is -1.
Square parseSquare(std::string_view text);

// Reads a square written as parseSquare wants it at text[pos...], with nothing required after
// it: a rank of 1 followed by 0 is read as 10. On success pos moves past the square; on
// failure it stays and the result is -1.
Square readSquareAt(std::string_view text, std::size_t& pos);

}  // namespace wintarvo
