#include "ui/board_view_window.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include "engine/notify_window.h"
#include "ui/board_view.h"
#include "ui/queued_notify_window.h"

namespace wintarvo {

BoardViewWindow::BoardViewWindow(BoardView& view, QWidget* parent)
    : QWidget(parent), view_(&view), notifier_(std::make_shared<QueuedNotifyWindow>(this)) {
    // The board covers the whole window: nothing is erased before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
}

BoardViewWindow::~BoardViewWindow() {
    release();
}

NotifyHandle BoardViewWindow::notifyHandle() const {
    return notifier_;
}

void BoardViewWindow::release() {
    notifier_->detach();
    view_ = nullptr;
}

bool BoardViewWindow::event(QEvent* event) {
    if (event->type() == EngineMoveEvent::eventType()) {
        if (view_ != nullptr) view_->onEngineMove();
        return true;
    }
    return QWidget::event(event);
}

void BoardViewWindow::paintEvent(QPaintEvent*) {
    if (view_ == nullptr) return;
    QPainter painter(this);
    view_->onPaint(painter);
}

void BoardViewWindow::resizeEvent(QResizeEvent* event) {
    if (view_ != nullptr) view_->onSize(event->size().width(), event->size().height());
}

void BoardViewWindow::mousePressEvent(QMouseEvent* event) {
    // A click counts when the button is released; taking the press keeps the release here.
    event->accept();
}

void BoardViewWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (view_ == nullptr) return;
    // A button pressed on the board and released elsewhere is no click on the board.
    const QPoint at = event->position().toPoint();
    if (!rect().contains(at)) return;
    if (event->button() == Qt::LeftButton)
        view_->onClick(at.x(), at.y());
    else if (event->button() == Qt::RightButton)
        view_->onCancelEntry();
}

void BoardViewWindow::mouseMoveEvent(QMouseEvent* event) {
    if (view_ == nullptr) return;
    const QPoint at = event->position().toPoint();
    view_->onMouseMove(at.x(), at.y());
}

}  // namespace wintarvo
