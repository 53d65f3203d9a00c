#include "ui/interlink/broadcast_channel.h"

#include <QPointer>
#include <utility>
#include <vector>

#include "diag/trace.h"

namespace wintarvo {

BroadcastChannel::BroadcastChannel(QObject* parent)
    : BroadcastChannel(defaultBroadcastFolder(), parent) {}

BroadcastChannel::BroadcastChannel(std::string folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder)) {}

BroadcastChannel::~BroadcastChannel() {
    close();
}

bool BroadcastChannel::open() {
    close();
    return join();
}

bool BroadcastChannel::join() {
    int errorNumber = 0;
    status_ = endpoint_.open(folder_, errorNumber);
    if (status_ != BroadcastStatus::OPEN) {
        std::string line = "Interlinked Mode unavailable, moves are neither sent nor received: ";
        line += broadcastStatusText(status_);
        if (errorNumber != 0) line += " (errno " + intToString(errorNumber) + ")";
        traceLine(line);
        return false;
    }
    watch();
    return true;
}

void BroadcastChannel::watch() {
    notifier_ = std::make_unique<QSocketNotifier>(endpoint_.socketFd(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { readPending(); });
}

void BroadcastChannel::close() {
    // The notifier must not outlive the descriptor it watches.
    notifier_.reset();
    endpoint_.close();
    status_ = BroadcastStatus::CLOSED;
}

BroadcastReport BroadcastChannel::broadcast(quint32 wParam, quint32 lParam) {
    if (!isOpen()) return {};
    const BroadcastMessage message{wParam, lParam};
    BroadcastReport report = endpoint_.sendToAll(message);
    if (!report.reachedSelf) {
        rejoin(message);
        if (isOpen()) ++report.delivered;
    }
    return report;
}

void BroadcastChannel::rejoin(const BroadcastMessage& message) {
    // The old socket can no longer be reached, but what it holds already arrived in time and
    // is still delivered, after this call, as events like any other.
    std::vector<BroadcastMessage> waiting;
    BroadcastMessage m;
    for (ReceiveResult r; (r = endpoint_.receive(m)) != ReceiveResult::NOTHING;) {
        if (r == ReceiveResult::MESSAGE)
            waiting.push_back(m);
        else
            ++refused_;
    }
    for (const BroadcastMessage& w : waiting) {
        QMetaObject::invokeMethod(
            this, [this, w] { emit received(w.wParam, w.lParam); }, Qt::QueuedConnection);
    }
    close();
    traceLine("Interlinked Mode: this copy's socket was gone from the folder, joining again");
    if (join()) endpoint_.sendToSelf(message);
}

void BroadcastChannel::readPending() {
    // A slot may close or delete the channel; then the rest stays unread.
    const QPointer<BroadcastChannel> alive(this);
    for (int i = 0; i < MAX_DATAGRAMS_PER_WAKE && alive && isOpen(); ++i) {
        BroadcastMessage message;
        const ReceiveResult result = endpoint_.receive(message);
        if (result == ReceiveResult::NOTHING) break;
        if (result == ReceiveResult::REFUSED) {
            ++refused_;
            continue;
        }
        emit received(message.wParam, message.lParam);
    }
}

}  // namespace wintarvo
