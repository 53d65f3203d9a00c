// The application icon, drawn rather than stored so that every size is sharp: a two-by-two
// board of green and light grey squares, green at the top left, with a white disc on each
// green square and a black disc on each grey one.
//
// Pure drawing on images; usable on any thread that may use QImage (the desktop icon files
// are made from it at build time, the window icon at start-up).
#pragma once

#include <QIcon>
#include <QImage>

namespace wintarvo {

// The icon at size x size pixels, transparent outside the board.
QImage renderAppIcon(int size);
// The icon at the sizes a desktop asks for (16 to 256 pixels).
QIcon appIcon();

}  // namespace wintarvo
