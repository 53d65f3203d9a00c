#include "ui/interlink/broadcast_message.h"

#include <algorithm>

namespace wintarvo {
namespace {

constexpr std::size_t VERSION_OFFSET = BROADCAST_MESSAGE_NAME.size();
constexpr std::size_t WPARAM_OFFSET = VERSION_OFFSET + 2;
constexpr std::size_t LPARAM_OFFSET = WPARAM_OFFSET + 4;
static_assert(LPARAM_OFFSET + 4 == BROADCAST_MESSAGE_SIZE);

void putLittleEndian(std::uint8_t* out, std::uint32_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t getLittleEndian(const std::uint8_t* in, std::size_t bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        value |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    return value;
}

}  // namespace

BroadcastDatagram encodeBroadcastMessage(const BroadcastMessage& message) {
    BroadcastDatagram out{};
    std::copy(BROADCAST_MESSAGE_NAME.begin(), BROADCAST_MESSAGE_NAME.end(), out.begin());
    putLittleEndian(out.data() + VERSION_OFFSET, BROADCAST_MESSAGE_VERSION, 2);
    putLittleEndian(out.data() + WPARAM_OFFSET, message.wParam, 4);
    putLittleEndian(out.data() + LPARAM_OFFSET, message.lParam, 4);
    return out;
}

bool decodeBroadcastMessage(const std::uint8_t* data, std::size_t size, BroadcastMessage& message) {
    if (data == nullptr || size != BROADCAST_MESSAGE_SIZE) return false;
    if (!std::equal(BROADCAST_MESSAGE_NAME.begin(), BROADCAST_MESSAGE_NAME.end(), data,
                    [](char expected, std::uint8_t got) {
                        return static_cast<std::uint8_t>(expected) == got;
                    }))
        return false;
    if (getLittleEndian(data + VERSION_OFFSET, 2) != BROADCAST_MESSAGE_VERSION) return false;
    message.wParam = getLittleEndian(data + WPARAM_OFFSET, 4);
    message.lParam = getLittleEndian(data + LPARAM_OFFSET, 4);
    return true;
}

}  // namespace wintarvo
