#include "ui/about_box.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "ui/app_icon.h"
#include "ui/frame_geometry.h"
#include "ui/version_info.h"

namespace wintarvo {
namespace {

constexpr int ICON_SIZE = 32;

QRect workAreaFor(const QWidget* owner) {
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

}  // namespace

AboutBox::AboutBox(QWidget* owner) : QDialog(owner) {
    setWindowTitle("About");
    setModal(true);
    setFixedSize(dialogRect(0, 0, 129, 89).size());

    // The frame first, so that the other controls lie on top of it.
    auto* group = new QGroupBox(this);
    group->setGeometry(dialogRect(4, 4, 118, 79));

    auto* ok = new QPushButton("OK", this);
    ok->setGeometry(dialogRect(67, 57, 50, 21));
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });

    auto* title = new QLabel(PROGRAM_TITLE, this);
    title->setGeometry(dialogRect(11, 16, 78, 32));
    title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    title->setWordWrap(true);

    // An icon control takes the size of its icon.
    auto* icon = new QLabel(this);
    icon->setGeometry(QRect(dialogRect(93, 17, 20, 20).topLeft(), QSize(ICON_SIZE, ICON_SIZE)));
    icon->setPixmap(QPixmap::fromImage(renderAppIcon(ICON_SIZE)));

    move(placeFor(size(), owner, workAreaFor(owner)));
}

void AboutBox::reject() {
    done(2);
}

QPoint AboutBox::placeFor(QSize box, const QWidget* owner, const QRect& workArea) {
    const bool ownerShown = owner != nullptr && owner->isVisible() && !owner->isMinimized();
    const QRect reference = ownerShown ? owner->frameGeometry() : workArea;
    return centredInside(box, reference, workArea);
}

}  // namespace wintarvo
