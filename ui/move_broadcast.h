// Announcing engine moves to every running copy of the program, and receiving theirs.
//
// A MoveBroadcast carries the packed 24-bit move of an engine move from the board view that
// made it to the main frame of every copy that listens, the sender's own included. Delivery
// is asynchronous: each listening frame gets a BroadcastMoveEvent through its own
// user-interface event queue, and forwards it to its board view. The main frame registers its
// window while it exists; the board view only posts. Both run on the user-interface thread.
//
// InProcessBroadcast reaches the frames of this process; ChannelBroadcast (channel_broadcast.h)
// reaches every running copy of the user through the local broadcast channel, and is what the
// program uses. The copies recognise each other's announcements by the fixed name
// BROADCAST_MESSAGE_NAME, "tarvo-broadcasted-move" (interlink/broadcast_message.h).
#pragma once

#include <cstdint>
#include <vector>

#include <QEvent>
#include <QObject>
#include <QPointer>

namespace wintarvo {

class BroadcastMoveEvent : public QEvent {
  public:
    BroadcastMoveEvent(std::uintptr_t wParam, std::intptr_t lParam)
        : QEvent(eventType()), wParam(wParam), lParam(lParam) {}
    static QEvent::Type eventType();

    const std::uintptr_t wParam;
    const std::intptr_t lParam;  // the packed move
};

class MoveBroadcast {
  public:
    virtual ~MoveBroadcast() = default;
    // Queues the packed move for every listener, the sender's frame included; returns at once.
    virtual void post(std::uint32_t packedMove) = 0;
    // From now on, announcements arrive at receiver as BroadcastMoveEvent.
    virtual void listen(QObject* receiver) = 0;
    virtual void stopListening(QObject* receiver) = 0;
};

// The listening receivers of one process. A receiver that is destroyed without having stopped
// listening is skipped, never reached.
class BroadcastReceivers {
  public:
    // A receiver listens once, however often it is added.
    void add(QObject* receiver);
    void remove(QObject* receiver);
    // Queues one BroadcastMoveEvent for each receiver, as a posted message would be.
    void postToEach(std::uintptr_t wParam, std::intptr_t lParam) const;

  private:
    std::vector<QPointer<QObject>> receivers_;
};

class InProcessBroadcast : public MoveBroadcast {
  public:
    void post(std::uint32_t packedMove) override;
    void listen(QObject* receiver) override { receivers_.add(receiver); }
    void stopListening(QObject* receiver) override { receivers_.remove(receiver); }

  private:
    BroadcastReceivers receivers_;
};

}  // namespace wintarvo
