#include "support/raw_datagram.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <string>

#include "ui/interlink/broadcast_message.h"

namespace wintarvo::testing {
namespace {

sockaddr_un addressOf(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return address;
}

}  // namespace

int bindDatagramSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = addressOf(path);
    if (fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

bool leaveDeadSocketFile(const std::string& path) {
    const int fd = bindDatagramSocket(path);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool sendDatagram(const std::string& path, const std::string& bytes, bool wait, int attachedFd) {
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un address = addressOf(path);
    iovec part{const_cast<char*>(bytes.data()), bytes.size()};
    msghdr header{};
    header.msg_name = &address;
    header.msg_namelen = sizeof address;
    header.msg_iov = &part;
    header.msg_iovlen = 1;
    union {
        cmsghdr align;
        char bytes[CMSG_SPACE(sizeof(int))];
    } control{};
    if (attachedFd >= 0) {
        header.msg_control = control.bytes;
        header.msg_controllen = sizeof control.bytes;
        cmsghdr* c = CMSG_FIRSTHDR(&header);
        c->cmsg_level = SOL_SOCKET;
        c->cmsg_type = SCM_RIGHTS;
        c->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(c), &attachedFd, sizeof(int));
    }
    const ssize_t sent = ::sendmsg(fd, &header, wait ? 0 : MSG_DONTWAIT);
    ::close(fd);
    return sent == static_cast<ssize_t>(bytes.size());
}

std::string messageBytes(std::uint32_t wParam, std::uint32_t lParam) {
    const BroadcastDatagram d = encodeBroadcastMessage({wParam, lParam});
    return std::string(d.begin(), d.end());
}

std::vector<BadDatagram> badDatagrams(int randomCount, std::uint32_t lParam) {
    const std::string good = messageBytes(0, lParam);
    const std::string name(BROADCAST_MESSAGE_NAME);
    auto withByte = [&](std::size_t at, char value) {
        std::string bytes = good;
        bytes[at] = value;
        return bytes;
    };
    std::vector<BadDatagram> table = {
        {"empty", ""},
        {"one byte", "t"},
        {"the name alone", name},
        {"one byte short", good.substr(0, good.size() - 1)},
        {"one byte long", good + '\0'},
        {"two messages in one", good + good},
        {"a page", good + std::string(4096 - good.size(), '\0')},
        {"version 0", withByte(22, 0)},
        {"version 2", withByte(22, 2)},
        {"version 1 big-endian", withByte(22, 0).replace(23, 1, 1, '\1')},
        {"version 257", withByte(23, 1)},
        {"name in capitals", "TARVO-BROADCASTED-MOVE" + good.substr(name.size())},
        {"name with one letter changed", withByte(name.size() - 1, 'v')},
        {"name shifted by a byte", ('\0' + good).substr(0, good.size())},
        {"zero bytes", std::string(good.size(), '\0')},
        {"all bits set", std::string(good.size(), '\xff')},
        {"as text", "tarvo-broadcasted-move 0 " + std::to_string(lParam) + "\n"},
        {"another program's 32 bytes", "org.example.other-program-msg-v1"},
    };
    std::mt19937 random(20240611);
    for (int i = 0; i < randomCount; ++i) {
        std::string bytes(random() % 101, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        table.push_back({"random", bytes});
    }
    return table;
}

int openDescriptorCount() {
    DIR* dir = ::opendir("/proc/self/fd");
    if (dir == nullptr) return -1;
    int count = 0;
    while (const dirent* entry = ::readdir(dir))
        count += entry->d_name[0] != '.';
    ::closedir(dir);
    return count - 1;  // the listing's own descriptor
}

}  // namespace wintarvo::testing
