// Datagram sockets for the interlink tests, outside any channel: a socket that is bound and
// never read (a copy that hangs), a bound socket closed without removing its file (what a
// killed copy leaves), datagrams of any content sent to a path (a sender of another format),
// and a table of datagrams that are not messages of the broadcast format.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wintarvo::testing {

// A datagram socket bound at path; the caller closes it. -1 on failure.
int bindDatagramSocket(const std::string& path);
// Binds a socket at path and closes it, leaving the file behind.
bool leaveDeadSocketFile(const std::string& path);

// Sends bytes as one datagram from a fresh unbound socket; with wait false it never blocks
// and fails when the receiver's queue is full. Optionally attaches one file descriptor.
bool sendDatagram(const std::string& path, const std::string& bytes, bool wait,
                  int attachedFd = -1);

// The bytes of a well-formed message.
std::string messageBytes(std::uint32_t wParam, std::uint32_t lParam);

struct BadDatagram {
    const char* what;
    std::string bytes;
};
// Near misses of the format, each made from a well-formed message carrying lParam and named,
// then `randomCount` random datagrams of 0..100 bytes (from a fixed seed).
std::vector<BadDatagram> badDatagrams(int randomCount = 0, std::uint32_t lParam = 0x030201);

// How many descriptors this process has open.
int openDescriptorCount();

}  // namespace wintarvo::testing
