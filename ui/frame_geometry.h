// The main window's geometry rules, as plain functions of numbers so that they can be checked
// row by row: the 20-pixel grid of the window size, the board size that follows from the
// client area, the places of the twenty coordinate labels, the centring of a window on a
// reference rectangle inside the work area, and the conversion of dialog units to pixels.
//
// Stateless; called on the user-interface thread by the main frame and the About box.
#pragma once

#include <array>

#include <QPoint>
#include <QRect>
#include <QSize>

namespace wintarvo {

// Where the board lies in the frame's client area (the window below the menu bar). Right and
// bottom are exclusive; left and top never change.
struct BoardRect {
    int left = 23;
    int top = 31;
    int right = 183;
    int bottom = 191;

    friend bool operator==(const BoardRect&, const BoardRect&) = default;
};

constexpr int FRAME_GRID = 20;
constexpr int FRAME_MIN_WIDTH = 240;
constexpr int FRAME_MIN_HEIGHT = 320;

// The window size that a proposed size becomes: each side rounded down to the 20-pixel grid,
// at least 240 wide and 320 high.
QSize frameSizeRule(QSize proposed);

// The board for a client area of clientWidth by clientHeight with a toolbar of toolbarHeight
// and a status bar of statusHeight: as large as fits, a multiple of 10, at least 10.
BoardRect boardSizeRule(int clientWidth, int clientHeight, int toolbarHeight, int statusHeight);

struct LabelPlace {
    int id;     // control identifier of the label
    QPoint at;  // its top-left corner in the client area
};

// Row labels 1..10 (bottom to top) 20 pixels left of the board, then column labels A..J 5
// pixels below it.
std::array<LabelPlace, 20> labelPlaces(const BoardRect& board);

// The top-left corner that centres a box of the given size on reference, then pushed inside
// workArea on every side.
QPoint centredInside(QSize box, const QRect& reference, const QRect& workArea);

// Dialog units of the program's dialog font in pixels: a quarter of the font's average
// character width (6 pixels) across, an eighth of its height (13 pixels) down, rounded.
int dialogUnitsToPixelsX(int units);
int dialogUnitsToPixelsY(int units);
QRect dialogRect(int x, int y, int width, int height);

}  // namespace wintarvo
