// The board's colours: the two square colours with their pointer highlights, the pieces, the
// three kinds of marker, and the territory tints derived from a square's colour.
//
// Constant data and pure functions, used by the board view's drawing on the user-interface
// thread.
#pragma once

#include <QColor>

namespace wintarvo {

namespace colours {

inline const QColor LIGHT_SQUARE{0, 168, 0};  // r + c even
inline const QColor LIGHT_SQUARE_HOVER{16, 184, 16};
inline const QColor DARK_SQUARE{192, 192, 192};  // r + c odd
inline const QColor DARK_SQUARE_HOVER{208, 208, 208};
inline const QColor ARROW{0, 0, 128};
inline const QColor WHITE_FILL{255, 255, 255};
inline const QColor WHITE_OUTLINE{64, 64, 192};
inline const QColor BLACK_FILL{0, 0, 0};
inline const QColor BLACK_OUTLINE{192, 64, 64};
inline const QColor LAST_MOVE{0, 255, 255};
inline const QColor DESTINATION{64, 192, 255};
inline const QColor ARROW_TARGET{255, 128, 0};

}  // namespace colours

// The colour of the square in row r, column c; the lighter variant when the pointer is on it.
QColor squareColour(int row, int column, bool underPointer);

// Tints of a square colour (R, G, B): White's territory is (R/4, G/4, B/4 + 191.25), Black's
// (R/4 + 191.25, G/4, B/4), each channel computed in floating point and truncated.
QColor whiteTerritoryColour(const QColor& square);
QColor blackTerritoryColour(const QColor& square);

}  // namespace wintarvo
