// The board view's window: the Qt widget that shows the board and passes its events to the
// BoardView object, which does all the work.
//
// Created and owned by the BoardView (a child widget of the frame's client area) and used on
// the user-interface thread. It owns the engine's way back to it, a QueuedNotifyWindow, and
// cuts it off as soon as the board view lets go of it, so an engine answer can never arrive at
// a window that is gone. The background is never erased; the board is drawn whole on every
// paint into Qt's back buffer.
#pragma once

#include <memory>

#include <QWidget>

#include "engine/notify_window.h"

namespace wintarvo {

class BoardView;
class QueuedNotifyWindow;

class BoardViewWindow : public QWidget {
    Q_OBJECT

  public:
    BoardViewWindow(BoardView& view, QWidget* parent);
    ~BoardViewWindow() override;

    // Where the engine thread reports to while this window belongs to its view.
    NotifyHandle notifyHandle() const;
    // The board view no longer owns this window: no event reaches it any more and nothing is
    // posted to the window from now on. Called on the way to deletion.
    void release();

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    BoardView* view_;
    std::shared_ptr<QueuedNotifyWindow> notifier_;
};

}  // namespace wintarvo
