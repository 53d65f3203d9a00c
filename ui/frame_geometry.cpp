#include "ui/frame_geometry.h"

#include <algorithm>

namespace wintarvo {
namespace {

// Label identifiers in layout order: rows 1..10, then columns A..J. Identifier 1000 belongs to
// column C, so the columns are not in numeric order.
constexpr std::array<int, 10> ROW_LABEL_IDS{1010, 1009, 1008, 1007, 1006,
                                            1005, 1004, 1003, 1002, 1001};
constexpr std::array<int, 10> COLUMN_LABEL_IDS{1011, 1012, 1000, 1013, 1014,
                                               1015, 1016, 1017, 1018, 1019};

constexpr int DIALOG_BASE_X = 6;
constexpr int DIALOG_BASE_Y = 13;

// Multiplies and divides with rounding half away from zero, as the dialog unit conversion
// does.
int mulDiv(int value, int multiplier, int divisor) {
    const long long product = static_cast<long long>(value) * multiplier;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

}  // namespace

QSize frameSizeRule(QSize proposed) {
    return {std::max(proposed.width() / FRAME_GRID, FRAME_MIN_WIDTH / FRAME_GRID) * FRAME_GRID,
            std::max(proposed.height() / FRAME_GRID, FRAME_MIN_HEIGHT / FRAME_GRID) * FRAME_GRID};
}

BoardRect boardSizeRule(int clientWidth, int clientHeight, int toolbarHeight, int statusHeight) {
    // 3. The board is square: the smaller of the width and the height left between the bars.
    const int available = clientHeight - toolbarHeight - statusHeight;
    const int m = available < clientWidth ? available : clientWidth;
    // 4. Room for the labels and margins, then down to a multiple of 10, never below 10.
    int side = m - 27;
    if (side < 10) side = 10;
    side = side / 10 * 10;
    // 5.
    BoardRect board;
    board.right = board.left + side;
    board.bottom = board.top + side;
    return board;
}

std::array<LabelPlace, 20> labelPlaces(const BoardRect& board) {
    const int q = (board.bottom - board.top) / 10;
    const int h = q / 2;
    std::array<LabelPlace, 20> places{};
    for (int k = 0; k < 10; ++k) {
        places[static_cast<std::size_t>(k)] = {ROW_LABEL_IDS[static_cast<std::size_t>(k)],
                                               {board.left - 20, board.bottom - 6 - h - k * q}};
        places[static_cast<std::size_t>(10 + k)] = {COLUMN_LABEL_IDS[static_cast<std::size_t>(k)],
                                                    {board.left + h - 3 + k * q, board.bottom + 5}};
    }
    return places;
}

QPoint centredInside(QSize box, const QRect& reference, const QRect& workArea) {
    // Exclusive right and bottom edges, as the rule is stated.
    const int refRight = reference.left() + reference.width();
    const int refBottom = reference.top() + reference.height();
    const int workRight = workArea.left() + workArea.width();
    const int workBottom = workArea.top() + workArea.height();
    int x = (reference.left() + refRight) / 2 - box.width() / 2;
    int y = (reference.top() + refBottom) / 2 - box.height() / 2;
    if (x < workArea.left())
        x = workArea.left();
    else if (x + box.width() > workRight)
        x = workRight - box.width();
    if (y < workArea.top())
        y = workArea.top();
    else if (y + box.height() > workBottom)
        y = workBottom - box.height();
    return {x, y};
}

int dialogUnitsToPixelsX(int units) {
    return mulDiv(units, DIALOG_BASE_X, 4);
}
int dialogUnitsToPixelsY(int units) {
    return mulDiv(units, DIALOG_BASE_Y, 8);
}

QRect dialogRect(int x, int y, int width, int height) {
    return {dialogUnitsToPixelsX(x), dialogUnitsToPixelsY(y), dialogUnitsToPixelsX(width),
            dialogUnitsToPixelsY(height)};
}

}  // namespace wintarvo
