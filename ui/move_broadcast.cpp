#include "ui/move_broadcast.h"

#include <algorithm>

#include <QCoreApplication>

namespace wintarvo {

QEvent::Type BroadcastMoveEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void InProcessBroadcast::post(std::uint32_t packedMove) {
    for (const QPointer<QObject>& receiver : receivers_) {
        if (receiver)
            QCoreApplication::postEvent(
                receiver, new BroadcastMoveEvent(0, static_cast<std::intptr_t>(packedMove)));
    }
}

void InProcessBroadcast::listen(QObject* receiver) {
    stopListening(receiver);
    receivers_.emplace_back(receiver);
}

void InProcessBroadcast::stopListening(QObject* receiver) {
    std::erase_if(receivers_,
                  [receiver](const QPointer<QObject>& r) { return r.isNull() || r == receiver; });
}

}  // namespace wintarvo
