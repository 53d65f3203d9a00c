// Positions written as diagrams: the board's cells row by row from rank 10 down, files A..J,
// one character a cell: W a white amazon, B a black one, x an arrow, anything else (a dot, by
// custom) an empty square. The bench's fixed positions and the tests write positions this way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/position.h"

namespace wintarvo {

// diagram holds the hundred cells one after the other (ten rows of ten, nothing between them).
Position positionFromDiagram(std::string_view diagram, int sideToMove);

// The same from ten rows of ten cells.
Position positionFromRows(const std::vector<std::string>& rows, int sideToMove);

}  // namespace wintarvo
