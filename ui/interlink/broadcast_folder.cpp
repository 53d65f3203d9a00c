#include "ui/interlink/broadcast_folder.h"

#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "ui/interlink/broadcast_message.h"

namespace wintarvo {

const char* broadcastStatusText(BroadcastStatus status) {
    switch (status) {
        case BroadcastStatus::CLOSED:
            return "the channel is closed";
        case BroadcastStatus::OPEN:
            return "the channel is open";
        case BroadcastStatus::FOLDER_NOT_CREATED:
            return "the folder cannot be created";
        case BroadcastStatus::FOLDER_IS_LINK:
            return "the folder is a symbolic link";
        case BroadcastStatus::FOLDER_NOT_A_DIRECTORY:
            return "the folder is not a directory";
        case BroadcastStatus::FOLDER_OTHER_OWNER:
            return "the folder belongs to another user";
        case BroadcastStatus::FOLDER_OPEN_TO_OTHERS:
            return "the folder is open to other users";
        case BroadcastStatus::PATH_TOO_LONG:
            return "the folder's path is too long for a socket";
        case BroadcastStatus::SOCKET_FAILED:
            return "no socket can be bound in the folder";
    }
    return "unknown";
}

bool socketPathsFit(const std::string& folder) {
    // The folder, a slash, the name and the terminating zero.
    return folder.size() + 1 + MAX_SOCKET_NAME_LENGTH + 1 <= sizeof(sockaddr_un::sun_path);
}

std::string broadcastFolderFor(const char* runtimeDir, uid_t uid) {
    const std::string name(BROADCAST_MESSAGE_NAME);
    if (runtimeDir != nullptr && runtimeDir[0] == '/' &&
        checkPrivateFolder(runtimeDir, uid) == BroadcastStatus::OPEN) {
        std::string folder = std::string(runtimeDir) + "/" + name;
        if (socketPathsFit(folder)) return folder;
    }
    return "/tmp/" + name + "-" + std::to_string(uid);
}

std::string defaultBroadcastFolder() {
    return broadcastFolderFor(std::getenv("XDG_RUNTIME_DIR"), ::getuid());
}

BroadcastStatus checkPrivateFolder(const std::string& path, uid_t uid) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return BroadcastStatus::FOLDER_NOT_CREATED;
    if (S_ISLNK(st.st_mode)) return BroadcastStatus::FOLDER_IS_LINK;
    if (!S_ISDIR(st.st_mode)) return BroadcastStatus::FOLDER_NOT_A_DIRECTORY;
    if (st.st_uid != uid) return BroadcastStatus::FOLDER_OTHER_OWNER;
    if ((st.st_mode & 077) != 0) return BroadcastStatus::FOLDER_OPEN_TO_OTHERS;
    return BroadcastStatus::OPEN;
}

BroadcastStatus preparePrivateFolder(const std::string& path, int& errorNumber) {
    errorNumber = 0;
    if (!socketPathsFit(path)) return BroadcastStatus::PATH_TOO_LONG;
    if (::mkdir(path.c_str(), 0700) == 0) {
        // The umask may have taken bits the owner needs; it cannot have added any. mkdir has
        // just made this very directory, and no one else may rename or replace an entry in
        // the parents we use (the session's own folder, or /tmp with its sticky bit).
        ::chmod(path.c_str(), 0700);
    } else if (errno != EEXIST) {
        errorNumber = errno;
        return BroadcastStatus::FOLDER_NOT_CREATED;
    }
    return checkPrivateFolder(path, ::getuid());
}

}  // namespace wintarvo
