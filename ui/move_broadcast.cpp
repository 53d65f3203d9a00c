#include "ui/move_broadcast.h"

#include <algorithm>

#include <QCoreApplication>

namespace wintarvo {

QEvent::Type BroadcastMoveEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void BroadcastReceivers::add(QObject* receiver) {
    remove(receiver);
    receivers_.emplace_back(receiver);
}

void BroadcastReceivers::remove(QObject* receiver) {
    std::erase_if(receivers_,
                  [receiver](const QPointer<QObject>& r) { return r.isNull() || r == receiver; });
}

void BroadcastReceivers::postToEach(std::uintptr_t wParam, std::intptr_t lParam) const {
    for (const QPointer<QObject>& receiver : receivers_) {
        if (receiver) QCoreApplication::postEvent(receiver, new BroadcastMoveEvent(wParam, lParam));
    }
}

void InProcessBroadcast::post(std::uint32_t packedMove) {
    receivers_.postToEach(0, static_cast<std::intptr_t>(packedMove));
}

}  // namespace wintarvo
