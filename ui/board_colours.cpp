#include "ui/board_colours.h"

namespace wintarvo {
namespace {

int quarter(int channel) {
    return static_cast<int>(channel / 4.0);
}
int quarterPlus(int channel) {
    return static_cast<int>(channel / 4.0 + 191.25);
}

}  // namespace

QColor squareColour(int row, int column, bool underPointer) {
    if ((row + column) % 2 == 0)
        return underPointer ? colours::LIGHT_SQUARE_HOVER : colours::LIGHT_SQUARE;
    return underPointer ? colours::DARK_SQUARE_HOVER : colours::DARK_SQUARE;
}

QColor whiteTerritoryColour(const QColor& square) {
    return {quarter(square.red()), quarter(square.green()), quarterPlus(square.blue())};
}

QColor blackTerritoryColour(const QColor& square) {
    return {quarterPlus(square.red()), quarter(square.green()), quarter(square.blue())};
}

}  // namespace wintarvo
