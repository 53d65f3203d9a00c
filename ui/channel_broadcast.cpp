#include "ui/channel_broadcast.h"

#include <QObject>

namespace wintarvo {

ChannelBroadcast::ChannelBroadcast(BroadcastChannel& channel) : channel_(channel) {
    // A plain connection: this object is no QObject; the destructor cuts it.
    received_ = QObject::connect(&channel_, &BroadcastChannel::received,
                                 [this](quint32 wParam, quint32 lParam) {
                                     receivers_.postToEach(static_cast<std::uintptr_t>(wParam),
                                                           static_cast<std::intptr_t>(lParam));
                                 });
}

ChannelBroadcast::~ChannelBroadcast() {
    QObject::disconnect(received_);
}

void ChannelBroadcast::post(std::uint32_t packedMove) {
    lastReport_ = channel_.broadcast(0, packedMove);
}

}  // namespace wintarvo
