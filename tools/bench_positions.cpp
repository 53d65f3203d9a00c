#include "tools/bench_positions.h"

namespace wintarvo::cli {

Position BenchPosition::position() const {
    Position p;
    p.clearBoard();
    for (Square s = 0; s < BOARD_SQUARES; ++s) {
        const char c = rows[static_cast<std::size_t>(s)];
        p.setCell(s, c == 'W' ? WhiteAmazon : c == 'B' ? BlackAmazon : c == 'x' ? Arrow : Empty);
    }
    p.sideToMove = sideToMove;
    p.recomputeHash();
    return p;
}

const std::vector<BenchPosition>& benchPositions() {
    static const std::vector<BenchPosition> list = {
        {"start",
         "...B..B..."
         ".........."
         ".........."
         "B........B"
         ".........."
         ".........."
         "W........W"
         ".........."
         ".........."
         "...W..W...",
         0, 3},
    };
    return list;
}

}  // namespace wintarvo::cli
