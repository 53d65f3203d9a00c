// Squares and cell codes.
//
// A square is a board index 0..99: index = 10 * row + column, row 0 at the top (rank 10),
// column 0 at the left (file A); -1 means no square. Written as a letter A..J and the rank
// number 1..10: A10 is index 0 (top left), J1 is index 99 (bottom right).
#pragma once

#include <cstdint>
#include <string>

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

// Reads one character and then a decimal field at most two characters wide (blanks before the
// number are skipped); index = letter - 10 * number + 35, -1 unless both were read and the
// index lies in 0..99. Only an upper-case A..J with 1..10 names the square it reads as.
Square parseSquare(const std::string& text);

}  // namespace wintarvo
