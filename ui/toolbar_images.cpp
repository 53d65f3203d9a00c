#include "ui/toolbar_images.h"

namespace wintarvo {
namespace {

#include "resources/toolbar.xpm"

}  // namespace

QPixmap toolbarImage(int index) {
    // An image, unlike a pixmap, may outlive the application object.
    static const QImage strip(toolbar_xpm);
    return QPixmap::fromImage(
        strip.copy(index * TOOLBAR_IMAGE_WIDTH, 0, TOOLBAR_IMAGE_WIDTH, TOOLBAR_IMAGE_HEIGHT));
}

}  // namespace wintarvo
