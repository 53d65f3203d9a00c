// The folder in which the running copies of one user meet, and the checks that keep it private.
//
// Every copy binds one datagram socket in the folder; a broadcast is sent to each socket found
// there. The folder is the only access control of the mechanism besides the sender credentials
// checked on each datagram, so it must be a real directory (not a symbolic link), owned by the
// user and closed to group and others. A folder that fails any check is refused, never
// repaired: a folder someone else made or opened up may be watched or fed by that someone.
//
// Where: $XDG_RUNTIME_DIR/tarvo-broadcasted-move when XDG_RUNTIME_DIR names a private
// directory of the user (the session's runtime folder: memory-backed, per user, emptied at
// logout); otherwise /tmp/tarvo-broadcasted-move-<uid>. /tmp is named directly rather than
// through TMPDIR so that copies started with different environments still meet.
//
// Plain functions; no Qt. Used on the user-interface thread when the channel opens.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace wintarvo {

// Why a channel is or is not open. Everything but OPEN leaves the copy without the channel:
// it runs normally and neither sends nor receives broadcasts.
enum class BroadcastStatus {
    CLOSED,
    OPEN,
    FOLDER_NOT_CREATED,
    FOLDER_IS_LINK,
    FOLDER_NOT_A_DIRECTORY,
    FOLDER_OTHER_OWNER,
    FOLDER_OPEN_TO_OTHERS,
    PATH_TOO_LONG,
    SOCKET_FAILED,
};

// A short English reason for the trace, e.g. "the folder is open to other users".
const char* broadcastStatusText(BroadcastStatus status);

// The longest name a copy gives its socket in the folder: a process number and a random part.
inline constexpr std::size_t MAX_SOCKET_NAME_LENGTH = 31;

// The per-user folder, from the value of XDG_RUNTIME_DIR (null when unset) and the user.
std::string broadcastFolderFor(const char* runtimeDir, uid_t uid);
// The same for this process: its environment and its real user.
std::string defaultBroadcastFolder();

// Whether a path to the folder leaves room in a socket address for every socket name.
bool socketPathsFit(const std::string& folder);

// Checks an existing path without following a final symbolic link: OPEN when it is a directory
// owned by uid with no permission bits for group or others.
BroadcastStatus checkPrivateFolder(const std::string& path, uid_t uid);

// Creates the folder with mode 0700 when it does not exist (its parent must), then checks it
// for the real user of this process. errorNumber receives errno of a failed creation, or 0.
BroadcastStatus preparePrivateFolder(const std::string& path, int& errorNumber);

}  // namespace wintarvo
