#include "ui/interlink/broadcast_endpoint.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace wintarvo {
namespace {

// Room for the credentials and for a few descriptors a sender may have attached: those that
// fit are received and closed, the kernel drops the rest.
constexpr std::size_t MAX_ATTACHED_FDS = 16;

bool makeAddress(const std::string& path, sockaddr_un& address) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

socklen_t addressLength(const std::string& path) {
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
}

std::string freshSocketName() {
    std::random_device random;
    const std::uint64_t bits = (std::uint64_t{random()} << 32) | random();
    char text[MAX_SOCKET_NAME_LENGTH + 1];
    std::snprintf(text, sizeof text, "%ld-%016llx", static_cast<long>(::getpid()),
                  static_cast<unsigned long long>(bits));
    return text;
}

// Calls visit(name, inode) for every socket in the folder, without following symbolic links.
// False when the folder cannot be read.
template <typename Visit>
bool forEachSocket(const std::string& folder, Visit visit) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return false;
    while (const dirent* entry = ::readdir(dir)) {
        bool isSocket = entry->d_type == DT_SOCK;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            isSocket = ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                       S_ISSOCK(st.st_mode);
        }
        if (isSocket) visit(std::string(entry->d_name), entry->d_ino);
    }
    ::closedir(dir);
    return true;
}

}  // namespace

BroadcastEndpoint::~BroadcastEndpoint() {
    close();
}

BroadcastStatus BroadcastEndpoint::open(const std::string& folder, int& errorNumber) {
    close();
    const BroadcastStatus folderStatus = preparePrivateFolder(folder, errorNumber);
    if (folderStatus != BroadcastStatus::OPEN) return folderStatus;

    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &on, sizeof on) != 0) {
        errorNumber = errno;
        if (fd >= 0) ::close(fd);
        return BroadcastStatus::SOCKET_FAILED;
    }
    // A name already taken can only be a leftover of a process with this number: try others.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::string name = freshSocketName();
        const std::string path = folder + "/" + name;
        sockaddr_un address;
        if (!makeAddress(path, address)) break;
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), addressLength(path)) != 0) {
            errorNumber = errno;
            if (errno == EADDRINUSE) continue;
            break;
        }
        // The socket file's mode comes from the umask, but every copy of this user must be
        // able to write to it.
        ::chmod(path.c_str(), 0600);
        struct stat st {};
        ::lstat(path.c_str(), &st);
        fd_ = fd;
        uid_ = ::getuid();
        inode_ = st.st_ino;
        folder_ = folder;
        name_ = name;
        path_ = path;
        errorNumber = 0;
        removeLeftovers();
        return BroadcastStatus::OPEN;
    }
    ::close(fd);
    return BroadcastStatus::SOCKET_FAILED;
}

void BroadcastEndpoint::close() {
    if (fd_ < 0) return;
    struct stat st {};
    if (::lstat(path_.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_ino == inode_)
        ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
    folder_.clear();
    name_.clear();
    path_.clear();
}

BroadcastReport BroadcastEndpoint::sendToAll(const BroadcastMessage& message) {
    BroadcastReport report;
    if (fd_ < 0) return report;
    const int sender = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (sender < 0) return report;
    const BroadcastDatagram datagram = encodeBroadcastMessage(message);
    forEachSocket(folder_, [&](const std::string& name, ino_t inode) {
        if (name == name_ && inode == inode_) report.reachedSelf = true;
        const std::string path = folder_ + "/" + name;
        sockaddr_un address;
        if (!makeAddress(path, address)) return;
        const ssize_t sent =
            ::sendto(sender, datagram.data(), datagram.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                     reinterpret_cast<const sockaddr*>(&address), addressLength(path));
        if (sent == static_cast<ssize_t>(datagram.size())) {
            ++report.delivered;
        } else if (sent < 0 && errno == ECONNREFUSED) {
            // No socket behind the name: a copy that ended without removing it.
            if (::unlink(path.c_str()) == 0) ++report.removed;
        } else if (!(sent < 0 && errno == ENOENT)) {
            // Queue full (EAGAIN), no kernel memory (ENOBUFS, ENOMEM) and the like: this copy
            // misses the message. An entry gone meanwhile (ENOENT) was no copy any more.
            ++report.missed;
        }
    });
    ::close(sender);
    return report;
}

bool BroadcastEndpoint::sendToSelf(const BroadcastMessage& message) {
    if (fd_ < 0) return false;
    sockaddr_un address;
    makeAddress(path_, address);
    const BroadcastDatagram datagram = encodeBroadcastMessage(message);
    return ::sendto(fd_, datagram.data(), datagram.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                    reinterpret_cast<const sockaddr*>(&address),
                    addressLength(path_)) == static_cast<ssize_t>(datagram.size());
}

ReceiveResult BroadcastEndpoint::receive(BroadcastMessage& message) {
    if (fd_ < 0) return ReceiveResult::NOTHING;
    std::uint8_t data[BROADCAST_MESSAGE_SIZE];
    union {
        cmsghdr header;
        char bytes[CMSG_SPACE(sizeof(ucred)) + CMSG_SPACE(sizeof(int) * MAX_ATTACHED_FDS)];
    } control;
    iovec part{data, sizeof data};
    msghdr header{};
    header.msg_iov = &part;
    header.msg_iovlen = 1;
    header.msg_control = control.bytes;
    header.msg_controllen = sizeof control.bytes;

    ssize_t size;
    do {
        size = ::recvmsg(fd_, &header, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
    } while (size < 0 && errno == EINTR);
    if (size < 0) return ReceiveResult::NOTHING;

    bool fromThisUser = false;
    bool carriedFiles = false;
    for (cmsghdr* c = CMSG_FIRSTHDR(&header); c != nullptr; c = CMSG_NXTHDR(&header, c)) {
        if (c->cmsg_level != SOL_SOCKET) continue;
        if (c->cmsg_type == SCM_CREDENTIALS && c->cmsg_len >= CMSG_LEN(sizeof(ucred))) {
            ucred sender;
            std::memcpy(&sender, CMSG_DATA(c), sizeof sender);
            fromThisUser = sender.uid == uid_ && sender.pid > 0;
        } else if (c->cmsg_type == SCM_RIGHTS) {
            carriedFiles = true;
            const std::size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
            for (std::size_t i = 0; i < count; ++i) {
                int fd;
                std::memcpy(&fd, CMSG_DATA(c) + i * sizeof(int), sizeof fd);
                ::close(fd);
            }
        }
    }
    if ((header.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) != 0 || !fromThisUser || carriedFiles)
        return ReceiveResult::REFUSED;
    if (!decodeBroadcastMessage(data, static_cast<std::size_t>(size), message))
        return ReceiveResult::REFUSED;
    return ReceiveResult::MESSAGE;
}

int BroadcastEndpoint::removeLeftovers() {
    if (fd_ < 0) return 0;
    const int probe = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe < 0) return 0;
    int removed = 0;
    forEachSocket(folder_, [&](const std::string& name, ino_t) {
        if (name == name_) return;
        const std::string path = folder_ + "/" + name;
        sockaddr_un address;
        if (!makeAddress(path, address)) return;
        // A datagram connect only records the peer: a live copy sees nothing of it.
        if (::connect(probe, reinterpret_cast<const sockaddr*>(&address), addressLength(path)) !=
                0 &&
            errno == ECONNREFUSED && ::unlink(path.c_str()) == 0)
            ++removed;
    });
    ::close(probe);
    return removed;
}

}  // namespace wintarvo
