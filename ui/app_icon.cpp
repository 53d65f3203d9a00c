#include "ui/app_icon.h"

#include <algorithm>

#include <QPainter>

#include "ui/board_colours.h"

namespace wintarvo {

QImage renderAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const int half = size / 2;
    // Small sizes stay crisp; from 32 pixels on, the discs are smoothed.
    painter.setRenderHint(QPainter::Antialiasing, size >= 32);
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            const bool green = (r + c) % 2 == 0;
            painter.fillRect(
                QRect(c * half, r * half, c == 1 ? size - half : half, r == 1 ? size - half : half),
                green ? colours::LIGHT_SQUARE : colours::DARK_SQUARE);
            // A disc with a margin of an eighth of the square and a thin dark rim.
            const double inset = half / 8.0;
            const QRectF disc(c * half + inset, r * half + inset, half - 2 * inset,
                              half - 2 * inset);
            painter.setPen(QPen(green ? colours::WHITE_OUTLINE : colours::BLACK_OUTLINE,
                                std::max(1.0, size / 32.0)));
            painter.setBrush(green ? colours::WHITE_FILL : colours::BLACK_FILL);
            painter.drawEllipse(disc);
        }
    }
    return image;
}

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(renderAppIcon(size)));
    return icon;
}

}  // namespace wintarvo
