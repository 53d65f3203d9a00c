#include "support/slow_rules.h"

namespace wintarvo::testing {
namespace {

const int ROW_STEP[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
const int COL_STEP[8] = {-1, 0, 1, -1, 1, -1, 0, 1};

}  // namespace

std::vector<Square> slowDestinations(const Position& p, Square s) {
    std::vector<Square> out;
    const int r0 = s / 10, c0 = s % 10;
    for (int d = 0; d < 8; ++d) {
        int r = r0 + ROW_STEP[d], c = c0 + COL_STEP[d];
        while (r >= 0 && r < 10 && c >= 0 && c < 10 && p.cells[static_cast<std::size_t>(r * 10 + c)] == Empty) {
            out.push_back(r * 10 + c);
            r += ROW_STEP[d];
            c += COL_STEP[d];
        }
    }
    return out;
}

std::vector<Move> slowGenerateMoves(const Position& p) {
    std::vector<Move> out;
    const CellCode mine = p.sideToMove == 0 ? WhiteAmazon : BlackAmazon;
    for (Square s = 0; s < 100; ++s) {
        if (p.cells[static_cast<std::size_t>(s)] != mine) continue;
        Position lifted = p;
        lifted.cells[static_cast<std::size_t>(s)] = Empty;
        for (Square t : slowDestinations(lifted, s)) {
            for (Square a : slowDestinations(lifted, t)) out.push_back(Move{s, t, a});
        }
    }
    return out;
}

std::uint64_t slowPerft(const Position& p, int depth) {
    if (depth == 0) return 1;
    const std::vector<Move> moves = slowGenerateMoves(p);
    if (depth == 1) return moves.size();
    std::uint64_t n = 0;
    for (const Move& m : moves) {
        Position child = p;
        child.applyMove(m);
        n += slowPerft(child, depth - 1);
    }
    return n;
}

}  // namespace wintarvo::testing
