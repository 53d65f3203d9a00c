// The board view's drawing: squares, territory tint, pieces, markers.
//
// Rectangles are filled without antialiasing so every pixel lands exactly where the geometry
// puts it. A disc's outline follows the bounding box convention of the square it sits in: the
// box from (l, t) to (r, b) with right and bottom exclusive covers the pixels l..r-1 and
// t..b-1. A 1-pixel cosmetic pen without antialiasing draws an ellipse from QRect(x, y, w, h)
// over x..x+w and y..y+h, so the box becomes QRect(l, t, r - l - 1, b - t - 1).
#include <QPainter>

#include "model/move_generation.h"
#include "model/territory.h"
#include "ui/board_colours.h"
#include "ui/board_view.h"
#include "ui/board_view_window.h"

namespace wintarvo {

void BoardView::onPaint(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    paintDC_ = &painter;
    drawBoard();
    paintDC_ = nullptr;
}

void BoardView::setHover(int column, int row) {
    if (column == hoverColumn_ && row == hoverRow_) return;
    hoverColumn_ = column;
    hoverRow_ = row;
    invalidate();
}

void BoardView::updateCursor() {
    // Setting the window's cursor takes effect at once when the pointer is over it, without
    // waiting for the pointer to move.
    if (window_) window_->setCursor(thinking_ ? thinkingCursor_ : arrowCursor_);
}

void BoardView::fillSquare(Square square, const QColor& colour, int innerSize) {
    if (square < 0 || paintDC_ == nullptr) return;
    const int s = squareSize_;
    // The margin is computed on unsigned values, so a marker wider than the square (only on
    // a board of under 20 pixels) wraps round to an empty rectangle.
    const int margin =
        static_cast<int>((static_cast<unsigned>(s) - static_cast<unsigned>(innerSize)) / 2u);
    const int width = s - 2 * margin;
    if (width <= 0) return;
    const int left = squareColumn(square) * s + margin;
    const int top = squareRow(square) * s + margin;
    paintDC_->fillRect(QRect(left, top, width, width), colour);
}

void BoardView::drawAmazon(Square square, bool black) {
    if (square == NO_SQUARE || paintDC_ == nullptr) return;
    const int s = squareSize_;
    const int left = squareColumn(square) * s + 1;
    const int top = squareRow(square) * s + 1;
    const int right = left + s - 2;
    const int bottom = top + s - 2;
    paintDC_->save();
    paintDC_->setBrush(black ? blackBrush_ : whiteBrush_);
    paintDC_->setPen(black ? redPen_ : bluePen_);
    paintDC_->drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
    paintDC_->restore();
}

void BoardView::drawBoard() {
    // 1. Squares, with the pointer highlight.
    for (Square i = 0; i < BOARD_SQUARES; ++i) {
        const int r = squareRow(i);
        const int c = squareColumn(i);
        fillSquare(i, squareColour(r, c, c == hoverColumn_ && r == hoverRow_), squareSize_);
    }
    // 2. The working copy: with a destination chosen, the amazon already stands on it.
    Position working = shownPosition_;
    if (entry_.from >= 0 && entry_.to >= 0) {
        working.setCell(entry_.to, working.cell(entry_.from));
        working.setCell(entry_.from, Empty);
    }
    // 3.
    if (showTerritory) drawTerritory(working);
    // 4. Pieces; an arrow leaves a one-pixel border of the square's colour.
    for (Square i = 0; i < BOARD_SQUARES; ++i) {
        switch (working.cell(i)) {
            case Arrow:
                fillSquare(i, colours::ARROW, squareSize_ - 2);
                break;
            case WhiteAmazon:
                drawAmazon(i, false);
                break;
            case BlackAmazon:
                drawAmazon(i, true);
                break;
            default:
                break;
        }
    }
    // 5. The last move, small centred markers on top of the pieces.
    const int marker = squareSize_ / 8;
    for (Square s : {shownLastMove_.from, shownLastMove_.to, shownLastMove_.arrow})
        if (s != NO_SQUARE) fillSquare(s, colours::LAST_MOVE, marker);
    // 6. Where the picked amazon can go, or where its arrow can fly from the destination (the
    //    square it left included, since the working copy has it empty).
    const Square origin = entry_.to >= 0 ? entry_.to : entry_.from;
    if (origin >= 0) {
        const QColor& colour = entry_.to >= 0 ? colours::ARROW_TARGET : colours::DESTINATION;
        SquareList targets;
        destinations(working, origin, targets);
        for (int k = 0; k < targets.count; ++k)
            if (targets[k] != NO_SQUARE) fillSquare(targets[k], colour, marker);
    }
}

void BoardView::drawTerritory(const Position& working) {
    // 1. The fill marks each side's squares (its amazons' included) in a copy.
    Position marked = working;
    TerritoryCounter counter;
    counter.computeTerritory(marked);
    // 2-3. A centred tint of about half the square, derived from the square's own colour.
    const int k = squareSize_ / 2 - 1;
    for (Square i = 0; i < BOARD_SQUARES; ++i) {
        const CellCode owner = marked.cell(i);
        if (owner != WhiteTerritory && owner != BlackTerritory) continue;
        const int r = squareRow(i);
        const int c = squareColumn(i);
        const QColor square = squareColour(r, c, c == hoverColumn_ && r == hoverRow_);
        fillSquare(
            i,
            owner == WhiteTerritory ? whiteTerritoryColour(square) : blackTerritoryColour(square),
            k);
    }
}

}  // namespace wintarvo
