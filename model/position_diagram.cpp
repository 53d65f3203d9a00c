#include "model/position_diagram.h"

namespace wintarvo {

Position positionFromDiagram(std::string_view diagram, int sideToMove) {
    Position p;
    p.clearBoard();
    for (Square s = 0; s < BOARD_SQUARES && static_cast<std::size_t>(s) < diagram.size(); ++s) {
        const char c = diagram[static_cast<std::size_t>(s)];
        p.setCell(s, c == 'W' ? WhiteAmazon : c == 'B' ? BlackAmazon : c == 'x' ? Arrow : Empty);
    }
    p.sideToMove = sideToMove;
    p.recomputeHash();
    return p;
}

Position positionFromRows(const std::vector<std::string>& rows, int sideToMove) {
    std::string diagram;
    for (const std::string& row : rows) {
        std::string cells = row.substr(0, 10);
        cells.resize(10, '.');
        diagram += cells;
    }
    return positionFromDiagram(diagram, sideToMove);
}

}  // namespace wintarvo
