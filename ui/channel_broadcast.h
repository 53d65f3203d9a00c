// The program's MoveBroadcast between running copies: announcements go out through the local
// broadcast channel (interlink/broadcast_channel.h) to every copy of the user, this one
// included, and what the channel receives is queued for the listening frames as
// BroadcastMoveEvents, one event per message, so that each arrives through the user-interface
// event queue in the order the channel read them, like any posted message.
//
// Holds the channel by reference: the program's main function owns both and opens the channel
// before the frame is made; the channel must outlive this object. A channel that could not be
// opened makes post do nothing and delivers nothing, so the copy simply plays on its own.
// User-interface thread only.
#pragma once

#include <cstdint>

#include <QMetaObject>

#include "ui/interlink/broadcast_channel.h"
#include "ui/move_broadcast.h"

namespace wintarvo {

class ChannelBroadcast : public MoveBroadcast {
  public:
    explicit ChannelBroadcast(BroadcastChannel& channel);
    ~ChannelBroadcast() override;
    ChannelBroadcast(const ChannelBroadcast&) = delete;
    ChannelBroadcast& operator=(const ChannelBroadcast&) = delete;

    void post(std::uint32_t packedMove) override;
    void listen(QObject* receiver) override { receivers_.add(receiver); }
    void stopListening(QObject* receiver) override { receivers_.remove(receiver); }

    // What the last post did: copies reached, copies that missed it, leftovers removed.
    const BroadcastReport& lastReport() const { return lastReport_; }

  private:
    BroadcastChannel& channel_;
    BroadcastReceivers receivers_;
    QMetaObject::Connection received_;
    BroadcastReport lastReport_;
};

}  // namespace wintarvo
