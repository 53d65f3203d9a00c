// The engine thread's way back to the board view: NotifyWindow implemented by posting an
// EngineMoveEvent to the board view's window through the user-interface event queue, so the
// completion arrives on the user-interface thread like any other input, also while a modal
// dialog runs its own loop.
//
// Created by the board view's window, which shares it with the engine service (NotifyHandle).
// The engine thread calls postIfWindow; the window calls detach from its destruction on the
// user-interface thread. One mutex covers both the test whether the window is still there and
// the post, so a post can never reach a window that is being destroyed.
#pragma once

#include <cstdint>
#include <mutex>

#include <QEvent>
#include <QObject>

#include "engine/notify_window.h"

namespace wintarvo {

class EngineMoveEvent : public QEvent {
  public:
    EngineMoveEvent(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
        : QEvent(eventType()), message(message), wParam(wParam), lParam(lParam) {}
    static QEvent::Type eventType();

    const std::uint32_t message;
    const std::uintptr_t wParam;
    const std::intptr_t lParam;
};

class QueuedNotifyWindow : public NotifyWindow {
  public:
    explicit QueuedNotifyWindow(QObject* window) : window_(window) {}

    bool postIfWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    // The window is going away: nothing is posted from now on.
    void detach();

  private:
    std::mutex mutex_;
    QObject* window_;
};

}  // namespace wintarvo
