#include "model/position.h"

#include "diag/trace.h"
#include "model/move_generation.h"
#include "model/zobrist_keys.h"

namespace wintarvo {

void Position::clearBoard() {
    sideToMove = 0;
    cells.fill(Empty);
}

void Position::setStartPosition() {
    clearBoard();
    for (Square s : {3, 6, 30, 39}) setCell(s, BlackAmazon);
    for (Square s : {60, 69, 93, 96}) setCell(s, WhiteAmazon);
    recomputeHash();
}

void Position::recomputeHash() {
    for (int w = 0; w < 2; ++w) {
        std::uint32_t h = 0;
        for (Square s = 0; s < BOARD_SQUARES; ++s) {
            const CellCode k = cell(s);
            if (k >= Arrow && k <= BlackAmazon) h ^= ZobristKeys::key(w, k, s);
        }
        hashKey[static_cast<std::size_t>(w)] = h;
    }
}

void Position::applyMove(const Move& m) {
    const CellCode code = cell(m.from);
    setCell(m.from, Empty);
    setCell(m.to, code);
    setCell(m.arrow, Arrow);
    sideToMove = sideToMove == 0 ? 1 : 0;
    for (int w = 0; w < 2; ++w) {
        hashKey[static_cast<std::size_t>(w)] ^= ZobristKeys::key(w, code, m.from) ^
                                                ZobristKeys::key(w, code, m.to) ^
                                                ZobristKeys::key(w, Arrow, m.arrow);
    }
}

void Position::undoMove(const Move& m) {
    setCell(m.arrow, Empty);
    const CellCode code = cell(m.to);
    setCell(m.to, Empty);
    setCell(m.from, code);
    sideToMove = sideToMove == 0 ? 1 : 0;
    for (int w = 0; w < 2; ++w) {
        hashKey[static_cast<std::size_t>(w)] ^= ZobristKeys::key(w, code, m.from) ^
                                                ZobristKeys::key(w, code, m.to) ^
                                                ZobristKeys::key(w, Arrow, m.arrow);
    }
}

bool Position::differs(const Position& other) const {
    if (sideToMove != other.sideToMove) return true;
    if (hashKey[0] != other.hashKey[0]) return true;
    if (hashKey[1] != other.hashKey[1]) return true;
    return cells != other.cells;
}

int Position::arrowCount() const {
    int n = 0;
    for (CellCode k : cells) n += (k == Arrow);
    return n;
}

int Position::mobility(Square s) const { return wintarvo::mobility(*this, s); }

void Position::destinations(Square s, SquareList& list) const {
    wintarvo::destinations(*this, s, list);
}

namespace {

const char* dumpText(CellCode code, Square s) {
    switch (code) {
        case Empty: return (squareRow(s) + squareColumn(s)) % 2 == 0 ? "==" : "--";
        case Arrow: return "[]";
        case WhiteAmazon: return "WP";
        case BlackAmazon: return "BP";
        case WhiteTerritory: return "WT";
        case BlackTerritory: return "BT";
        case WhiteFront: return "WE";
        case BlackFront: return "BE";
        case Contested: return "DE";
        default: return "??";
    }
}

}  // namespace

void dumpPosition(const Position& position) {
    const std::string letters = "   a  b  c  d  e  f  g  h  i  j";
    traceLine(letters);
    for (int r = 0; r < 10; ++r) {
        traceWrite(r == 0 ? std::string("X  ") : intToString(10 - r) + "  ");
        for (int c = 0; c < 10; ++c) {
            const Square s = 10 * r + c;
            traceWrite(std::string(dumpText(position.cell(s), s)) + " ");
        }
        // Built by appending: g++ 12 at -O3 warns falsely (-Wrestrict) on " " + std::string.
        traceWrite(r == 0 ? std::string(" X  ")
                          : std::string(" ").append(intToString(10 - r)).append("  "));
        traceLine("");
    }
    traceLine(letters);
    traceLine(position.sideToMove != 0 ? "Side to play:  Black." : "Side to play:  White.");
    traceLine("");
}

}  // namespace wintarvo
