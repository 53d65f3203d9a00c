// The toolbar's eight 16 x 15 images, drawn pixel by pixel in resources/toolbar.xpm (one
// 128 x 15 strip, 16 colours, like a classic toolbar bitmap) and compiled into the program,
// so no image file or font is needed at run time.
//
// User-interface thread (pixmaps).
#pragma once

#include <QPixmap>

namespace wintarvo {

constexpr int TOOLBAR_IMAGE_WIDTH = 16;
constexpr int TOOLBAR_IMAGE_HEIGHT = 15;
constexpr int TOOLBAR_IMAGE_COUNT = 8;

// Image index 0..7: open, save, back to start, undo, go back, go forward, forward to end,
// show territory (the character for "ground").
QPixmap toolbarImage(int index);

}  // namespace wintarvo
