// One copy's place in the broadcast folder: the datagram socket it receives on, and the sending
// of a message to every socket in the folder.
//
// Why datagram sockets in a folder: Unix-domain sockets never leave the machine and open no
// port; the folder's permissions decide who may reach them, and each datagram carries the
// sender's credentials, checked by the kernel. Every copy owns one socket, so a broadcast is
// one sendto per copy, the sender's own socket included; nothing runs in between (no server,
// no bus to start or to die). Abstract socket names would leave no files behind, but anyone
// on the machine may send to them and they cannot be listed without /proc; a shared named
// pipe or message queue has one reader per message, not one per copy.
//
// Never blocking: each send is MSG_DONTWAIT. A copy whose queue is full (the kernel queues a
// handful of datagrams per socket) misses that message, as a lost message. Every broadcast uses
// a fresh sending socket, because the kernel charges queued datagrams to the socket that sent
// them until they are read: with one long-lived sending socket, a few dozen copies that stopped
// reading would fill its buffer and every send, to live copies too, would fail.
//
// Leftovers: the socket file of a copy that crashed or was killed stays in the folder with no
// socket behind it. Sending to it fails with ECONNREFUSED, and the file is removed there and
// then; opening an endpoint removes such files too, probing each with a connect that sends
// nothing. Names are unique (process number and 64 random bits), so a refused name is never
// a copy that is just starting.
//
// Receiving: the socket is non-blocking and close-on-exec and asks for the sender's
// credentials. A datagram is accepted only when it comes from a process of the same real user,
// carries no file descriptors (any that arrive are closed at once) and decodes as exactly one
// message (broadcast_message.h); everything else is refused without effect.
//
// Owned and used by one thread, the user-interface thread of the program. No Qt.
#pragma once

#include <sys/types.h>

#include <string>

#include "ui/interlink/broadcast_folder.h"
#include "ui/interlink/broadcast_message.h"

namespace wintarvo {

// What one broadcast did, for the trace and the tests; the program needs none of it.
struct BroadcastReport {
    int delivered = 0;         // copies whose queue took the message, this one included
    int missed = 0;            // copies that did not take it: queue full or refused
    int removed = 0;           // leftover socket files of ended copies removed
    bool reachedSelf = false;  // this endpoint's own socket was among those found
};

enum class ReceiveResult {
    MESSAGE,  // a well-formed message from a copy of this user
    REFUSED,  // a datagram was read and thrown away
    NOTHING,  // the queue is empty (or the socket failed)
};

class BroadcastEndpoint {
  public:
    BroadcastEndpoint() = default;
    ~BroadcastEndpoint();
    BroadcastEndpoint(const BroadcastEndpoint&) = delete;
    BroadcastEndpoint& operator=(const BroadcastEndpoint&) = delete;

    // Prepares the folder, binds a socket of a fresh name in it and removes leftovers. On
    // failure the endpoint stays closed; errorNumber gives errno when a system call failed.
    BroadcastStatus open(const std::string& folder, int& errorNumber);
    // Closes the socket and removes its file (only if the file is still this socket's).
    void close();

    bool isOpen() const { return fd_ >= 0; }
    int socketFd() const { return fd_; }
    const std::string& folder() const { return folder_; }
    const std::string& socketPath() const { return path_; }

    // Sends the message once to every socket in the folder, this one's included.
    BroadcastReport sendToAll(const BroadcastMessage& message);
    // Sends the message to this endpoint's own socket only.
    bool sendToSelf(const BroadcastMessage& message);
    // Reads at most one datagram.
    ReceiveResult receive(BroadcastMessage& message);
    // Removes the socket files in the folder that no socket is bound to; returns how many.
    int removeLeftovers();

  private:
    int fd_ = -1;
    uid_t uid_ = 0;
    ino_t inode_ = 0;
    std::string folder_;
    std::string name_;
    std::string path_;
};

}  // namespace wintarvo
