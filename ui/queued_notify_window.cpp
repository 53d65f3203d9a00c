#include "ui/queued_notify_window.h"

#include <QCoreApplication>

namespace wintarvo {

QEvent::Type EngineMoveEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool QueuedNotifyWindow::postIfWindow(std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (window_ == nullptr) return false;
    // postEvent is safe from any thread; the event is taken over by the queue.
    QCoreApplication::postEvent(window_, new EngineMoveEvent(message, wParam, lParam));
    return true;
}

void QueuedNotifyWindow::detach() {
    std::lock_guard<std::mutex> lock(mutex_);
    window_ = nullptr;
}

}  // namespace wintarvo
