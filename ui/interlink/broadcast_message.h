// The datagram by which a running copy announces a move to every copy of the same user.
//
// One fixed layout of BROADCAST_MESSAGE_SIZE bytes, written and read here only:
//
//   offset  0  22 bytes  the name "tarvo-broadcasted-move", no terminating zero
//   offset 22   2 bytes  format version, little-endian, BROADCAST_MESSAGE_VERSION
//   offset 24   4 bytes  wParam, little-endian (0 for a move; carried, never interpreted)
//   offset 28   4 bytes  lParam, little-endian (the packed move, all 32 bits as sent)
//
// Every datagram that arrives is untrusted. The decoder accepts exactly this layout, with this
// size, name and version, and nothing else: a datagram one byte longer or shorter, of another
// version or of another program is refused, so that an accepted datagram is always the exact
// encoding of the values it yields. Plain functions on bytes, usable from any thread; no Qt
// and no system calls, so the fuzz target builds without either.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace wintarvo {

// The copies recognise each other by this name: it opens every datagram and names the folder
// in which their sockets meet.
inline constexpr std::string_view BROADCAST_MESSAGE_NAME = "tarvo-broadcasted-move";
inline constexpr std::uint16_t BROADCAST_MESSAGE_VERSION = 1;
inline constexpr std::size_t BROADCAST_MESSAGE_SIZE = 32;

struct BroadcastMessage {
    std::uint32_t wParam = 0;
    std::uint32_t lParam = 0;

    friend constexpr bool operator==(const BroadcastMessage&, const BroadcastMessage&) = default;
};

using BroadcastDatagram = std::array<std::uint8_t, BROADCAST_MESSAGE_SIZE>;

BroadcastDatagram encodeBroadcastMessage(const BroadcastMessage& message);

// True, with message filled in, when the bytes are exactly one datagram of this format;
// otherwise false and message is left unchanged.
bool decodeBroadcastMessage(const std::uint8_t* data, std::size_t size, BroadcastMessage& message);

}  // namespace wintarvo
